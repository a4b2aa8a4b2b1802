// Named timing hooks: the steps of the issuing run whose share of the time
// a benchmark reports.
//
// Each timed step opens a TimedStepScope as its first statement.  With no
// timer installed (the programs never install one) the scope costs one load
// and one well-predicted branch at each end; a benchmark installs a
// StepTimer and is told when each step starts and ends.
#pragma once

namespace platform {

// The timed steps; kTimedStepCount of them, numbered from 0.
enum class TimedStep {
  kRecordRead,   // records::FindByKey, records::SkipRecords
  kTranslation,  // config::TranslateText
  kFormatting,   // format::FormatAmount, FormatPicture, FormatDate
  kSpoolWrite,   // print::SpoolText, SpoolJustify, SpoolPage, SpoolControl
};
inline constexpr int kTimedStepCount = 4;

// Told of every timed step.  Steps nest (a step may call another), so a
// timer sees a step start inside another before the outer one ends.
class StepTimer {
 public:
  virtual void StepStarted(TimedStep step) = 0;
  virtual void StepEnded(TimedStep step) = 0;

 protected:
  ~StepTimer() = default;
};

// The installed timer, nullptr when there is none.  Defined here so that
// every step reads it inline.
inline StepTimer*& InstalledStepTimer() {
  static constinit StepTimer* timer = nullptr;
  return timer;
}

// Installs a timer (nullptr removes it); the caller keeps it alive while it
// is installed.  Only benchmarks install one.
inline void SetStepTimer(StepTimer* timer) {
  InstalledStepTimer() = timer;
}

// Tells the timer installed when the scope opens that the step starts, and
// the same timer that it ends when the scope closes.
class TimedStepScope {
 public:
  explicit TimedStepScope(TimedStep step) : timer_(InstalledStepTimer()), step_(step) {
    if (timer_ != nullptr) [[unlikely]]
      timer_->StepStarted(step_);
  }
  ~TimedStepScope() {
    if (timer_ != nullptr) [[unlikely]]
      timer_->StepEnded(step_);
  }
  TimedStepScope(const TimedStepScope&) = delete;
  TimedStepScope& operator=(const TimedStepScope&) = delete;

 private:
  StepTimer* timer_;
  TimedStep step_;
};

}  // namespace platform
