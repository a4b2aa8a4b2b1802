// libxml2 with the options that make a hostile message harmless: no
// network (XML_PARSE_NONET), no DTD loaded, no entities substituted, the
// parser's own depth and size limits kept (no XML_PARSE_HUGE), and no
// messages printed.  Documents with a DTD are dropped after parsing.
// Encoding and I/O errors bypass the parse options and go to libxml2's
// generic handler, which prints on standard error, where the program's
// screen is: it is silenced for the parse.
#include "submission/received_xml.h"

#include <libxml/globals.h>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <climits>
#include <cstring>

#include "platform/cp850.h"
#include "submission/answer.h"

namespace submission {
namespace {

void IgnoreMessage(void*, const char*, ...) {}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string Trimmed(std::string_view text, bool collapse) {
  std::string out;
  for (char c : text) {
    if (!IsBlank(c)) {
      out += c;
    } else if (!out.empty() && !(collapse && out.back() == ' ')) {
      out += collapse ? ' ' : c;
    }
  }
  while (!out.empty() && IsBlank(out.back())) out.pop_back();
  return out;
}

}  // namespace

ReceivedXml::ReceivedXml(std::string_view bytes) {
  if (bytes.size() > kMaxAnswerBytes || bytes.size() > INT_MAX) {
    problem_ = "message larger than " + std::to_string(kMaxAnswerBytes) + " bytes";
    return;
  }
  const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
  const xmlGenericErrorFunc handler = xmlGenericError;
  void* const handlerContext = xmlGenericErrorContext;
  xmlSetGenericErrorFunc(nullptr, IgnoreMessage);
  doc_ =
      xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "answer.xml", nullptr, options);
  xmlSetGenericErrorFunc(handlerContext, handler);
  if (doc_ == nullptr) {
    problem_ = "not well-formed XML";
  } else if (doc_->intSubset != nullptr || doc_->extSubset != nullptr) {
    problem_ = "the message has a DTD";
  } else if (xmlDocGetRootElement(doc_) == nullptr) {
    problem_ = "the message has no element";
  }
}

ReceivedXml::~ReceivedXml() {
  if (doc_ != nullptr) xmlFreeDoc(doc_);
}

const xmlNode* ReceivedXml::root() const {
  return problem_.empty() ? xmlDocGetRootElement(doc_) : nullptr;
}

bool IsElement(const xmlNode* node, const char* ns, const char* name) {
  if (node == nullptr || node->type != XML_ELEMENT_NODE) return false;
  if (std::strcmp(reinterpret_cast<const char*>(node->name), name) != 0) return false;
  if (ns == nullptr) return true;
  return node->ns != nullptr && node->ns->href != nullptr &&
         std::strcmp(reinterpret_cast<const char*>(node->ns->href), ns) == 0;
}

const xmlNode* Child(const xmlNode* parent, const char* name) {
  if (parent == nullptr) return nullptr;
  for (const xmlNode* n = parent->children; n != nullptr; n = n->next) {
    if (IsElement(n, nullptr, name)) return n;
  }
  return nullptr;
}

const xmlNode* FirstElement(const xmlNode* parent) {
  if (parent == nullptr) return nullptr;
  for (const xmlNode* n = parent->children; n != nullptr; n = n->next) {
    if (n->type == XML_ELEMENT_NODE) return n;
  }
  return nullptr;
}

std::vector<const xmlNode*> Children(const xmlNode* parent, const char* name, size_t limit) {
  std::vector<const xmlNode*> found;
  if (parent == nullptr) return found;
  for (const xmlNode* n = parent->children; n != nullptr && found.size() <= limit; n = n->next) {
    if (IsElement(n, nullptr, name)) found.push_back(n);
  }
  return found;
}

std::string TextOf(const xmlNode* node, bool collapse) {
  if (node == nullptr) return {};
  xmlChar* content = xmlNodeGetContent(node);
  if (content == nullptr) return {};
  const std::string utf8(reinterpret_cast<const char*>(content));
  xmlFree(content);
  return Trimmed(platform::Utf8ToCp850(utf8), collapse);
}

}  // namespace submission
