// The reset of the program state: the order of the resets, and the
// platform's waits among them.
#include "platform/program_state.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/waits.h"

namespace platform {
namespace {

// Registered as a layer's .cc file registers its states, in an order unlike
// the one they run in.
std::string ran;
[[maybe_unused]] const bool registered =
    RegisterStateReset(Layer::kBtrieve, "test::B", [] { ran += "btrieve B, "; }) &&
    RegisterStateReset(Layer::kRecords, "test::Z", [] { ran += "records Z, "; }) &&
    RegisterStateReset(Layer::kBtrieve, "test::A", [] { ran += "btrieve A, "; }) &&
    RegisterStateReset(Layer::kRecords, "test::A", [] { ran += "records A, "; });

TEST(ProgramState, HigherLayersResetFirstAndOneLayerInTheOrderOfTheNames) {
  ran.clear();
  ResetProgramState();
  EXPECT_EQ(ran, "records A, records Z, btrieve A, btrieve B, ");
}

TEST(ProgramState, TheSleepAndTheRandomSourceGoBackToTheRealOnes) {
  int standInSleeps = 0;
  SetSleepStandIn([&standInSleeps](int) { ++standInSleeps; });
  SetRandomStandIn([] { return 2.0; });
  ResetProgramState();
  SleepMilliseconds(0);
  EXPECT_EQ(standInSleeps, 0);
  EXPECT_LT(RandomUnit(), 1.0);
}

}  // namespace
}  // namespace platform
