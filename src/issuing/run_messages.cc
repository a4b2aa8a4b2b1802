// The issuing run's messages to the operator, in the session language:
// Catalan, Spanish, Galician, Aranese.  Texts are in code page 850.
#include <string>
#include <string_view>

#include "config/in_language.h"
#include "config/session_settings.h"
#include "format/amounts.h"
#include "format/text.h"
#include "issuing/issuing_run.h"
#include "platform/cp850.h"
#include "platform/paths.h"
#include "print/spool.h"
#include "storage/record_backend.h"

namespace issuing {
namespace {

using config::InLanguage;

constexpr std::string_view kPrinterName = "kelprint: ";

// The print program's last word for the screen: its last line that it
// signed with its name, else the last non-empty line (what a library or a
// runtime adds at the exit comes after the program's own lines).
std::string LastLine(const std::string& output) {
  std::string_view text(output);
  std::string_view last;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    if (line.starts_with(kPrinterName) || (!line.empty() && !last.starts_with(kPrinterName))) {
      last = line;
    }
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  return platform::Utf8ToCp850(last);
}

// What the print program said it did, in the session language ("12 PÀGINES
// A .../rebuts.pdf"), without its name.
std::string PrinterReport(const std::string& output) {
  const std::string line = LastLine(output);
  return line.starts_with(kPrinterName) ? line.substr(kPrinterName.size()) : line;
}

// When the register printed copies or refused receipts: how many of the
// cycle's receipts are new, how many copies, how many refused (a cycle of
// new receipts alone says no more than before).
std::string RegisterCounts(const IssueSummary& summary) {
  if (summary.copies == 0 && summary.refused.empty()) return {};
  return " (" + std::to_string(summary.receipts - summary.copies) +
         InLanguage(" NOUS, ", " NUEVOS, ", " NOVOS, ", " NAUI, ") +
         std::to_string(summary.copies) +
         InLanguage(" C\xE3PIES, ", " COPIAS, ", " COPIAS, ", " C\xE3PIES, ") +
         std::to_string(summary.refused.size()) +
         InLanguage(" REFUSATS)", " RECHAZADOS)", " REXEITADOS)", " REFUSATS)");
}

}  // namespace

std::string TotalText(double cents) {
  return format::Trim(format::FormatAmount("ZZZ,ZZZ,ZZZ,ZZ9", cents));
}

std::string SpoolFailedMessage() {
  return InLanguage("NO ES POT ESCRIURE EL FITXER D'IMPRESSI\xE0 ",
                    "NO SE PUEDE ESCRIBIR EL FICHERO DE IMPRESI\xE0N ",
                    "NOM SE PODE ESCREBER O FICHEIRO DE IMPRESI\xE0N ",
                    "NON SE P\xD2T ESCRIUER ETH FICH\xD4R D'IMPRESSION ") +
         platform::Utf8ToCp850(platform::NativePath(print::SpoolPath()));
}

std::string PrinterFailedMessage(int status, const std::string& output) {
  const std::string program = platform::Utf8ToCp850(platform::NativePath(PrintProgramPath()));
  if (status < 0) {
    return InLanguage("NO ES POT EXECUTAR EL PROGRAMA D'IMPRESSI\xE0 ",
                      "NO SE PUEDE EJECUTAR EL PROGRAMA DE IMPRESI\xE0N ",
                      "NOM SE PODE EXECUTAR O PROGRAMA DE IMPRESI\xE0N ",
                      "NON SE P\xD2T EXECUTAR ETH PROGRAMA D'IMPRESSION ") +
           program;
  }
  return InLanguage("EL PROGRAMA D'IMPRESSI\xE0 HA FALLAT (",
                    "EL PROGRAMA DE IMPRESI\xE0N HA FALLADO (",
                    "O PROGRAMA DE IMPRESI\xE0N FALLOU (", "ETH PROGRAMA D'IMPRESSION A FALHAT (") +
         std::to_string(status) + "): " + LastLine(output) + " " +
         InLanguage(
             "EL FITXER D'IMPRESSI\xE0 ES CONSERVA: ", "EL FICHERO DE IMPRESI\xE0N SE CONSERVA: ",
             "O FICHEIRO DE IMPRESI\xE0N CONS\x90RVASE: ",
             "ETH FICH\xD4R D'IMPRESSION SE CONSERVE: ") +
         platform::Utf8ToCp850(platform::NativePath(print::SpoolPath()));
}

std::string LeftOutMessage(const std::vector<std::string>& units) {
  std::string text = InLanguage("SENSE REBUT (CLASSE D'IVA DEL PROPIETARI DESCONEGUDA): ",
                                "SIN RECIBO (CLASE DE IVA DEL PROPIETARIO DESCONOCIDA): ",
                                "SEN RECIBO (CLASE DE IVE DO PROPIETARIO DESCO\xA5"
                                "ECIDA): ",
                                "SENSE REBUT (CLASSA D'IVA DETH PROPRIETARI DESCONEGUDA): ");
  for (size_t i = 0; i < units.size(); ++i) text += (i == 0 ? "" : ", ") + units[i];
  return text;
}

std::string RegisterFailedMessage(const std::string& reason) {
  return InLanguage("NO ES POT FER SERVIR EL REGISTRE DE REBUTS: ",
                    "NO SE PUEDE USAR EL REGISTRO DE RECIBOS: ",
                    "NON SE PODE USAR O REXISTRO DE RECIBOS: ",
                    "NON SE P\xD2T EMPRAR ETH REGISTRE DE REBUTS: ") +
         platform::Utf8ToCp850(reason);
}

std::string SendingFailedMessage(const std::string& reason) {
  return InLanguage("VERI*FACTU: L'ENVIAMENT A L'AG\xD4NCIA TRIBUT\xB7RIA HA FALLAT, ELS REGISTRES ESPEREN: ",
                    "VERI*FACTU: EL ENV\xD6O A LA AGENCIA TRIBUTARIA HA FALLADO, LOS REGISTROS ESPERAN: ",
                    "VERI*FACTU: O ENV\xD6O \xB5 AXENCIA TRIBUTARIA FALLOU, OS REXISTROS AGARDAN: ",
                    "VERI*FACTU: ER ENVIAMENT A L'AG\xD4NCIA TRIBUT\xB7RIA A FALHAT, ES REGISTRES ESPEREN: ") +
         reason;
}

std::string RegisterBusyMessage() {
  return InLanguage("UN ALTRE LLOC DE TREBALL EST\xB7 EMETENT REBUTS. TORNEU-HO A PROVAR",
                    "OTRO PUESTO DE TRABAJO EST\xB5 EMITIENDO RECIBOS. VUELVA A PROBAR",
                    "OUTRO POSTO DE TRABALLO EST\xB5 EMITINDO RECIBOS. VOLVA PROBAR",
                    "UN AUTE L\xE3" "C DE TRABALH EMET REBUTS. TORNATZ A ASSAJAR");
}

std::string RefusalMessage(const Refusal& refusal) {
  const std::string date = refusal.issuedOn.substr(8, 2) + "/" + refusal.issuedOn.substr(5, 2) +
                           "/" + refusal.issuedOn.substr(0, 4);
  const std::string number = format::ZeroPad(static_cast<double>(refusal.number), 8);
  const std::string was = TotalText(refusal.issuedTotal);
  const std::string now = TotalText(refusal.newTotal);
  return InLanguage("REBUT ", "RECIBO ", "RECIBO ", "REBUT ") + refusal.unit +
         InLanguage(": EM\xD4S EL ", ": EMITIDO EL ", ": EMITIDO O ", ": EMETUT ERA ") + date +
         InLanguage(" AMB EL N\xE9MERO ", " CON EL N\xE9MERO ", " CO N\xE9MERO ",
                    " DAB ETH N\xE9MER ") +
         number + InLanguage(" PER ", " POR ", " POR ", " PER ") + was +
         InLanguage("; ARA ", "; AHORA ", "; AGORA ", "; ARA ") + now +
         InLanguage(". NO S'IMPRIMEIX", ". NO SE IMPRIME", ". NON SE IMPRIME", ". NON S'IMPRIM\xD6S");
}

std::string CopyWord() {
  return InLanguage("C\xE3PIA", "COPIA", "COPIA", "C\xE3PIA");
}

std::string CycleDoneMessage(const IssueSummary& summary) {
  if (summary.receipts == 0) {
    return InLanguage("NO HI HA REBUTS A EMETRE", "NO HAY RECIBOS A EMITIR",
                      "NON HAI RECIBOS QUE EMITIR", "NON I A REBUTS D'EMETER");
  }
  const std::string count = std::to_string(summary.receipts);
  const std::string total = TotalText(summary.total) + " EUR";
  const std::string done = count +
                           InLanguage(" REBUTS EMESOS, TOTAL ", " RECIBOS EMITIDOS, TOTAL ",
                                      " RECIBOS EMITIDOS, TOTAL ", " REBUTS EMETUDI, TOTAU ") +
                           total + RegisterCounts(summary);
  // Where they went: the print program's own word, or (a preview, whose
  // output is not collected) the output device.
  const std::string report = PrinterReport(summary.printerOutput);
  if (!report.empty()) return done + ". " + report;
  const std::string device = format::Trim(config::Settings().OutputDevice);
  return done + InLanguage(", ENVIATS A: ", ", ENVIADOS A: ", ", ENVIADOS A: ", ", MANDADI A: ") +
         device;
}

std::string SettingsMessage(const office::SettingsProblem& problem) {
  using Kind = office::SettingsProblem::Kind;
  const std::string file = platform::Utf8ToCp850(platform::NativePath(problem.file));
  if (problem.kind == Kind::kUnreadable) {
    return InLanguage("NO ES POT LLEGIR EL FITXER ", "NO SE PUEDE LEER EL FICHERO ",
                      "NOM SE PODE LER O FICHEIRO ", "NON SE P\xD2T LEGIR ETH FICH\xD4R ") +
           file;
  }
  const std::string in = InLanguage(" A ", " EN ", " EN ", " EN ");
  if (problem.kind == Kind::kMissing) {
    return InLanguage("FALTA ", "FALTA ", "FALTA ", "MANCA ") + problem.what + in + file;
  }
  return InLanguage("VALOR NO V\xB7LID ", "VALOR NO V\xB5LIDO ", "VALOR NON V\xB5LIDO ",
                    "VALOR NON VALID ") +
         problem.what + in + file;
}

std::string CutAmountMessage(const IssueSummary& summary) {
  return InLanguage("L'IMPORT ", "EL IMPORTE ", "O IMPORTE ", "ETH IMPORT ") +
         TotalText(summary.cutCents) + " EUR" +
         InLanguage(" DEL DEPARTAMENT ", " DEL DEPARTAMENTO ", " DO DEPARTAMENTO ",
                    " DETH DEPARTAMENT ") +
         summary.cutUnit +
         InLanguage(" NO CAP A LA M\xB7SCARA ", " NO CABE EN LA M\xB5SCARA ",
                    " NON CABE NA M\xB5SCARA ", " NON CAP EN ERA MASCARA ") +
         summary.cutMask +
         InLanguage(": NO S'HA EM\xD4S CAP REBUT", ": NO SE HA EMITIDO NING\xE9N RECIBO",
                    ": NON SE EMITIU NING\xE9N RECIBO", ": NON S'A EMETUT CAP REBUT");
}

std::string UnwritableSettingMessage(const config::UnwritableSetting& setting) {
  return InLanguage(
             "CAR\xB7"
             "CTER NO ADM\xD4S (S'OMET): ",
             "CAR\xB5"
             "CTER NO ADMITIDO (SE OMITE): ",
             "CAR\xB5"
             "CTER NON ADMITIDO (OM\xD6TESE): ",
             "CARACT\xD4R NON ADM\xD4S (S'OMET): ") +
         "[" + setting.section + "] " + setting.key + InLanguage(" A ", " EN ", " EN ", " EN ") +
         setting.file;
}

std::string RecordsLostMessage() {
  return InLanguage("S'HA PERDUT LA CONNEXI\xE0 AMB EL SERVIDOR DE DADES: ",
                    "SE HA PERDIDO LA CONEXI\xE0N CON EL SERVIDOR DE DATOS: ",
                    "PERDEUSE A CONEXI\xE0N CO SERVIDOR DE DATOS: ",
                    "S'A PERDUT ERA CONNEXION DAMB ETH SERVIDOR DE DADES: ") +
         storage::RecordServerMessage().substr(0, 160);
}

}  // namespace issuing
