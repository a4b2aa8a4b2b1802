// Waits and random numbers, with stand-ins for tests.
//
// The program waits between tries on a locked record file and spreads the
// retries of several users with a random wait.  Both come from here so that
// tests can replace them: a replaced sleep returns at once (and may act, for
// example release a lock held by another process), a replaced random source
// gives a fixed value.
#pragma once

#include <functional>

namespace platform {

// Blocks the thread for the given milliseconds (negative counts as 0), or
// calls the stand-in when one is set.
void SleepMilliseconds(int milliseconds);

// A number uniform in [0, 1), or the stand-in's value when one is set.
double RandomUnit();

// Replaces the sleep or the random source; an empty function goes back to
// the real one, and so does the reset of the program state.
void SetSleepStandIn(std::function<void(int)> sleep);
void SetRandomStandIn(std::function<double()> random);

}  // namespace platform
