// Texts in Catalan, Spanish, Galician and Aranese, in code page 850.
#include "remittance/messages.h"

#include "config/in_language.h"
#include "config/session_settings.h"
#include "format/amounts.h"
#include "format/text.h"

namespace remittance {
namespace {

using config::InLanguage;

std::string ReasonText(LeftOutReason reason) {
  switch (reason) {
    case LeftOutReason::kBlankAccount:
      return InLanguage("SENSE COMPTE", "SIN CUENTA", "SEN CONTA", "SENSE COMPTE");
    case LeftOutReason::kBadAccount:
      return InLanguage("COMPTE ERRONI", "CUENTA ERR\xE0NEA", "CONTA ERR\xE0NEA",
                        "COMPTE INCORR\xD4"
                        "CTE");
    case LeftOutReason::kNoName:
      return InLanguage("SENSE NOM", "SIN NOMBRE", "SEN NOME", "SENSE NOM");
    case LeftOutReason::kNoAmount:
      return InLanguage("IMPORT NO POSITIU", "IMPORTE NO POSITIVO", "IMPORTE NON POSITIVO",
                        "IMPORT NON POSITIU");
  }
  return {};
}

std::string Joined(const std::vector<std::string>& items) {
  std::string text;
  for (size_t i = 0; i < items.size(); ++i) text += (i == 0 ? "" : ", ") + items[i];
  return text;
}

}  // namespace

std::string LeftOutMessage(const std::vector<LeftOut>& leftOut) {
  std::vector<std::string> items;
  for (const LeftOut& l : leftOut) items.push_back(l.unit + " (" + ReasonText(l.reason) + ")");
  return InLanguage("REBUTS FORA DE LA REMESA: ", "RECIBOS FUERA DE LA REMESA: ",
                    "RECIBOS FORA DA REMESA: ", "REBUTS DEF\xE3RA DERA REMESA: ") +
         Joined(items);
}

std::string RefusedMessage(const std::vector<std::string>& problems) {
  return InLanguage(
             "NO ES GENERA LA REMESA, REVISEU Tora.ini: ",
             "NO SE GENERA LA REMESA, REVISE Tora.ini: ", "NON SE XERA A REMESA, REVISE Tora.ini: ",
             "NON SE GEN\xD4RA ERA REMESA, REVISATZ Tora.ini: ") +
         Joined(problems);
}

std::string WriteFailedMessage(const std::string& path) {
  return InLanguage("NO ES POT ESCRIURE LA REMESA ", "NO SE PUEDE ESCRIBIR LA REMESA ",
                    "NOM SE PODE ESCREBER A REMESA ", "NON SE P\xD2T ESCRIUER ERA REMESA ") +
         path;
}

std::string EmptyMessage(const std::string& path, bool earlierFile) {
  std::string text =
      InLanguage("REMESA NO GENERADA: CAP REBUT DOMICILIAT V\xB7LID; NO S'HA ESCRIT ",
                 "REMESA NO GENERADA: NING\xE9N RECIBO DOMICILIADO V\xB5LIDO; "
                 "NO SE HA ESCRITO ",
                 "REMESA NON XERADA: NING\xE9N RECIBO DOMICILIADO V\xB5LIDO; "
                 "NON SE ESCRIBIU ",
                 "REMESA NON GENERADA: CAP REBUT DOMICILIAT V\xB7LID; "
                 "NON S'A ESCRIUT ") +
      path;
  // A script that sends the file to the bank would send the old one again.
  if (earlierFile) {
    text += InLanguage(" (EL FITXER QUE HI HA \x90S D'UNA REMESA ANTERIOR)",
                       " (EL FICHERO QUE HAY ES DE UNA REMESA ANTERIOR)",
                       " (O FICHEIRO QUE HAI \x90 DUNHA REMESA ANTERIOR)",
                       " (ETH FICH\xD4R QUE I A EI D'UA REMESA ANTERIORA)");
  }
  return text;
}

std::string WrittenMessage(int debits, long long cents, const std::string& path) {
  const std::string count = std::to_string(debits) + " ";
  const std::string amount =
      format::Trim(format::FormatAmount("ZZZ,ZZZ,ZZZ,ZZ9", static_cast<double>(cents)));
  return InLanguage(
             "REMESA ESCRITA: ", "REMESA ESCRITA: ", "REMESA ESCRITA: ", "REMESA ESCRIUTA: ") +
         count + InLanguage("REBUTS, ", "RECIBOS, ", "RECIBOS, ", "REBUTS, ") + amount + " EUR, " +
         path;
}

}  // namespace remittance
