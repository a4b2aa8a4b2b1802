// Reading the agency's answers, and refusing whatever is not one.
#include "submission/answer.h"

#include <gtest/gtest.h>

#include <string>

namespace submission {
namespace {

const std::string kNamespaces =
    " xmlns:tikR=\"https://www2.agenciatributaria.gob.es/static_files/common/internet/dep/"
    "aplicaciones/es/aeat/tike/cont/ws/RespuestaSuministro.xsd\""
    " xmlns:tik=\"https://www2.agenciatributaria.gob.es/static_files/common/internet/dep/"
    "aplicaciones/es/aeat/tike/cont/ws/SuministroInformacion.xsd\"";

std::string Envelope(const std::string& content) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<env:Envelope xmlns:env=\"http://schemas.xmlsoap.org/soap/envelope/\">"
         "<env:Header/><env:Body Id=\"Body\">" +
         content + "</env:Body></env:Envelope>";
}

// An answer with the given TiempoEsperaEnvio, EstadoEnvio and lines.
std::string AnswerMessage(const std::string& wait, const std::string& state,
                          const std::string& lines) {
  return Envelope("<tikR:RespuestaRegFactuSistemaFacturacion" + kNamespaces +
                  "><tikR:CSV>A-QT7XW2M9KD4BFR</tikR:CSV>"
                  "<tikR:DatosPresentacion><tik:NIFPresentador>B00000034</tik:NIFPresentador>"
                  "<tik:TimestampPresentacion>2025-01-15T10:30:00+01:00</tik:TimestampPresentacion>"
                  "</tikR:DatosPresentacion><tikR:TiempoEsperaEnvio>" +
                  wait + "</tikR:TiempoEsperaEnvio><tikR:EstadoEnvio>" + state +
                  "</tikR:EstadoEnvio>" + lines + "</tikR:RespuestaRegFactuSistemaFacturacion>");
}

std::string Line(const std::string& series, const std::string& operation, const std::string& state,
                 const std::string& rest = "") {
  return "<tikR:RespuestaLinea><tikR:IDFactura><tik:IDEmisorFactura>B00000034</tik:IDEmisorFactura>"
         "<tik:NumSerieFactura>" +
         series +
         "</tik:NumSerieFactura>"
         "<tik:FechaExpedicionFactura>15-01-2025</tik:FechaExpedicionFactura></tikR:IDFactura>"
         "<tikR:Operacion><tik:TipoOperacion>" +
         operation +
         "</tik:TipoOperacion></tikR:Operacion>"
         "<tikR:EstadoRegistro>" +
         state + "</tikR:EstadoRegistro>" + rest + "</tikR:RespuestaLinea>";
}

TEST(ReadAnswer, EveryFieldIsReadInCodePage850WithTheBlanksAroundRemoved) {
  const std::string message = AnswerMessage(
      " 60 ", "ParcialmenteCorrecto",
      Line("  R-2025/0001 ", "Alta", "Correcto") +
          Line("R-2025/0002", "Anulacion", "AceptadoConErrores",
               "<tikR:CodigoErrorRegistro>2000</tikR:CodigoErrorRegistro>"
               "<tikR:DescripcionErrorRegistro>El c\xC3\xA1lculo de la huella\n   es incorrecta."
               "</tikR:DescripcionErrorRegistro>") +
          Line("R-2025/0003 &amp; B", "Alta", "Incorrecto",
               "<tikR:CodigoErrorRegistro>3000</tikR:CodigoErrorRegistro>"
               "<tikR:DescripcionErrorRegistro>Registro de facturaci\xC3\xB3n duplicado."
               "</tikR:DescripcionErrorRegistro><tikR:RegistroDuplicado>"
               "<tik:IdPeticionRegistroDuplicado>202501151030001</tik:IdPeticionRegistroDuplicado>"
               "<tik:EstadoRegistroDuplicado>AceptadaConErrores</tik:EstadoRegistroDuplicado>"
               "<tik:CodigoErrorRegistro>1234</tik:CodigoErrorRegistro>"
               "<tik:DescripcionErrorRegistro>Error previo</tik:DescripcionErrorRegistro>"
               "</tikR:RegistroDuplicado>"));
  const AnswerReading reading = ReadAnswer(message);
  ASSERT_EQ(reading.kind, AnswerReading::Kind::kAnswer) << reading.problem;
  const Answer& a = reading.answer;
  EXPECT_EQ(a.csv, "A-QT7XW2M9KD4BFR");
  EXPECT_EQ(a.presenterNif, "B00000034");
  EXPECT_EQ(a.presentedAt, "2025-01-15T10:30:00+01:00");
  EXPECT_EQ(a.waitSeconds, 60);
  EXPECT_EQ(a.state, SendState::kParcialmenteCorrecto);
  ASSERT_EQ(a.lines.size(), 3u);
  EXPECT_EQ(a.lines[0].invoice.issuerNif, "B00000034");
  EXPECT_EQ(a.lines[0].invoice.seriesNumber, "R-2025/0001");
  EXPECT_EQ(a.lines[0].invoice.issueDate, "15-01-2025");
  EXPECT_EQ(a.lines[0].operation, Operation::kAlta);
  EXPECT_EQ(a.lines[0].state, RecordState::kCorrecto);
  EXPECT_EQ(a.lines[0].errorCode, "");
  EXPECT_FALSE(a.lines[0].held.has_value());
  EXPECT_EQ(a.lines[1].operation, Operation::kAnulacion);
  EXPECT_EQ(a.lines[1].state, RecordState::kAceptadoConErrores);
  EXPECT_EQ(a.lines[1].errorCode, "2000");
  EXPECT_EQ(a.lines[1].errorDescription, "El c\xA0lculo de la huella es incorrecta.");
  EXPECT_EQ(a.lines[2].invoice.seriesNumber, "R-2025/0003 & B");
  EXPECT_EQ(a.lines[2].state, RecordState::kIncorrecto);
  EXPECT_EQ(a.lines[2].errorDescription, "Registro de facturaci\xA2n duplicado.");
  ASSERT_TRUE(a.lines[2].held.has_value());
  EXPECT_EQ(a.lines[2].held->requestId, "202501151030001");
  EXPECT_EQ(a.lines[2].held->state, HeldState::kAceptadaConErrores);
  EXPECT_EQ(a.lines[2].held->errorCode, "1234");
  EXPECT_EQ(a.lines[2].held->errorDescription, "Error previo");
}

TEST(ReadAnswer, FaultGivesItsCodeAndReasonOnOneLine) {
  const AnswerReading reading = ReadAnswer(Envelope(
      "<env:Fault><faultcode>env:Client</faultcode><faultstring>Codigo[4104].El NIF del titular "
      "no est\xC3\xA1 identificado.\n      NIF:B00000034\n  </faultstring>"
      "<detail><callstack>WSExcepcion</callstack></detail></env:Fault>"));
  ASSERT_EQ(reading.kind, AnswerReading::Kind::kFault);
  EXPECT_EQ(reading.faultCode, "env:Client");
  EXPECT_EQ(reading.faultString,
            "Codigo[4104].El NIF del titular no est\xA0 identificado. NIF:B00000034");
}

TEST(ReadAnswer, AThousandLinesAreReadAndOneMoreIsRefused) {
  std::string lines;
  for (int i = 0; i < kMaxRecords; ++i) lines += Line(std::to_string(i), "Alta", "Correcto");
  const AnswerReading full = ReadAnswer(AnswerMessage("60", "Correcto", lines));
  ASSERT_EQ(full.kind, AnswerReading::Kind::kAnswer) << full.problem;
  EXPECT_EQ(full.answer.lines.size(), static_cast<size_t>(kMaxRecords));
  EXPECT_EQ(full.answer.lines.back().invoice.seriesNumber, "999");
  const AnswerReading over =
      ReadAnswer(AnswerMessage("60", "Correcto", lines + Line("1000", "Alta", "Correcto")));
  EXPECT_EQ(over.kind, AnswerReading::Kind::kUnrecognised);
}

TEST(ReadAnswer, AnythingButTheAgencysAnswerIsUnrecognised) {
  const std::string good = Line("1", "Alta", "Correcto");
  const std::string answerElement = "<tikR:RespuestaRegFactuSistemaFacturacion" + kNamespaces;
  const std::pair<const char*, std::string> cases[] = {
      {"empty", ""},
      {"not XML", "Service Unavailable"},
      {"a web page", "<html><body>Mantenimiento</body></html>"},
      {"cut short", AnswerMessage("60", "Correcto", good).substr(0, 400)},
      {"SOAP 1.2 envelope",
       "<e:Envelope xmlns:e=\"http://www.w3.org/2003/05/soap-envelope\"><e:Body/></e:Envelope>"},
      {"empty body", Envelope("")},
      {"another answer",
       Envelope("<tikR:RespuestaConsultaFactuSistemaFacturacion" + kNamespaces + "/>")},
      {"answer in no namespace",
       Envelope("<RespuestaRegFactuSistemaFacturacion><TiempoEsperaEnvio>60</TiempoEsperaEnvio>"
                "<EstadoEnvio>Correcto</EstadoEnvio></RespuestaRegFactuSistemaFacturacion>")},
      {"no wait", Envelope(answerElement + "><tikR:EstadoEnvio>Correcto</tikR:EstadoEnvio>" +
                           "</tikR:RespuestaRegFactuSistemaFacturacion>")},
      {"negative wait", AnswerMessage("-1", "Correcto", good)},
      {"huge wait", AnswerMessage("99999999999", "Correcto", good)},
      {"unknown send state", AnswerMessage("60", "Aceptado", good)},
      {"unknown record state", AnswerMessage("60", "Correcto", Line("1", "Alta", "Aceptada"))},
      {"unknown operation", AnswerMessage("60", "Correcto", Line("1", "Baja", "Correcto"))},
      {"no series", AnswerMessage("60", "Correcto", Line("", "Alta", "Correcto"))},
      {"unknown held state",
       AnswerMessage("60", "Incorrecto",
                     Line("1", "Alta", "Incorrecto",
                          "<tikR:RegistroDuplicado><tik:EstadoRegistroDuplicado>Vigente"
                          "</tik:EstadoRegistroDuplicado></tikR:RegistroDuplicado>"))},
      {"entities of its own",
       "<?xml version=\"1.0\"?><!DOCTYPE e [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;\">]>" +
           AnswerMessage("60", "Correcto", Line("&b;", "Alta", "Correcto")).substr(39)},
      {"external entity",
       "<?xml version=\"1.0\"?><!DOCTYPE e [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>" +
           AnswerMessage("60", "Correcto", Line("&x;", "Alta", "Correcto")).substr(39)},
      {"undecodable", "<?xml version=\"1.0\" encoding=\"SHIFT_JIS\"?><a>#:00 \xFF\xFE\x80</a>"},
      {"too large", AnswerMessage("60", "Correcto", good + std::string(kMaxAnswerBytes, ' '))},
  };
  for (const auto& [name, message] : cases) {
    // Nothing may go to standard error, where the program's screen is.
    testing::internal::CaptureStderr();
    const AnswerReading reading = ReadAnswer(message);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << name;
    EXPECT_EQ(reading.kind, AnswerReading::Kind::kUnrecognised) << name;
    EXPECT_NE(reading.problem, "") << name;
  }
}

}  // namespace
}  // namespace submission
