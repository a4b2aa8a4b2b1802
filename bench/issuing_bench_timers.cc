// The step timer: charges the time of each outermost timed step to its part.
#include "issuing_bench_timers.h"

#include <x86intrin.h>

namespace bench_timers {
namespace {

class PartTimer final : public platform::StepTimer {
 public:
  void StepStarted(platform::TimedStep) override {
    if (depth_++ == 0) stepStart_ = __rdtsc();
  }
  void StepEnded(platform::TimedStep step) override {
    if (--depth_ != 0) return;
    ticks[static_cast<int>(step)] += __rdtsc() - stepStart_;
    ++calls[static_cast<int>(step)];
  }

  std::uint64_t startTicks = 0;  // at Start
  std::uint64_t ticks[kPartCount] = {};
  std::uint64_t calls[kPartCount] = {};

 private:
  int depth_ = 0;
  std::uint64_t stepStart_ = 0;
};

PartTimer& Timer() {
  static PartTimer timer;
  return timer;
}

}  // namespace

void Start() {
  Timer() = PartTimer{};
  platform::SetStepTimer(&Timer());
  Timer().startTicks = __rdtsc();
}

Parts Stop(double wallSeconds) {
  const std::uint64_t total = __rdtsc() - Timer().startTicks;
  platform::SetStepTimer(nullptr);
  Parts parts;
  for (int p = 0; p < kPartCount; ++p) {
    parts.seconds[p] = total == 0 ? 0
                                  : wallSeconds * static_cast<double>(Timer().ticks[p]) /
                                        static_cast<double>(total);
    parts.calls[p] = Timer().calls[p];
  }
  return parts;
}

}  // namespace bench_timers
