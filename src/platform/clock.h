// Local date and time of the computer, with a fixed stand-in for tests.
//
// Everything that needs "today" (the two-digit year window of typed dates,
// for one) asks Today().  Tests fix the answer with FixToday so that they
// pass in any year; the reset of the program state (program_state.h) goes
// back to the computer's clock.
#pragma once

#include <ctime>

namespace platform {

struct DateTime {
  int year = 0;
  int month = 0;  // 1 to 12
  int day = 0;    // 1 to 31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// The fixed date and time when one is set, else the local time now.
DateTime Today();

// Today() as a moment (seconds since 1970), read as local time.
std::time_t TodayMoment();

// Makes Today() return when until the program state is reset.
void FixToday(const DateTime& when);

}  // namespace platform
