// The sticky writer's calls.
#include "verifactu/xml_writer.h"

namespace verifactu::internal {
namespace {

const xmlChar* X(const char* text) {
  return reinterpret_cast<const xmlChar*>(text);
}

}  // namespace

void XmlWriter::Open(const char* name, const char* prefix) {
  if (ok_) Check(xmlTextWriterStartElementNS(w_, X(prefix), X(name), nullptr));
}

void XmlWriter::Close() {
  if (ok_) Check(xmlTextWriterEndElement(w_));
}

void XmlWriter::Attribute(const char* name, const std::string& value) {
  if (ok_) Check(xmlTextWriterWriteAttribute(w_, X(name), X(value.c_str())));
}

void XmlWriter::Element(const char* name, const std::string& value) {
  Open(name);
  if (ok_) Check(xmlTextWriterWriteString(w_, X(value.c_str())));
  Close();
}

void XmlWriter::Path(std::initializer_list<const char*> names, const std::string& value) {
  const char* const* last = names.end() - 1;
  for (const char* const* n = names.begin(); n != last; ++n) Open(*n);
  Element(*last, value);
  for (const char* const* n = names.begin(); n != last; ++n) Close();
}

}  // namespace verifactu::internal
