// The walk over owners, properties and units, and the issuing cycle.
#include "issuing/issuing_run.h"

#include "config/language.h"
#include "config/settings.h"
#include "console/keyboard.h"
#include "console/window.h"
#include "format/amounts.h"
#include "format/dates.h"
#include "format/packed.h"
#include "format/text.h"
#include "issuing/layouts.h"
#include "issuing/receipt.h"
#include "office/receipt_settings.h"
#include "platform/console.h"
#include "platform/process.h"
#include "print/spool.h"
#include "records/record_reads.h"
#include "screens/input_screen.h"

namespace issuing {
namespace {

void LookUpConceptType(const std::string& key) {
  std::int16_t status = 0;
  records::FindByKey(kConceptTypeFile, 0, key, 0, status);
  if (status != 0) office::ResetConceptType(office::Areas().conceptType);
}

bool IsDomiciled(const std::string& unitKey) {
  std::int16_t status = 0;
  records::FindByKey(kMandateFile, 0, unitKey, 0, status);
  while (status == 0 && office::MandateView(office::Areas().mandate).UnitKey() == unitKey) {
    const unsigned char kind = office::MandateView(office::Areas().mandate).Kind();
    if (kind == 'P' || kind == 'D') return true;
    records::SkipRecords(kMandateFile, 1, status);
  }
  return false;
}

std::string UnitNumbers(const std::string& unitKey) {
  std::string digits = format::UnpackDigits(unitKey);
  return digits.substr(0, 4) + "." + digits.substr(4, 4);
}

// Rates of the owner's VAT class for this unit.
void ApplyTaxes(int vatClass, const office::UnitView& unit, Receipt& r) {
  const office::ReceiptSettingsState& settings = office::ReceiptSettings();
  const office::VatClass& vat = settings.vat[static_cast<size_t>(vatClass)];
  r.vatName = format::TrimRight(vat.name);
  r.vatRate = unit.IsPremises() ? vat.premisesRate : vat.dwellingsRate;
  r.withholdingRate =
      unit.HasWithholding() ? settings.withholdingRate[static_cast<size_t>(vatClass)] : 0;
  r.vatAmount = PercentOf(r.vatRate, r.vatBase);
  r.withholdingAmount = PercentOf(r.withholdingRate, r.withholdingBase);
}

struct OwnerWalk {
  const office::Selection& selection;
  int month;
  long long counter;
  IssueSummary& summary;
};

void HandleUnit(OwnerWalk& walk, int vatClass) {
  office::RecordAreas& areas = office::Areas();
  office::UnitView unit(areas.unit);
  const office::Selection& s = walk.selection;
  if (!IsDue(unit.Periodicity(), unit.Timing(), walk.month)) return;
  if (!InUnitRange(unit.Key(), s) || !PassesCollection(areas.unit, s)) return;

  Receipt r;
  ComputeConcepts(areas.unit, s, LookUpConceptType, r);
  if (r.base == 0) return;
  if (vatClass != 0 && vatClass != 1) {
    walk.summary.leftOut.push_back(UnitNumbers(unit.Key()));
    return;
  }
  ApplyTaxes(vatClass, unit, r);
  r.number = format::ZeroPad(static_cast<double>(++walk.counter), 8);
  r.reference = ReceiptReference(unit.Key(), s.period);
  ComputeAddress(areas.property, areas.unit, r);
  r.domiciled = unit.CollectionForm() == 'B' && IsDomiciled(unit.Key());
  PrintReceipt({r, s.issueDate});
  ++walk.summary.receipts;
  walk.summary.total += r.Total();
}

void HandleOwner(OwnerWalk& walk) {
  const office::Selection& s = walk.selection;
  const std::string lowProperty = s.unitLow.substr(0, 2);
  const std::string highProperty = s.unitHigh.substr(0, 2);
  for (int k = 1; k <= office::OwnerView::kPropertyEntries; ++k) {
    const office::PropertyEntry entry = office::OwnerView(office::Areas().owner).Entry(k);
    if (entry.propertyNumber < lowProperty || entry.propertyNumber > highProperty) continue;
    std::int16_t status = 0;
    records::FindByKey(kPropertyFile, 0, entry.propertyNumber, 0, status);
    if (status != 0) continue;
    records::FindByKey(kUnitFile, 0, entry.propertyNumber, 1, status);
    while (status == 0 &&
           office::UnitView(office::Areas().unit).Key().substr(0, 2) == entry.propertyNumber) {
      HandleUnit(walk, entry.vatClass);
      records::SkipRecords(kUnitFile, 1, status);
    }
  }
}

// A message of the run in the session language: Catalan, Spanish,
// Galician, Aranese.
std::string InLanguage(const char* cat, const char* spa, const char* glg, const char* oci) {
  const std::string& language = config::Settings().SessionLanguage;
  if (language == "SPA") return spa;
  if (language == "GLG") return glg;
  if (language == "OCI") return oci;
  return cat;
}

}  // namespace

IssueSummary IssueSelection(const office::Selection& s) {
  IssueSummary summary;
  const int month = format::MonthOf(s.issueDate);
  std::int16_t status = 0;
  records::FindByKey(kOwnerFile, 0, "", 1, status);
  while (status == 0) {
    OwnerWalk walk{s, month, LastReceiptNumber(office::Areas().owner), summary};
    HandleOwner(walk);
    records::SkipRecords(kOwnerFile, 1, status);
  }
  return summary;
}

std::string SpoolFailedMessage() {
  return InLanguage("NO ES POT ESCRIURE EL FITXER D'IMPRESSI\xE0 ",
                    "NO SE PUEDE ESCRIBIR EL FICHERO DE IMPRESI\xE0N ",
                    "NOM SE PODE ESCREBER O FICHEIRO DE IMPRESI\xE0N ",
                    "NON SE P\xD2T ESCRIUER ETH FICH\xD4R D'IMPRESSION ") +
         print::SpoolPath();
}

std::string PrinterFailedMessage() {
  return InLanguage("NO ES POT EXECUTAR EL PROGRAMA D'IMPRESSI\xE0 ",
                    "NO SE PUEDE EJECUTAR EL PROGRAMA DE IMPRESI\xE0N ",
                    "NOM SE PODE EXECUTAR O PROGRAMA DE IMPRESI\xE0N ",
                    "NON SE P\xD2T EXECUTAR ETH PROGRAMA D'IMPRESSION ") +
         config::Settings().ExeDir + "KELPRINT";
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

void ShowOperatorMessage(const std::string& text) {
  const bool shown = console::ShowMessage(22, text);
  platform::Beep();
  int key = 0;
  console::WaitKey(key);
  if (shown) console::CloseWindow();
}

void IssueReceipts() {
  console::SetColour("n");
  for (;;) {
    int key = 0;
    screens::InputScreen(1, 0, 0, key);
    if (key == 27) return;
    IssueSummary summary;
    RunIssuingCycle(office::CurrentSelection(), true, ShowOperatorMessage, &summary);
  }
}

CycleOutcome RunIssuingCycle(const office::Selection& s, bool startPrinter,
                             const OperatorMessage& tell, IssueSummary* summary) {
  *summary = IssueSummary{};
  if (!print::OpenSpool(config::Settings().OutputDevice)) {
    tell(SpoolFailedMessage());
    return CycleOutcome::kSpoolFailed;
  }
  format::SetCurrency("p");
  ForgetWords();
  {
    const config::LanguageCycle oneCheck;
    *summary = IssueSelection(s);
  }
  format::SetCurrency("");
  const bool written = print::CloseSpool();
  if (!summary->leftOut.empty()) tell(LeftOutMessage(summary->leftOut));
  if (!written) {
    tell(SpoolFailedMessage());
    return CycleOutcome::kSpoolFailed;
  }
  if (!startPrinter) return CycleOutcome::kNotPrinted;
  if (platform::RunProgram(config::Settings().ExeDir + "KELPRINT", {}) < 0) {
    tell(PrinterFailedMessage());
    return CycleOutcome::kPrinterFailed;
  }
  return CycleOutcome::kPrinted;
}

}  // namespace issuing
