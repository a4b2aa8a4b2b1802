// The agency's service is SOAP 1.1 in document style: the body holds the
// submission element itself, which declares its own namespaces.
#include "submission/envelope.h"

namespace submission {
namespace {

std::string_view WithoutDeclaration(std::string_view document) {
  if (document.substr(0, 3) == "\xEF\xBB\xBF") document.remove_prefix(3);
  if (document.substr(0, 5) == "<?xml") {
    const size_t end = document.find("?>");
    if (end != std::string_view::npos) document.remove_prefix(end + 2);
  }
  while (!document.empty() && (document.front() == ' ' || document.front() == '\t' ||
                               document.front() == '\r' || document.front() == '\n')) {
    document.remove_prefix(1);
  }
  return document;
}

}  // namespace

std::string SoapEnvelope(std::string_view document) {
  std::string request =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<soapenv:Envelope xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\">"
      "<soapenv:Header/><soapenv:Body>";
  request += WithoutDeclaration(document);
  request += "</soapenv:Body></soapenv:Envelope>";
  return request;
}

}  // namespace submission
