// Real sleep and random source, and the stand-ins that tests install.
#include "platform/waits.h"

#include <chrono>
#include <random>
#include <thread>

#include "platform/program_state.h"

namespace platform {
namespace {

struct WaitState {
  std::function<void(int)> sleep;
  std::function<double()> random;
};

WaitState& Waits() {
  static WaitState state;
  return state;
}

[[maybe_unused]] const bool registered =
    RegisterStateReset(Layer::kPlatform, "platform::Waits", [] { Waits() = WaitState{}; });

}  // namespace

void SleepMilliseconds(int milliseconds) {
  if (Waits().sleep) {
    Waits().sleep(milliseconds);
    return;
  }
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

double RandomUnit() {
  if (Waits().random) return Waits().random();
  static std::mt19937 engine{std::random_device{}()};
  return std::uniform_real_distribution<double>(0.0, 1.0)(engine);
}

void SetSleepStandIn(std::function<void(int)> sleep) {
  Waits().sleep = std::move(sleep);
}

void SetRandomStandIn(std::function<double()> random) {
  Waits().random = std::move(random);
}

}  // namespace platform
