// The collection date of a cycle's remittance: the day the bank is asked to
// debit the tenants.  A bank takes a collection only on a working day
// (Monday to Friday) and only with some days of notice, so the date is
// reckoned from the working date (ToraTerm.ini's when it is a calendar
// date, else today); a date given for the run that lies in the past, or
// before the receipts it collects, is refused before anything is issued.
// Dates are packed (format/dates.h).
#pragma once

#include <optional>
#include <string>

namespace remittance {

// [Remesa] DiesPrevis as a number of days, 1 to 365; nothing when the
// setting is anything else.
std::optional<int> NoticeDays();

// The date a cycle takes when the run gives none: the first working day at
// least noticeDays days after the working date and not before the issue
// date.
std::string DefaultCollectionDate(const std::string& issueDate, int noticeDays);

// Empty when a collection date given for the run can be used for receipts
// issued on issueDate; else why not, for the command line: it lies before
// the first working day after the working date, or before the issue date.
std::string CollectionDateProblem(const std::string& collection, const std::string& issueDate);

}  // namespace remittance
