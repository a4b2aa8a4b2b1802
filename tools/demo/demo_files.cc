// Text files of the demo installation.
#include "demo_files.h"

#include <vector>

#include "platform/cp850.h"
#include "platform/new_file.h"

namespace demo {
namespace {

std::string Cp(const std::string& utf8) { return platform::Utf8ToCp850(utf8); }

// UTF-8 lines to a code page 850 text with CR LF ends.
std::string Lines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += Cp(l) + "\r\n";
  return out;
}

bool Write(const std::string& path, const std::string& bytes, std::string* error) {
  if (platform::WriteNewFile(path, bytes)) return true;
  *error = "cannot write " + path;
  return false;
}

std::string ToraIni(const std::string& language) {
  return Lines({
      "; Installation settings of the demo office",
      "[Usuari]",
      "Idioma=" + language,
      "DatCaracter=/",
      "DatOrdre=DMA",
      "DecCaracter=,",
      "MilCaracter=.",
      "",
      "[Empresa]",
      "Linia1=ADMINISTRACIÓ DE FINQUES DEL TER",
      "Linia2=Carrer Nou, 14, 2n",
      "Linia3=17001 GIRONA",
      "Linia4=Tel. 972 20 30 40",
      "Linia5=admin@finquesdelter.cat",
      "Linia6=Col·legiat núm. 1234",
      "Linia7=B-17.654.321",
      "Linia8=Girona",
      "",
      "[Rebut]",
      "; Antic=N: boxed receipt on plain paper; anything else: pre-printed forms",
      "Antic=N",
      "; Duplicat=S: a second copy on the same page",
      "Duplicat=S",
      "; Membret=N: no issuer box (paper with a letterhead)",
      "Membret=S",
      "; Matriu=S: the pre-printed forms also fill the counterfoil",
      "Matriu=S",
      "; rows of the pre-printed forms",
      "Fila.Num=3",
      "Fila.Dat=5",
      "Fila.Cnc=8",
      "Fila.Dom=13",
      "Fila.Nom=16",
      "",
      "[Iva0]",
      "Nom=IVA",
      "Locals=21",
      "Vivendes=0",
      "[Iva1]",
      "Nom=IVA",
      "Locals=21",
      "Vivendes=10",
      "[Ret0]",
      "Locals=19",
      "[Ret1]",
      "Locals=0",
      "",
      "[Remesa]",
      "; Emetre=S: every cycle also writes the direct-debit file of the bank",
      "Emetre=N",
      "; Creditor blank: computed from Linia7 with the business code Sufix",
      "Creditor=",
      "Sufix=000",
      "Compte=ES79 2100 0813 6101 2345 6789",
      "BIC=CAIXESBBXXX",
      "DataMandat=2009-10-31",
      "Sequencia=RCUR",
      "",
      "[Registre]",
      "; Actiu=S: every receipt issued goes into the register (REGISTRE.DB), numbers",
      "; move on from it, and a month issued again prints copies",
      "Actiu=S",
      "",
      "[VeriFactu]",
      "; Actiu=S: every receipt gets its VERI*FACTU billing record, sent to the tax",
      "; agency (needs [Registre] Actiu=S). Chosen once: it cannot be turned off",
      "; once the register holds a record. See the manual before turning it on.",
      "Actiu=N",
      "Serie=",
      "; PROVES: the agency's test service; PRODUCCIO needs a build that names its producer",
      "Entorn=PROVES",
      "; the office's qualified certificate (PKCS#12); its password in KELCERTCLAU",
      "; or in the file CertificatClau names",
      "Certificat=",
      "CertificatClau=",
  });
}

// Dir is read as written (a relative one from the installation root, where
// the program works), so it names this session folder in full, and a copy
// of the file for another operator must change it: the comment says so.
std::string SessioIni(const std::string& sessionDir) {
  return Lines({"[Menu]", "Titol=EMISSIÓ DE REBUTS", "NomMenu=QANTIRES", "[Terminal]",
                "; Dir: the terminal folder, where the calculator keeps its tape, in full.",
                "; In a copy for another operator, change it to that operator's folder.",
                "Dir=" + sessionDir});
}

std::string ToraTermIni(const std::string& date, const std::string& language) {
  return Lines({"[Pantalla]", "Seleccio=1", "Col0=15000700000700070007",
                "Col1=15010701000314010003", "[Sistema]", "Data=" + date,
                "Sortida=rebuts.pdf", "Idioma=" + language});
}

// Help texts are read as records of 80 bytes: 78 characters and CR LF.
std::string HelpFile(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) {
    std::string line = Cp(l);
    line.resize(78, ' ');
    out += line + "\r\n";
  }
  return out;
}

std::string SelectionHelp() {
  return HelpFile({
      "\x1E" "EMISSIÓ DE REBUTS" "\x1E",
      "",
      "Aquesta pantalla tria els rebuts que s'emetran aquest mes.",
      "",
      "\x1E" "Data d'emissió" "\x1E" "  Data que porten els rebuts. El mes d'aquesta data",
      "                decideix quins rebuts vencen (mensuals, trimestrals...).",
      "\x1E" "Departaments" "\x1E" "    Primer i últim departament (finca i número).",
      "                F4 obre la llista de finques o de departaments.",
      "\x1E" "Període" "\x1E" "         Número que s'imprimeix a la referència (V07).",
      "\x1E" "Formes de cobrament" "\x1E",
      "                A administració, B banc (domiciliats), F finca.",
      "                Per a cada forma, S/N i el primer i l'últim codi.",
      "\x1E" "Conceptes" "\x1E" "       S per incloure el concepte als rebuts.",
      "",
      "Tecles: Retorn i fletxes per canviar de camp, Re Pàg / Av Pàg al primer",
      "i a l'últim camp, F1 ajuda, F4 llista, Alt+X calculadora, Alt+C calendari,",
      "Esc surt. En confirmar, els rebuts s'envien al programa d'impressió.",
      "",
      "F1 dins d'aquesta ajuda mostra l'ajuda general del menú.",
  });
}

std::string MenuHelp() {
  return HelpFile({
      "\x1E" "AJUDA GENERAL" "\x1E",
      "",
      "Esc tanca la finestra. Fletxes, Re Pàg, Av Pàg, Inici i Fi per moure's.",
      "Alt+X obre la calculadora i Alt+C el calendari des de qualsevol camp.",
  });
}

}  // namespace

bool WriteInstallationText(const InstallationText& in, std::string* error) {
  const std::string& r = in.root;
  return Write(r + "Tora.ini", ToraIni(in.language), error) &&
         Write(in.sessionDir + "Sessio.ini", SessioIni(in.sessionDir), error) &&
         Write(in.sessionDir + "ToraTerm.ini", ToraTermIni(in.workingDate, in.language), error) &&
         Write(r + "FORMS/QANTIRES.QFM", SelectionForm(), error) &&
         Write(r + "LOCALE/QANTIRES.LNG", LanguageFile(), error) &&
         Write(r + "AJUDA/QANTIRES.HLP", SelectionHelp(), error) &&
         Write(r + "AJUDA/KOPAMENU.HLP", MenuHelp(), error);
}

}  // namespace demo
