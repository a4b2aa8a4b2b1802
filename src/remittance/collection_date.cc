// Calendar reckoning of the collection date, through std::chrono's civil
// calendar (the dates concerned are all long after 1582).
#include "remittance/collection_date.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "config/session_settings.h"
#include "format/packed.h"
#include "office/remittance_settings.h"
#include "platform/clock.h"

namespace remittance {
namespace {

using std::chrono::sys_days;
using std::chrono::year_month_day;

year_month_day Parts(const std::string& packed) {
  const std::string digits = format::UnpackDigits(packed);
  if (digits.size() != 8) return {};
  return year_month_day{
      std::chrono::year{std::atoi(digits.substr(0, 4).c_str())},
      std::chrono::month{static_cast<unsigned>(std::atoi(digits.substr(4, 2).c_str()))},
      std::chrono::day{static_cast<unsigned>(std::atoi(digits.substr(6, 2).c_str()))}};
}

// "2026-12-03", as the file and the command line write dates.
std::string IsoDate(sys_days date) {
  const year_month_day d{date};
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(d.year()),
                static_cast<unsigned>(d.month()), static_cast<unsigned>(d.day()));
  return text;
}

// The day itself when it is a working day, else the Monday after it.
sys_days WorkingDayFrom(sys_days date) {
  while (std::chrono::weekday{date}.iso_encoding() > 5) date += std::chrono::days{1};
  return date;
}

std::string WorkingDate() {
  const std::string& working = config::Settings().WorkingDate;
  if (working.size() == 4 && Parts(working).ok()) return working;
  const platform::DateTime today = platform::Today();
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04d%02d%02d", today.year, today.month, today.day);
  return format::PackDigits(digits);
}

}  // namespace

std::optional<int> NoticeDays() {
  const std::string& text = office::RemittanceSettings().noticeDays;
  if (text.empty() || text.size() > 3 ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  const int days = std::atoi(text.c_str());
  if (days < 1 || days > 365) return std::nullopt;
  return days;
}

std::string DefaultCollectionDate(const std::string& issueDate, int noticeDays) {
  sys_days earliest = sys_days{Parts(WorkingDate())} + std::chrono::days{noticeDays};
  const year_month_day issue = Parts(issueDate);
  if (issue.ok() && sys_days{issue} > earliest) earliest = sys_days{issue};
  std::string digits = IsoDate(WorkingDayFrom(earliest));
  std::erase(digits, '-');
  return format::PackDigits(digits);
}

std::string CollectionDateProblem(const std::string& collection, const std::string& issueDate) {
  const sys_days date{Parts(collection)};
  const sys_days nextWorkingDay =
      WorkingDayFrom(sys_days{Parts(WorkingDate())} + std::chrono::days{1});
  if (date < nextWorkingDay) {
    return "the collection date " + IsoDate(date) + " is before the next working day, " +
           IsoDate(nextWorkingDay);
  }
  const year_month_day issue = Parts(issueDate);
  if (issue.ok() && date < sys_days{issue}) {
    return "the collection date " + IsoDate(date) + " is before the issue date, " +
           IsoDate(sys_days{issue});
  }
  return {};
}

}  // namespace remittance
