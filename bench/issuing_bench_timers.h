// Timers around the product's calls, for the issuing benchmark's breakdown.
//
// The benchmark is linked with `-Wl,--wrap` for the functions named in
// issuing_bench_timers.cc, so every call that crosses into them from another
// object file passes through a timer here; the product's code is unchanged.
// Between Start and Stop each call is timed with the processor's time-stamp
// counter and charged to its part; a call made inside another timed call is
// charged to the outer one.  Outside Start and Stop the wrappers only pass
// the call on.
#pragma once

#include <cstdint>

namespace bench_timers {

enum Part { kReads, kTranslations, kFormatting, kSpoolWrites, kPartCount };
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
