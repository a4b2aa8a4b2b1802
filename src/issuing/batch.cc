// The options of an unattended run, typed into screen 1, and its cycle.
#include "issuing/batch.h"

#include <cstdio>
#include <cstdlib>

#include "config/ini.h"
#include "config/session_settings.h"
#include "format/amounts.h"
#include "format/dates.h"
#include "format/format_settings.h"
#include "format/picture.h"
#include "format/text.h"
#include "issuing/issuing_run.h"
#include "ledger/register_settings.h"
#include "office/screen_form.h"
#include "office/selection.h"
#include "platform/cp850.h"
#include "platform/paths.h"
#include "remittance/collection_date.h"
#include "remittance/cycle.h"

namespace issuing {
namespace {

bool AllDigits(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// Stores text in a field of screen 1, as an accepted entry is.
void Type(int field, const std::string& text) {
  office::StoreFieldValue(1, field, text);
}

// "12" or "12.3" into the property and unit fields.
std::string TypeUnit(const std::string& text, int propertyField, const char* defaultUnit) {
  const size_t dot = text.find('.');
  const std::string property = text.substr(0, dot);
  const std::string unit = dot == std::string::npos ? defaultUnit : text.substr(dot + 1);
  if (!AllDigits(property) || !AllDigits(unit) || property.size() > 3 || unit.size() > 3) {
    return "a unit is written as property or property.unit, up to 3 digits each: " + text;
  }
  Type(propertyField, property);
  Type(propertyField + 1, unit);
  return {};
}

std::string TypeConcepts(const std::string& list) {
  bool on[office::kConcepts] = {};
  size_t pos = 0;
  while (pos <= list.size()) {
    size_t comma = list.find(',', pos);
    std::string item =
        list.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
    size_t dash = item.find('-');
    std::string first = item.substr(0, dash);
    std::string last = dash == std::string::npos ? first : item.substr(dash + 1);
    if (!AllDigits(first) || !AllDigits(last) || first.size() > 2 || last.size() > 2) {
      return "concepts are numbers 1 to 14, as a list with ranges: 1-10,12";
    }
    int a = std::atoi(first.c_str()), b = std::atoi(last.c_str());
    if (a < 1 || b > office::kConcepts || a > b) return "concepts are numbers 1 to 14: " + item;
    for (int i = a; i <= b; ++i) on[i - 1] = true;
    if (comma == std::string::npos) break;
    pos = comma + 1;
  }
  for (int i = 0; i < office::kConcepts; ++i) Type(16 + i, on[i] ? "S" : "N");
  return {};
}

std::string TypeCodes(const std::string& bound) {
  const std::string letters = office::kFormLetters;
  const size_t colon = bound.find(':');
  const size_t dash = bound.find('-', colon == std::string::npos ? 0 : colon);
  const size_t form =
      colon == 1 ? letters.find(static_cast<char>(std::toupper(bound[0]))) : std::string::npos;
  if (form == std::string::npos || dash == std::string::npos) {
    return "collection codes are written FORM:FIRST-LAST, for example B:5-7: " + bound;
  }
  const std::string low = bound.substr(2, dash - 2), high = bound.substr(dash + 1);
  if (!AllDigits(low) || !AllDigits(high) || low.size() > 3 || high.size() > 3) {
    return "collection codes are numbers of up to 3 digits: " + bound;
  }
  Type(8 + 3 * static_cast<int>(form), low);
  Type(9 + 3 * static_cast<int>(form), high);
  return {};
}

std::string TypeDate(const std::string& date, bool periodGiven) {
  if (format::IsInvalidDate(date)) return "not a valid date: " + date;
  Type(1, date);
  if (!periodGiven) Type(6, format::PlainNumber(static_cast<double>(format::Formats().LastMonth)));
  return {};
}

// Where the preset issue date should have come from, for a run that was
// given no --date: what is missing, or the value that is no date.
std::string WorkingDateSource() {
  const std::string file = config::Settings().SessionDir + "ToraTerm.ini";
  const std::string shown = platform::Utf8ToCp850(platform::NativePath(file));
  const char* keltmp = std::getenv("KELTMP");
  std::string where;
  if (keltmp == nullptr || *keltmp == '\0') {
    where = "KELTMP is not set";
  } else if (!platform::FileExists(file)) {
    where = "there is no " + shown;
  } else {
    const std::string value = config::IniRead(file, "Sistema", "Data");
    where = shown + " [Sistema] Data" +
            (value.empty() ? " is not set" : "=" + value + " is not a date");
  }
  return where + "; give the issue date with --date";
}

// The exit code of a cycle that did not issue; kBatchIssued for one that
// did.
int FailedCycleCode(CycleOutcome outcome) {
  switch (outcome) {
    case CycleOutcome::kPrinted:
    case CycleOutcome::kNotPrinted:
      return kBatchIssued;
    case CycleOutcome::kSettingsRefused:
    case CycleOutcome::kRecordsFailed:
    case CycleOutcome::kAmountTooLarge:
      return kBatchInstallationFailed;
    case CycleOutcome::kSpoolFailed:
    case CycleOutcome::kPrinterFailed:
    case CycleOutcome::kRecordsLost:
    case CycleOutcome::kRegisterFailed:
      return kBatchCycleFailed;
  }
  return kBatchCycleFailed;
}

}  // namespace

std::string ApplyBatchOptions(const BatchOptions& o) {
  if (office::ScreenAt(1) == nullptr || office::ScreenAt(1)->fields.size() < 29) {
    return "the screen-form file has no selection screen of 29 fields";
  }
  std::string problem;
  if (problem.empty() && !o.date.empty()) problem = TypeDate(o.date, !o.period.empty());
  if (problem.empty() && !o.from.empty()) problem = TypeUnit(o.from, 2, "0");
  if (problem.empty() && !o.to.empty()) problem = TypeUnit(o.to, 4, "999");
  if (problem.empty() && !o.period.empty()) {
    if (!AllDigits(o.period) || o.period.size() > 2) return "the period is a number of 2 digits";
    Type(6, o.period);
  }
  if (problem.empty() && !o.forms.empty()) {
    if (format::UpperCase(o.forms).find_first_not_of("ABF") != std::string::npos) {
      return "forms are letters of ABF: " + o.forms;
    }
    for (int f = 0; f < 3; ++f) {
      bool on = format::UpperCase(o.forms).find(office::kFormLetters[f]) != std::string::npos;
      Type(7 + 3 * f, on ? "S" : "N");
    }
  }
  for (const std::string& bound : o.codes) {
    if (problem.empty()) problem = TypeCodes(bound);
  }
  if (problem.empty() && !o.concepts.empty()) problem = TypeConcepts(o.concepts);
  if (problem.empty()) problem = remittance::SetOverrides(o.remittance, o.collectionDate);
  return problem;
}

int RunBatchCycle(const BatchOptions& options, const config::TellOperator& tell) {
  std::string problem = ApplyBatchOptions(options);
  if (problem.empty()) {
    office::CurrentSelection() = office::SelectionFromScreen();
    problem = office::SelectionProblem(office::CurrentSelection());
    const std::string& date = office::CurrentSelection().issueDate;
    if (options.date.empty() && !office::IssueDateProblem(date).empty()) {
      problem += ": " + WorkingDateSource();
    }
    const std::string& collection = remittance::Overrides().collectionDate;
    if (problem.empty() && !collection.empty()) {
      problem = remittance::CollectionDateProblem(collection, date);
    }
  }
  if (!problem.empty()) {
    tell(problem);
    return kBatchBadOptions;
  }
  IssueSummary summary;
  CycleOutcome outcome = RunIssuingCycle(office::CurrentSelection(), options.print, tell, &summary);
  // A failed cycle has told its error; a summary after it would pass its
  // count for receipts issued.
  const int failed = FailedCycleCode(outcome);
  if (failed != kBatchIssued) return failed;
  std::printf("%d receipts issued, total %s EUR\n", summary.receipts,
              platform::Cp850ToUtf8(TotalText(summary.total)).c_str());
  if (ledger::RegisterSettings().enabled) {
    std::printf("register: %d new, %d copies, %zu refused\n", summary.receipts - summary.copies,
                summary.copies, summary.refused.size());
  }
  if (outcome == CycleOutcome::kPrinted) std::fputs(summary.printerOutput.c_str(), stdout);
  // Wanted but not written: a file under its name is an earlier one, which
  // a script must not send to the bank as this cycle's.
  using remittance::RemittanceOutcome;
  const RemittanceOutcome r = summary.remittance.outcome;
  if (r != RemittanceOutcome::kNotWanted && r != RemittanceOutcome::kWritten) {
    return kBatchRemittanceFailed;
  }
  return summary.refused.empty() ? kBatchIssued : kBatchReceiptsRefused;
}

}  // namespace issuing
