// Any bytes as the tax agency's answer to a submission: ReadAnswer must
// return without crashing, reading out of bounds or expanding entities,
// and what it calls the agency's answer must hold what it promises.
//
// The agency's namespace alone takes a quarter of the 512 bytes a kept
// input may have, so an input whose first byte is 0x01 stands for the
// inside of an answer: the rest goes into the SOAP envelope and the
// RespuestaRegFactuSistemaFacturacion element, which leaves room for a
// whole RespuestaLinea.  Any other input is the message as it is.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "submission/answer.h"

namespace {

std::string InsideAnAnswer(std::string_view content) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><env:Envelope "
         "xmlns:env=\"http://schemas.xmlsoap.org/soap/envelope/\"><env:Body>"
         "<tikR:RespuestaRegFactuSistemaFacturacion xmlns:tikR=\"https://www2.agenciatributaria."
         "gob.es/static_files/common/internet/dep/aplicaciones/es/aeat/tike/cont/ws/"
         "RespuestaSuministro.xsd\">" +
         std::string(content) +
         "</tikR:RespuestaRegFactuSistemaFacturacion></env:Body></env:Envelope>";
}

void CheckPromises(const submission::AnswerReading& reading) {
  if (reading.kind != submission::AnswerReading::Kind::kAnswer) return;
  const submission::Answer& answer = reading.answer;
  if (answer.lines.size() > static_cast<size_t>(submission::kMaxRecords)) std::abort();
  if (answer.waitSeconds < 0) std::abort();
  for (const submission::AnswerLine& line : answer.lines) {
    if (line.invoice.issuerNif.empty() || line.invoice.seriesNumber.empty() ||
        line.invoice.issueDate.empty()) {
      std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  if (!input.empty() && input[0] == '\x01') {
    CheckPromises(submission::ReadAnswer(InsideAnAnswer(input.substr(1))));
  } else {
    CheckPromises(submission::ReadAnswer(input));
  }
  return 0;
}
