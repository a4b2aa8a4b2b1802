// The tax agency's answer to a submission (RespuestaRegFactuSistemaFacturacion),
// and the reader that takes it out of the SOAP message.  Texts are code
// page 850, blanks around them removed, as the agency stores them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace submission {

// EstadoEnvio: the verdict on the whole submission.
enum class SendState {
  kCorrecto,              // every record accepted without errors
  kParcialmenteCorrecto,  // some rejected, or some accepted with errors
  kIncorrecto,            // every record rejected
};

// EstadoRegistro: the verdict on one record.
enum class RecordState {
  kCorrecto,            // registered
  kAceptadoConErrores,  // registered, but to be corrected by a new record
  kIncorrecto,          // rejected: not registered
};

// TipoOperacion: what the record asked for.
enum class Operation { kAlta, kAnulacion };

// EstadoRegistroDuplicado: the state of the record the agency already holds.
enum class HeldState { kCorrecta, kAceptadaConErrores, kAnulada };

// IDFactura: the invoice a record is about.
struct InvoiceId {
  std::string issuerNif;     // IDEmisorFactura
  std::string seriesNumber;  // NumSerieFactura: series and number
  std::string issueDate;     // FechaExpedicionFactura, "DD-MM-YYYY" as sent
};

// RegistroDuplicado: given when a record was rejected because the agency
// already holds one for the same invoice.
struct HeldRecord {
  std::string requestId;  // IdPeticionRegistroDuplicado
  HeldState state = HeldState::kCorrecta;
  std::string errorCode;         // CodigoErrorRegistro of the held record; may be empty
  std::string errorDescription;  // DescripcionErrorRegistro; may be empty
};

// RespuestaLinea: the verdict on one record of the submission.
struct AnswerLine {
  InvoiceId invoice;
  Operation operation = Operation::kAlta;
  RecordState state = RecordState::kCorrecto;
  std::string errorCode;         // CodigoErrorRegistro; empty when none
  std::string errorDescription;  // DescripcionErrorRegistro; empty when none
  std::optional<HeldRecord> held;
};

struct Answer {
  // CSV: the secure verification code that proves the submission; empty
  // when every record was rejected.  It cannot be asked for again later.
  std::string csv;
  std::string presenterNif;  // DatosPresentacion/NIFPresentador; may be empty
  std::string presentedAt;   // DatosPresentacion/TimestampPresentacion, ISO 8601
  // TiempoEsperaEnvio: seconds to wait from this submission before the
  // next one (unless a full submission of records is ready sooner).
  int waitSeconds = 0;
  SendState state = SendState::kCorrecto;
  std::vector<AnswerLine> lines;  // at most kMaxRecords, in the agency's order
};

// The most records one submission may hold, and so the most answer lines.
inline constexpr int kMaxRecords = 1000;
// The largest answer read: a full answer of kMaxRecords lines is far
// smaller.
inline constexpr size_t kMaxAnswerBytes = 8 * 1024 * 1024;

// What a received SOAP message says.
struct AnswerReading {
  enum class Kind {
    kAnswer,        // answer holds the agency's verdict
    kFault,         // a SOAP Fault: the whole submission was refused
    kUnrecognised,  // anything else: problem says what was wrong
  };
  Kind kind = Kind::kUnrecognised;
  Answer answer;
  std::string faultCode;    // "env:Client" (fix the submission) or "env:Server" (send again)
  std::string faultString;  // the agency's explanation, blanks in a row made one
  std::string problem;      // English, for the log
};

// Reads a message that came from the network, trusting none of it: at
// most kMaxAnswerBytes, no DTD or entity of its own, nothing fetched.  A
// message is the agency's answer only when every field the agency always
// sends is there with one of its values; anything less is kUnrecognised,
// so that no record is ever taken as registered on a doubtful answer.
AnswerReading ReadAnswer(std::string_view message);

}  // namespace submission
