// The message into a libxml2 memory buffer: root with both namespaces,
// header, one RegistroFactura per record.
#include "verifactu/submission.h"

#include <libxml/xmlwriter.h>

#include "platform/new_file.h"
#include "verifactu/record_xml.h"
#include "verifactu/values.h"

namespace verifactu {
namespace {

using internal::XmlWriter;

void WriteTaxpayer(XmlWriter& x, const char* element, const Taxpayer& t) {
  x.Open(element);
  x.Element("NombreRazon", RecordText(t.name, 120));
  x.Element("NIF", RecordText(t.nif));
  x.Close();
}

void WriteHeader(XmlWriter& x, const Header& h) {
  x.Open("Cabecera", internal::kMessagePrefix);
  WriteTaxpayer(x, "ObligadoEmision", h.issuer);
  if (!RecordText(h.representative.nif).empty()) {
    WriteTaxpayer(x, "Representante", h.representative);
  }
  if (h.incident) x.Path({"RemisionVoluntaria", "Incidencia"}, "S");
  x.Close();
}

bool WriteAll(xmlTextWriterPtr w, const Submission& s) {
  XmlWriter x(w);
  x.Check(xmlTextWriterSetIndent(w, 1));
  x.Check(xmlTextWriterStartDocument(w, nullptr, "UTF-8", nullptr));
  x.Open("RegFactuSistemaFacturacion", internal::kMessagePrefix);
  x.Attribute("xmlns:sum", internal::kMessageNamespace);
  x.Attribute("xmlns:sum1", internal::kInformationNamespace);
  WriteHeader(x, s.header);
  for (const std::string& record : s.records) {
    x.Open("RegistroFactura", internal::kMessagePrefix);
    x.Check(xmlTextWriterWriteRaw(w, reinterpret_cast<const xmlChar*>(record.c_str())));
    x.Close();
  }
  x.Close();
  x.Check(xmlTextWriterEndDocument(w));
  return x.ok();
}

// What write puts into a libxml2 writer on memory, or "" when it failed.
template <typename Write>
std::string WrittenText(Write write) {
  xmlBufferPtr buffer = xmlBufferCreate();
  if (buffer == nullptr) return {};
  std::string document;
  xmlTextWriterPtr w = xmlNewTextWriterMemory(buffer, 0);
  if (w != nullptr) {
    const bool written = write(w);
    xmlFreeTextWriter(w);  // flushes into the buffer
    if (written)
      document.assign(reinterpret_cast<const char*>(xmlBufferContent(buffer)),
                      static_cast<size_t>(xmlBufferLength(buffer)));
  }
  xmlBufferFree(buffer);
  return document;
}

}  // namespace

std::string RecordXml(const BillingRecord& record) {
  return WrittenText([&record](xmlTextWriterPtr w) {
    XmlWriter x(w);
    internal::WriteRecord(x, record);
    x.Check(xmlTextWriterFlush(w));
    return x.ok();
  });
}

std::string SubmissionXml(const Submission& submission) {
  if (submission.records.empty() || submission.records.size() > kMaxRecordsPerSubmission) {
    return {};
  }
  for (const std::string& record : submission.records) {
    if (record.empty()) return {};
  }
  return WrittenText([&submission](xmlTextWriterPtr w) { return WriteAll(w, submission); });
}

bool WriteSubmission(std::string_view path, const Submission& submission) {
  const std::string document = SubmissionXml(submission);
  return !document.empty() && platform::WriteNewFile(path, document);
}

}  // namespace verifactu
