// Local date and time from the C library, or the fixed value tests set.
#include "platform/clock.h"

#include <ctime>

#include "platform/program_state.h"

namespace platform {
namespace {

struct ClockState {
  bool fixed = false;
  DateTime value;
};

ClockState& Clock() {
  static ClockState state;
  return state;
}

[[maybe_unused]] const bool registered =
    RegisterStateReset(Layer::kPlatform, "platform::Clock", [] { Clock() = ClockState{}; });

}  // namespace

DateTime Today() {
  if (Clock().fixed) return Clock().value;
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return DateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                  local.tm_hour,        local.tm_min,     local.tm_sec};
}

void FixToday(const DateTime& when) {
  Clock() = ClockState{true, when};
}

std::time_t TodayMoment() {
  const DateTime now = Today();
  std::tm local{};
  local.tm_year = now.year - 1900;
  local.tm_mon = now.month - 1;
  local.tm_mday = now.day;
  local.tm_hour = now.hour;
  local.tm_min = now.minute;
  local.tm_sec = now.second;
  local.tm_isdst = -1;
  return std::mktime(&local);
}

}  // namespace platform
