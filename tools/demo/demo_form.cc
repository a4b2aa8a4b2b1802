// The demo's screen-form file and language file.
//
// Screen 1 is the selection screen of the issuing run, 80 x 25 without a
// window of its own: issue date on row 3, the unit range on rows 5 and 6,
// the period on row 7, the three collection forms on row 11 (between the
// rules of rows 9 and 12), the fourteen concept switches on rows 14 to 20
// (below the heading of row 13), and the closing rule on row 22.
// Screen 2 asks for confirmation in a small window.
#include <cstdio>
#include <initializer_list>
#include <utility>
#include <string>
#include <vector>

#include "demo_files.h"
#include "platform/cp850.h"

namespace demo {
namespace {

struct FormField {
  int row, column;
  std::string label;  // UTF-8 here
  int length, lineWidth, descriptionWidth, flags, type, browse;
  std::string prompt;
};

std::string Quoted(const std::string& utf8) {
  const std::string text = platform::Utf8ToCp850(utf8);
  return "\"" + text + "\"";
}

std::string FieldLine(const FormField& f) {
  char numbers[96];
  std::snprintf(numbers, sizeof numbers, "%d,%d,%d,%d,%d,%d", f.length, f.lineWidth,
                f.descriptionWidth, f.flags, f.type, f.browse);
  return std::to_string(f.row) + "," + std::to_string(f.column) + "," + Quoted(f.label) + "," +
         numbers + "," + Quoted(f.prompt) + "\r\n";
}

// The label of a concept switch: its number, then 20 columns that start-up
// fills with the concept type's name, then the colon.
std::string ConceptLabel(int i, const std::string& name) {
  char head[8];
  std::snprintf(head, sizeof head, "%02d - ", i);
  std::string cp = platform::Utf8ToCp850(name);
  cp.resize(20, ' ');
  return head + platform::Cp850ToUtf8(cp) + " : ";
}

// A translated label keeps the width of the Catalan one, so that the value
// after it stays in its column.
std::string SameWidth(const std::string& catalan, const std::string& translation) {
  std::string cp = platform::Utf8ToCp850(translation);
  cp.resize(platform::Utf8ToCp850(catalan).size(), ' ');
  return platform::Cp850ToUtf8(cp);
}

// A browse list's title: each heading over the first column of its values
// (rows are written from the first column inside the frame); "_" shows as
// a blank.
std::string Headings(std::initializer_list<std::pair<size_t, const char*>> columns) {
  std::string cp;
  for (const auto& [column, heading] : columns) {
    cp.resize(column, '_');
    cp += platform::Utf8ToCp850(heading);
  }
  for (char& c : cp) {
    if (c == ' ') c = '_';
  }
  return platform::Cp850ToUtf8(cp + "_");
}

// Rows of the property list: code (3), 2 blanks, street; of the unit lists:
// code (3), 2 blanks, tenant (30), 2 blanks, door.
std::string PropertyHeadings(const char* code, const char* street) {
  return Headings({{0, code}, {5, street}});
}
std::string UnitHeadings(const char* code, const char* tenant, const char* door) {
  return Headings({{0, code}, {5, tenant}, {37, door}});
}

std::vector<FormField> SelectionFields() {
  std::vector<FormField> f = {
      {3, 3, "Data d'emissió dels rebuts : ", 10, 0, 0, 0, 1, 0, "Data que porten els rebuts"},
      {5, 3, "Des del departament : finca ", 3, 0, 0, 0, 2, 1, "Primera finca (F4: llista)"},
      {5, 35, "dept. ", 3, 0, 0, 0, 2, 2, "Primer departament (F4: llista)"},
      {6, 3, "Fins al departament : finca ", 3, 0, 0, 0, 2, 1, "Última finca (F4: llista)"},
      {6, 35, "dept. ", 3, 0, 0, 0, 2, 3, "Últim departament (F4: llista)"},
      {7, 3, "Període ..................: ", 2, 0, 0, 0, 2, 0, "Número de període de la referència"},
      {11, 1, "Admin. (A) ", 1, 0, 0, 0, 4, 0, "S: emetre els rebuts cobrats per l'administració"},
      {11, 13, " de ", 2, 0, 0, 0, 3, 0, "Primer codi de cobrament"},
      {11, 19, " a ", 2, 0, 0, 0, 3, 0, "Últim codi de cobrament"},
      {11, 28, "Banc (B) ", 1, 0, 0, 0, 4, 0, "S: emetre els rebuts domiciliats al banc"},
      {11, 38, " de ", 2, 0, 0, 0, 3, 0, "Primer codi de cobrament"},
      {11, 44, " a ", 2, 0, 0, 0, 3, 0, "Últim codi de cobrament"},
      {11, 55, "Finca (F) ", 1, 0, 0, 0, 4, 0, "S: emetre els rebuts cobrats a la finca"},
      {11, 66, " de ", 2, 0, 0, 0, 3, 0, "Primer codi de cobrament"},
      {11, 72, " a ", 2, 0, 0, 0, 3, 0, "Últim codi de cobrament"},
  };
  for (int i = 1; i <= 14; ++i) {
    std::string name = i <= 10 ? "" : "Concepte codificat " + std::to_string(i - 10);
    int row = 14 + (i - 1) % 7;
    int column = i <= 7 ? 3 : 43;
    f.push_back({row, column, ConceptLabel(i, name), 1, 0, 0, 0, 0, 0, "S: incloure el concepte"});
  }
  return f;
}

}  // namespace

std::string SelectionForm() {
  std::string out = "' QANTIRES: selection screen of the issuing run\r\n";
  out += "' screens, largest field count\r\n2,29\r\n";
  out += "' screen 1: selection\r\n\"\",29,0\r\n0,0,0,0\r\n";
  for (const FormField& f : SelectionFields()) out += FieldLine(f);
  out += "' screen 2: confirmation\r\n\"\",1,0\r\n10,15,14,65\r\n";
  out += FieldLine({2, 10, "Confirmeu l'emissió (S/N) : ", 1, 0, 0, 0, 0, 0,
                    "S: emetre els rebuts"});
  out += "' browse lists\r\n4\r\n";
  out += "' file, key, top, left, bottom, right, filter screen, title, sub-list\r\n";
  const std::string units = Quoted(UnitHeadings("Dep.", "Llogater", "Porta"));
  out += "506,0,4,12,20,60,0," + Quoted(PropertyHeadings("Codi", "Adreça de la finca")) + ",0\r\n";
  out += "507,0,4,4,20,76,0," + units + ",0\r\n";
  out += "507,0,4,4,20,76,0," + units + ",0\r\n";
  out += "502,0,6,8,18,72,0," + Quoted("_Remeses_") + ",0\r\n";
  return out;
}

std::string LanguageFile() {
  // Catalan key, Galician, Aranese, Spanish.
  const std::vector<std::vector<std::string>> entries = {
      {"Data d'emissió dels rebuts : ", "Data de emisión dos recibos: ",
       "Data d'emission des rebuts : ", "Fecha de emisión recibos ..: "},
      {"Des del departament : finca ", "Dende o departamento: finca ",
       "Dempús eth depart. : finca  ", "Desde el departam. : finca  "},
      {"Fins al departament : finca ", "Ata o departamento : finca  ",
       "Enquia eth depart. : finca  ", "Hasta el departam. : finca  "},
      {"dept. ", "dept. ", "dept. ", "dpto. "},
      {"Període ..................: ", "Período ..................: ",
       "Periòde ..................: ", "Periodo ..................: "},
      {"Admin. (A) ", "Admin. (A) ", "Admin. (A) ", "Admin. (A) "},
      {"Banc (B) ", "Banco (B) ", "Banc (B) ", "Banco (B) "},
      {"Finca (F) ", "Finca (F) ", "Finca (F) ", "Finca (F) "},
      {"Confirmeu l'emissió (S/N) : ", "Confirma a emisión (S/N) :  ",
       "Confirmatz era emission (S/N): ", "Confirme la emisión (S/N) : "},
      {"FORMES DE COBRAMENT :", "FORMAS DE COBRO :", "FORMES DE COBRAMENT :",
       "FORMAS DE COBRO :"},
      {"CONCEPTES A EMETRE :", "CONCEPTOS A EMITIR :", "CONCÈPTES D'EMETER :",
       "CONCEPTOS A EMITIR :"},
      {"PRESENTADOR", "PRESENTADOR", "PRESENTADOR", "PRESENTADOR"},
      {"EMISSOR FISCAL", "EMISOR FISCAL", "EMISSOR FISCAU", "EMISOR FISCAL"},
      {"RECEPTOR FISCAL", "RECEPTOR FISCAL", "RECEPTOR FISCAU", "RECEPTOR FISCAL"},
      {"MENSUAL", "MENSUAL", "MENSAU", "MENSUAL"},
      {"BIMESTRAL", "BIMESTRAL", "BIMESTRAU", "BIMESTRAL"},
      {"TRIMESTRAL", "TRIMESTRAL", "TRIMESTRAU", "TRIMESTRAL"},
      {"QUADRIMESTRAL", "CUADRIMESTRAL", "QUADRIMESTRAU", "CUATRIMESTRAL"},
      {"SEMESTRAL", "SEMESTRAL", "SEMESTRAU", "SEMESTRAL"},
      {"ANYAL", "ANUAL", "ANNAU", "ANUAL"},
      {" VENÇUT", " VENCIDO", " VENÇUT", " VENCIDO"},
      {" A MIG TERMINI", " A MEDIO PRAZO", " A MIEI TÈRMI", " A MEDIO PLAZO"},
      {" ANTICIPAT", " ANTICIPADO", " ANTICIPAT", " ANTICIPADO"},
      {"REBUT DOMICILIAT", "RECIBO DOMICILIADO", "REBUT DOMICILIAT", "RECIBO DOMICILIADO"},
      {"COMPTAT", "CONTADO", "COMPTANT", "CONTADO"},
      {"OBJECTE ", "OBXECTO ", "OBJÈCTE ", "OBJETO "},
      {"NÚMERO ", "NÚMERO ", "NUMÈRO ", "NÚMERO "},
      {"DATA ", "DATA ", "DATA ", "FECHA "},
      {"VENCIMENT ", "VENCEMENTO ", "VENCIMENT ", "VENCIMIENTO "},
      {"REFERÈNCIA ", "REFERENCIA ", "REFERÉNCIA ", "REFERENCIA "},
      {"COBRAMENT PER ", "COBRO POR ", "COBRAMENT PER ", "COBRO POR "},
      {"TOTAL ", "TOTAL ", "TOTAU ", "TOTAL "},
      {"REBUT", "RECIBO", "REBUT", "RECIBO"},
      {"Data que porten els rebuts", "Data que levan os recibos", "Data que pòrten es rebuts",
       "Fecha que llevan los recibos"},
      {"Primera finca (F4: llista)", "Primeira finca (F4: lista)", "Prumèra finca (F4: lista)",
       "Primera finca (F4: lista)"},
      {"Primer departament (F4: llista)", "Primeiro departamento (F4: lista)",
       "Prumèr departament (F4: lista)", "Primer departamento (F4: lista)"},
      {"Última finca (F4: llista)", "Última finca (F4: lista)", "Darrèra finca (F4: lista)",
       "Última finca (F4: lista)"},
      {"Últim departament (F4: llista)", "Último departamento (F4: lista)",
       "Darrèr departament (F4: lista)", "Último departamento (F4: lista)"},
      {"Número de període de la referència", "Número de período da referencia",
       "Numèro de periòde dera referéncia", "Número de periodo de la referencia"},
      {"S: emetre els rebuts cobrats per l'administració",
       "S: emitir os recibos cobrados pola administración",
       "S: emeter es rebuts cobradi pera administracion",
       "S: emitir los recibos cobrados por la administración"},
      {"S: emetre els rebuts domiciliats al banc", "S: emitir os recibos domiciliados no banco",
       "S: emeter es rebuts domiciliadi ath banc", "S: emitir los recibos domiciliados en el banco"},
      {"S: emetre els rebuts cobrats a la finca", "S: emitir os recibos cobrados na finca",
       "S: emeter es rebuts cobradi ena finca", "S: emitir los recibos cobrados en la finca"},
      {"Primer codi de cobrament", "Primeiro código de cobro", "Prumèr còdi de cobrament",
       "Primer código de cobro"},
      {"Últim codi de cobrament", "Último código de cobro", "Darrèr còdi de cobrament",
       "Último código de cobro"},
      {"S: incloure el concepte", "S: incluír o concepto", "S: includir eth concèpte",
       "S: incluir el concepto"},
      {"S: emetre els rebuts", "S: emitir os recibos", "S: emeter es rebuts", "S: emitir los recibos"},
      {PropertyHeadings("Codi", "Adreça de la finca"),
       PropertyHeadings("Cód.", "Enderezo da finca"), PropertyHeadings("Còdi", "Adreça dera finca"),
       PropertyHeadings("Cód.", "Dirección de la finca")},
      {UnitHeadings("Dep.", "Llogater", "Porta"), UnitHeadings("Dep.", "Inquilino", "Porta"),
       UnitHeadings("Dep.", "Logaire", "Pòrta"), UnitHeadings("Dto.", "Inquilino", "Puerta")},
      {"_Remeses_", "_Remesas_", "_Remesas_", "_Remesas_"},
  };
  std::string out;
  for (int i = 1; i <= 4; ++i) {
    std::string ca = ConceptLabel(10 + i, "Concepte codificat " + std::to_string(i));
    out += Quoted(ca) + "," + Quoted(ConceptLabel(10 + i, "Concepto codif. " + std::to_string(i))) +
           "," + Quoted(ConceptLabel(10 + i, "Concèpte codificat " + std::to_string(i))) + "," +
           Quoted(ConceptLabel(10 + i, "Concepto codif. " + std::to_string(i))) + "\r\n";
  }
  const size_t kLabels = 9;  // the first entries are screen labels
  for (size_t n = 0; n < entries.size(); ++n) {
    const auto& e = entries[n];
    out += Quoted(e[0]);
    for (int l = 1; l <= 3; ++l) {
      out += ',';
      out += Quoted(n < kLabels ? SameWidth(e[0], e[l]) : e[l]);
    }
    out += "\r\n";
  }
  return out;
}

}  // namespace demo
