// The message table, one row per message: Catalan, Spanish, Galician and
// Aranese.
#include "messages.h"

#include <array>
#include <cstdio>

#include "config/in_language.h"
#include "config/session_settings.h"
#include "platform/cp850.h"

namespace kelprint {
namespace {

using Row = std::array<const char*, 4>;

Row Texts(Words words) {
  switch (words) {
    case Words::kSpoolUnreadable:
      return {"NO ES POT LLEGIR EL FITXER D'IMPRESSI\xE0 %1",
              "NO SE PUEDE LEER EL FICHERO DE IMPRESI\xE0N %1",
              "NON SE PODE LER O FICHEIRO DE IMPRESI\xE0N %1",
              "NON SE P\xE3T LI\x90GER ETH FICH\xD4R D'IMPRESSION %1"};
    case Words::kSpoolIncomplete:
      return {"EL FITXER D'IMPRESSI\xE0 %1 \x90S INCOMPLET: NO S'IMPRIMEIX",
              "EL FICHERO DE IMPRESI\xE0N %1 EST\xB5 INCOMPLETO: NO SE IMPRIME",
              "O FICHEIRO DE IMPRESI\xE0N %1 EST\xB5 INCOMPLETO: NON SE IMPRIME",
              "ETH FICH\xD4R D'IMPRESSION %1 EI INCOMPLET: NON S'IMPRIMIS"};
    case Words::kBadLine:
      return {"L\xD6NIA %1 DEL FITXER D'IMPRESSI\xE0 NO ENTESA: %2",
              "L\xD6NEA %1 DEL FICHERO DE IMPRESI\xE0N NO ENTENDIDA: %2",
              "LI\xA5"
              "A %1 DO FICHEIRO DE IMPRESI\xE0N NON ENTENDIDA: %2",
              "L\xD6NHA %1 DETH FICH\xD4R D'IMPRESSION NON ENTENUDA: %2"};
    case Words::kUnknownDestination:
      return {"IMPRESSORA DESCONEGUDA: %1", "IMPRESORA DESCONOCIDA: %1",
              "IMPRESORA DESCO\xA5"
              "ECIDA: %1",
              "IMPRIMIDORA DESCONEGUDA: %1"};
    case Words::kNoScheduler:
      return {"%1: EL SERVEI D'IMPRESSI\xE0 (CUPS) NO RESPON: %2",
              "%1: EL SERVICIO DE IMPRESI\xE0N (CUPS) NO RESPONDE: %2",
              "%1: O SERVIZO DE IMPRESI\xE0N (CUPS) NON RESPONDE: %2",
              "%1: ETH SERVICI D'IMPRESSION (CUPS) NON RESPON: %2"};
    case Words::kDefaultDestination:
      return {"IMPRESSORA PER DEFECTE", "IMPRESORA PREDETERMINADA", "IMPRESORA PREDETERMINADA",
              "IMPRIMIDORA PER DEFAUT"};
    case Words::kJobRefused:
      return {"LA IMPRESSORA %1 NO ACCEPTA EL TREBALL: %2",
              "LA IMPRESORA %1 NO ACEPTA EL TRABAJO: %2",
              "A IMPRESORA %1 NON ACEPTA O TRABALLO: %2",
              "ERA IMPRIMIDORA %1 NON ACC\xD4PTE ETH TRABALH: %2"};
    case Words::kCannotWrite:
      return {"NO ES POT ESCRIURE %1: %2", "NO SE PUEDE ESCRIBIR %1: %2",
              "NON SE PODE ESCRIBIR %1: %2", "NON SE P\xE3T ESCRIUER %1: %2"};
    case Words::kNothingToPrint:
      return {"RES A IMPRIMIR", "NADA QUE IMPRIMIR", "NADA QUE IMPRIMIR", "ARRES A IMPRIMIR"};
    case Words::kWritten:
      return {"%1 P\xB7GINES A %2", "%1 P\xB5GINAS EN %2", "%1 P\xB5XINAS EN %2",
              "%1 P\xB7GINES EN %2"};
    case Words::kPrinted:
      return {"%1 P\xB7GINES A %2, TREBALL %3", "%1 P\xB5GINAS A %2, TRABAJO %3",
              "%1 P\xB5XINAS A %2, TRABALLO %3", "%1 P\xB7GINES TA %2, TRABALH %3"};
    case Words::kJobTitle:
      return {"QANTIRES %1: %2 REBUTS", "QANTIRES %1: %2 RECIBOS", "QANTIRES %1: %2 RECIBOS",
              "QANTIRES %1: %2 REBUTS"};
    case Words::kPdfFile:
      return {"FITXER PDF", "FICHERO PDF", "FICHEIRO PDF", "FICH\xD4R PDF"};
    case Words::kPreviewKeys:
      return {"Fletxes  RePag/AvPag  Inici/Fi  G:anar a  P:imprimir  Esc:sortir",
              "Flechas  RePag/AvPag  Inicio/Fin  G:ir a  P:imprimir  Esc:salir",
              "Frechas  RePax/AvPax  Inicio/Fin  G:ir a  P:imprimir  Esc:sa\xA1r",
              "Sagetes  RePag/AvPag  Inici/Fin  G:anar  P:imprimir  Esc:gesser"};
    case Words::kPageOf:
      return {"P\xB7GINA %1 DE %2", "P\xB5GINA %1 DE %2", "P\xB5XINA %1 DE %2",
              "P\xB7GINA %1 DE %2"};
    case Words::kGoToPage:
      return {"ANAR A LA P\xB7GINA: ", "IR A LA P\xB5GINA: ", "IR \xB5 P\xB5XINA: ",
              "ANAR TARA P\xB7GINA: "};
    case Words::kNoTerminal:
      return {"LA VISTA PR\x8AVIA NECESSITA UN TERMINAL", "LA VISTA PREVIA NECESITA UN TERMINAL",
              "A VISTA PREVIA PRECISA UN TERMINAL", "ERA VISTA PREVIA A BESOH D'UN TERMINAU"};
    case Words::kPrintTo:
      return {" IMPRIMIR A ", " IMPRIMIR EN ", " IMPRIMIR EN ", " IMPRIMIR EN "};
  }
  return {"", "", "", ""};
}

}  // namespace

std::string Say(Words words, std::initializer_list<std::string> args) {
  const Row row = Texts(words);
  const std::string text = config::InLanguage(row[0], row[1], row[2], row[3]);
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const size_t arg = i + 1 < text.size() && text[i] == '%' ? text[i + 1] - '1' : args.size();
    if (arg < args.size()) {
      out += args.begin()[arg];
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

void Tell(bool problem, const std::string& cp850) {
  std::fprintf(problem ? stderr : stdout, "kelprint: %s\n", platform::Cp850ToUtf8(cp850).c_str());
}

}  // namespace kelprint
