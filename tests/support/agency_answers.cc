// The answers follow the shape of the agency's RespuestaRegFactuSistemaFacturacion:
// the answer elements in its answer namespace, the invoice fields in its
// common one, texts with accents as the agency writes them.
#include "agency_answers.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstring>

namespace testing_support {
namespace {

constexpr const char* kSoap = "http://schemas.xmlsoap.org/soap/envelope/";
constexpr const char* kBase =
    "https://www2.agenciatributaria.gob.es/static_files/common/internet/dep/aplicaciones/es/aeat/"
    "tike/cont/ws/";

bool Is(const xmlNode* n, const std::string& ns, const char* name) {
  return n != nullptr && n->type == XML_ELEMENT_NODE &&
         std::strcmp(reinterpret_cast<const char*>(n->name), name) == 0 && n->ns != nullptr &&
         ns == reinterpret_cast<const char*>(n->ns->href);
}

std::vector<const xmlNode*> Elements(const xmlNode* parent) {
  std::vector<const xmlNode*> found;
  for (const xmlNode* n = parent ? parent->children : nullptr; n != nullptr; n = n->next) {
    if (n->type == XML_ELEMENT_NODE) found.push_back(n);
  }
  return found;
}

const xmlNode* Child(const xmlNode* parent, const char* name) {
  for (const xmlNode* n : Elements(parent)) {
    if (std::strcmp(reinterpret_cast<const char*>(n->name), name) == 0) return n;
  }
  return nullptr;
}

std::string Text(const xmlNode* n) {
  if (n == nullptr) return {};
  xmlChar* content = xmlNodeGetContent(n);
  std::string text = reinterpret_cast<const char*>(content);
  xmlFree(content);
  return text;
}

// One RegistroFactura's record, or a problem.
std::string ReadRecord(const xmlNode* registro, SubmittedRecord* record) {
  const std::vector<const xmlNode*> inside = Elements(registro);
  if (inside.size() != 1) return "a RegistroFactura does not hold one record";
  const std::string info = std::string(kBase) + "SuministroInformacion.xsd";
  record->cancellation = Is(inside[0], info, "RegistroAnulacion");
  if (!record->cancellation && !Is(inside[0], info, "RegistroAlta")) {
    return "a RegistroFactura holds neither RegistroAlta nor RegistroAnulacion";
  }
  const xmlNode* id = Child(inside[0], "IDFactura");
  const std::string suffix = record->cancellation ? "Anulada" : "";
  record->issuerNif = Text(Child(id, ("IDEmisorFactura" + suffix).c_str()));
  record->seriesNumber = Text(Child(id, ("NumSerieFactura" + suffix).c_str()));
  record->issueDate = Text(Child(id, ("FechaExpedicionFactura" + suffix).c_str()));
  if (record->issuerNif.empty() || record->seriesNumber.empty() || record->issueDate.empty()) {
    return "a record's IDFactura is incomplete";
  }
  return {};
}

std::string CheckEnvelope(const xmlNode* envelope, SubmissionCheck* check) {
  const std::vector<const xmlNode*> parts = Elements(envelope);
  if (!Is(envelope, kSoap, "Envelope")) return "not a SOAP 1.1 envelope";
  if (parts.size() != 2 || !Is(parts[0], kSoap, "Header") || !Is(parts[1], kSoap, "Body")) {
    return "the envelope does not hold a SOAP header and body";
  }
  const std::vector<const xmlNode*> content = Elements(parts[1]);
  if (content.size() != 1 ||
      !Is(content[0], std::string(kBase) + "SuministroLR.xsd", "RegFactuSistemaFacturacion")) {
    return "the body does not hold one RegFactuSistemaFacturacion";
  }
  check->headerNif = Text(Child(Child(Child(content[0], "Cabecera"), "ObligadoEmision"), "NIF"));
  if (check->headerNif.empty()) return "no Cabecera/ObligadoEmision/NIF";
  for (const xmlNode* n : Elements(content[0])) {
    if (std::strcmp(reinterpret_cast<const char*>(n->name), "RegistroFactura") != 0) continue;
    SubmittedRecord record;
    const std::string problem = ReadRecord(n, &record);
    if (!problem.empty()) return problem;
    if (record.issuerNif != check->headerNif) return "records of more than one issuer";
    check->records.push_back(record);
  }
  if (check->records.empty()) return "no RegistroFactura";
  if (check->records.size() > 1000) return "more than 1000 records";
  return {};
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '&')
      out += "&amp;";
    else if (c == '<')
      out += "&lt;";
    else if (c == '>')
      out += "&gt;";
    else
      out += c;
  }
  return out;
}

struct LineVerdict {
  const char* state = "Correcto";
  std::string error;  // CodigoErrorRegistro and DescripcionErrorRegistro, or a duplicate block
};

LineVerdict VerdictOf(AgencyScenario scenario, size_t index) {
  const bool second = index % 2 == 1;
  if (scenario == AgencyScenario::kSomeRejected && second) {
    return {"Incorrecto",
            "<tikR:CodigoErrorRegistro>1110</tikR:CodigoErrorRegistro>"
            "<tikR:DescripcionErrorRegistro>El NIF no est\xC3\xA1 identificado en el censo de la "
            "AEAT.</tikR:DescripcionErrorRegistro>"};
  }
  if (scenario == AgencyScenario::kSomeAcceptedWithErrors && second) {
    return {"AceptadoConErrores",
            "<tikR:CodigoErrorRegistro>2000</tikR:CodigoErrorRegistro>"
            "<tikR:DescripcionErrorRegistro>El c\xC3\xA1lculo de la huella suministrada es "
            "incorrecta.</tikR:DescripcionErrorRegistro>"};
  }
  if (scenario == AgencyScenario::kAlreadyHeld) {
    return {"Incorrecto",
            "<tikR:CodigoErrorRegistro>3000</tikR:CodigoErrorRegistro>"
            "<tikR:DescripcionErrorRegistro>Registro de facturaci\xC3\xB3n duplicado."
            "</tikR:DescripcionErrorRegistro>"
            "<tikR:RegistroDuplicado>"
            "<tik:IdPeticionRegistroDuplicado>20250115103000" +
                std::to_string(index + 1) +
                "</tik:IdPeticionRegistroDuplicado>"
                "<tik:EstadoRegistroDuplicado>Correcta</tik:EstadoRegistroDuplicado>"
                "</tikR:RegistroDuplicado>"};
  }
  return {};
}

std::string Line(const SubmittedRecord& record, const LineVerdict& verdict) {
  return "<tikR:RespuestaLinea><tikR:IDFactura><tik:IDEmisorFactura>" + Escaped(record.issuerNif) +
         "</tik:IDEmisorFactura><tik:NumSerieFactura>" + Escaped(record.seriesNumber) +
         "</tik:NumSerieFactura><tik:FechaExpedicionFactura>" + Escaped(record.issueDate) +
         "</tik:FechaExpedicionFactura></tikR:IDFactura><tikR:Operacion><tik:TipoOperacion>" +
         (record.cancellation ? "Anulacion" : "Alta") +
         "</tik:TipoOperacion></tikR:Operacion><tikR:EstadoRegistro>" + verdict.state +
         "</tikR:EstadoRegistro>" + verdict.error + "</tikR:RespuestaLinea>\n";
}

const char* SendState(size_t accepted, size_t total, bool allClean) {
  if (accepted == 0) return "Incorrecto";
  return accepted == total && allClean ? "Correcto" : "ParcialmenteCorrecto";
}

}  // namespace

SubmissionCheck CheckSubmission(const std::string& body) {
  SubmissionCheck check;
  xmlDoc* doc = xmlReadMemory(body.data(), static_cast<int>(body.size()), "request.xml", nullptr,
                              XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  if (doc == nullptr) {
    check.problem = "the request is not well-formed XML";
    return check;
  }
  check.problem = CheckEnvelope(xmlDocGetRootElement(doc), &check);
  xmlFreeDoc(doc);
  return check;
}

std::string AgencyAnswer(AgencyScenario scenario, const SubmissionCheck& submission) {
  std::string lines;
  size_t accepted = 0;
  bool allClean = true;
  for (size_t i = 0; i < submission.records.size(); ++i) {
    const LineVerdict verdict = VerdictOf(scenario, i);
    accepted += std::strcmp(verdict.state, "Incorrecto") != 0;
    allClean = allClean && std::strcmp(verdict.state, "Correcto") == 0;
    lines += Line(submission.records[i], verdict);
  }
  const std::string nif = Escaped(submission.headerNif);
  return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") +
         "<env:Envelope xmlns:env=\"" + kSoap + "\"><env:Header/><env:Body Id=\"Body\">\n" +
         "<tikR:RespuestaRegFactuSistemaFacturacion xmlns:tikR=\"" + kBase +
         "RespuestaSuministro.xsd\" xmlns:tik=\"" + kBase + "SuministroInformacion.xsd\">\n" +
         (accepted > 0 ? "<tikR:CSV>A-QT7XW2M9KD4BFR</tikR:CSV>\n" : "") +
         "<tikR:DatosPresentacion><tik:NIFPresentador>" + nif +
         "</tik:NIFPresentador><tik:TimestampPresentacion>2025-01-15T10:30:00+01:00"
         "</tik:TimestampPresentacion></tikR:DatosPresentacion>\n"
         "<tikR:Cabecera><tik:ObligadoEmision><tik:NombreRazon>FINQUES DE PROVA SL"
         "</tik:NombreRazon><tik:NIF>" +
         nif + "</tik:NIF></tik:ObligadoEmision></tikR:Cabecera>\n" + "<tikR:TiempoEsperaEnvio>" +
         (scenario == AgencyScenario::kShortWait ? "3" : "60") +
         "</tikR:TiempoEsperaEnvio>\n<tikR:EstadoEnvio>" +
         SendState(accepted, submission.records.size(), allClean) + "</tikR:EstadoEnvio>\n" +
         lines + "</tikR:RespuestaRegFactuSistemaFacturacion>\n</env:Body></env:Envelope>\n";
}

std::string FaultMessage(const std::string& code, const std::string& text) {
  return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") +
         "<env:Envelope xmlns:env=\"" + kSoap + "\"><env:Body><env:Fault><faultcode>" + code +
         "</faultcode><faultstring>" + Escaped(text) +
         "\n      </faultstring><detail><callstack>WSExcepcion</callstack></detail>"
         "</env:Fault></env:Body></env:Envelope>\n";
}

}  // namespace testing_support
