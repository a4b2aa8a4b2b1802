// Values as the agency's records write them: decimals, dates, the
// generation time and texts in UTF-8.  The fingerprint, the QR and the XML
// all take their values from here, so that the three always agree.
#pragma once

#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace verifactu {

// Hundredths as a decimal with two places and a point, a minus sign when
// negative, no thousands separators: 12345 "123.45", -5 "-0.05", 0 "0.00".
// Amounts in cents and rates in hundredths of a percent alike.
std::string DecimalText(long long hundredths);

// "dd-mm-yyyy".
std::string DateText(const platform::DateTime& date);

// The moment `when` in ISO 8601 with the offset from UTC:
// "2024-01-01T19:20:30+01:00".  The offset is that of the local time zone
// (TZ), which is what the record asks for: the zone the billing system
// uses when it generates the record.  An office on the mainland or the
// Balearic Islands runs on Europe/Madrid, one in the Canary Islands on
// Atlantic/Canary, and either way its receipts and records agree with its
// own clock.  Empty when the time cannot be converted.
std::string GenerationTime(std::time_t when);

// A code page 850 text as the records carry it: spaces at either end
// removed, cut to maxLength characters, in UTF-8.
std::string RecordText(std::string_view text, std::size_t maxLength = std::string_view::npos);

}  // namespace verifactu
