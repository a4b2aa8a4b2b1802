// The timer behind the issuing benchmark's breakdown.
//
// Between Start and Stop a platform::StepTimer is installed
// (platform/timing.h): every timed step of the product is timed with the
// processor's time-stamp counter and charged to its part; a step that runs
// inside another is charged to the outer one.  Outside Start and Stop no
// timer is installed and the steps run untimed.
#pragma once

#include <cstdint>

#include "platform/timing.h"

namespace bench_timers {

// The parts are the product's timed steps, in their order.
inline constexpr int kPartCount = platform::kTimedStepCount;
inline constexpr const char* kPartNames[kPartCount] = {"reads", "translations", "formatting",
                                                       "spool"};

struct Parts {
  double seconds[kPartCount] = {};
  std::uint64_t calls[kPartCount] = {};
};

void Start();
// Stops timing; wallSeconds (the wall time since Start) converts the
// time-stamp counts into seconds.
Parts Stop(double wallSeconds);

}  // namespace bench_timers
