// The walk over RespuestaRegFactuSistemaFacturacion.  The answer's own
// elements are in the agency's answer namespace and the invoice fields in
// its common one; past the answer element itself they are found by name,
// and every value with a fixed list must be one of it.
#include <cctype>

#include "submission/answer.h"
#include "submission/received_xml.h"

namespace submission {
namespace {

constexpr const char* kAnswerNamespace =
    "https://www2.agenciatributaria.gob.es/static_files/common/internet/dep/aplicaciones/es/aeat/"
    "tike/cont/ws/RespuestaSuministro.xsd";

// The value of a field with a fixed list of values, or false.
template <typename T, size_t N>
bool OneOf(const std::string& text, const std::pair<const char*, T> (&values)[N], T* value) {
  for (const auto& [word, v] : values) {
    if (text == word) {
      *value = v;
      return true;
    }
  }
  return false;
}

constexpr std::pair<const char*, SendState> kSendStates[] = {
    {"Correcto", SendState::kCorrecto},
    {"ParcialmenteCorrecto", SendState::kParcialmenteCorrecto},
    {"Incorrecto", SendState::kIncorrecto}};
constexpr std::pair<const char*, RecordState> kRecordStates[] = {
    {"Correcto", RecordState::kCorrecto},
    {"AceptadoConErrores", RecordState::kAceptadoConErrores},
    {"Incorrecto", RecordState::kIncorrecto}};
constexpr std::pair<const char*, Operation> kOperations[] = {{"Alta", Operation::kAlta},
                                                             {"Anulacion", Operation::kAnulacion}};
constexpr std::pair<const char*, HeldState> kHeldStates[] = {
    {"Correcta", HeldState::kCorrecta},
    {"AceptadaConErrores", HeldState::kAceptadaConErrores},
    {"Anulada", HeldState::kAnulada}};

// TiempoEsperaEnvio: a whole number of seconds, at most a day's worth of
// digits so that it cannot overflow.
bool ReadWait(const std::string& text, int* seconds) {
  if (text.empty() || text.size() > 6) return false;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  *seconds = std::stoi(text);
  return true;
}

bool ReadInvoice(const xmlNode* id, InvoiceId* invoice) {
  invoice->issuerNif = TextOf(Child(id, "IDEmisorFactura"));
  invoice->seriesNumber = TextOf(Child(id, "NumSerieFactura"));
  invoice->issueDate = TextOf(Child(id, "FechaExpedicionFactura"));
  return !invoice->issuerNif.empty() && !invoice->seriesNumber.empty() &&
         !invoice->issueDate.empty();
}

bool ReadHeld(const xmlNode* node, HeldRecord* held) {
  held->requestId = TextOf(Child(node, "IdPeticionRegistroDuplicado"));
  held->errorCode = TextOf(Child(node, "CodigoErrorRegistro"));
  held->errorDescription = TextOf(Child(node, "DescripcionErrorRegistro"), true);
  return OneOf(TextOf(Child(node, "EstadoRegistroDuplicado")), kHeldStates, &held->state);
}

// One RespuestaLinea; "" when it is whole, else what is wrong with it.
std::string ReadLine(const xmlNode* node, AnswerLine* line) {
  if (!ReadInvoice(Child(node, "IDFactura"), &line->invoice)) return "IDFactura incomplete";
  if (!OneOf(TextOf(Child(Child(node, "Operacion"), "TipoOperacion")), kOperations,
             &line->operation)) {
    return "no TipoOperacion of the list";
  }
  if (!OneOf(TextOf(Child(node, "EstadoRegistro")), kRecordStates, &line->state)) {
    return "no EstadoRegistro of the list";
  }
  line->errorCode = TextOf(Child(node, "CodigoErrorRegistro"));
  line->errorDescription = TextOf(Child(node, "DescripcionErrorRegistro"), true);
  if (const xmlNode* held = Child(node, "RegistroDuplicado")) {
    line->held.emplace();
    if (!ReadHeld(held, &*line->held)) return "no EstadoRegistroDuplicado of the list";
  }
  return {};
}

AnswerReading Unrecognised(std::string problem) {
  AnswerReading reading;
  reading.problem = std::move(problem);
  return reading;
}

AnswerReading ReadRegistration(const xmlNode* node) {
  AnswerReading reading;
  Answer& answer = reading.answer;
  if (!ReadWait(TextOf(Child(node, "TiempoEsperaEnvio")), &answer.waitSeconds)) {
    return Unrecognised("no TiempoEsperaEnvio in seconds");
  }
  if (!OneOf(TextOf(Child(node, "EstadoEnvio")), kSendStates, &answer.state)) {
    return Unrecognised("no EstadoEnvio of the list");
  }
  answer.csv = TextOf(Child(node, "CSV"));
  const xmlNode* presented = Child(node, "DatosPresentacion");
  answer.presenterNif = TextOf(Child(presented, "NIFPresentador"));
  answer.presentedAt = TextOf(Child(presented, "TimestampPresentacion"));
  const std::vector<const xmlNode*> lines = Children(node, "RespuestaLinea", kMaxRecords);
  if (lines.size() > static_cast<size_t>(kMaxRecords)) {
    return Unrecognised("more than " + std::to_string(kMaxRecords) + " RespuestaLinea");
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    AnswerLine line;
    const std::string problem = ReadLine(lines[i], &line);
    if (!problem.empty()) {
      return Unrecognised("RespuestaLinea " + std::to_string(i + 1) + ": " + problem);
    }
    answer.lines.push_back(std::move(line));
  }
  reading.kind = AnswerReading::Kind::kAnswer;
  return reading;
}

AnswerReading ReadFault(const xmlNode* fault) {
  AnswerReading reading;
  reading.kind = AnswerReading::Kind::kFault;
  reading.faultCode = TextOf(Child(fault, "faultcode"));
  reading.faultString = TextOf(Child(fault, "faultstring"), true);
  return reading;
}

}  // namespace

AnswerReading ReadAnswer(std::string_view message) {
  const ReceivedXml xml(message);
  const xmlNode* envelope = xml.root();
  if (envelope == nullptr) return Unrecognised(xml.problem());
  if (!IsElement(envelope, kSoapNamespace, "Envelope")) {
    return Unrecognised("not a SOAP 1.1 envelope");
  }
  const xmlNode* body = Child(envelope, "Body");
  if (!IsElement(body, kSoapNamespace, "Body")) return Unrecognised("no SOAP body");
  const xmlNode* content = FirstElement(body);
  if (IsElement(content, kSoapNamespace, "Fault")) return ReadFault(content);
  if (!IsElement(content, kAnswerNamespace, "RespuestaRegFactuSistemaFacturacion")) {
    return Unrecognised("the body does not hold the agency's RespuestaRegFactuSistemaFacturacion");
  }
  return ReadRegistration(content);
}

}  // namespace submission
