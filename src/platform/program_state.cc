// The registered state resets, kept in the order they run.
#include "platform/program_state.h"

#include <algorithm>
#include <vector>

namespace platform {
namespace {

struct StateReset {
  Layer layer;
  std::string_view name;
  void (*reset)();
};

// Higher layers first, then by name.
bool RunsBefore(const StateReset& a, const StateReset& b) {
  return a.layer != b.layer ? a.layer > b.layer : a.name < b.name;
}

// Filled while the program's static objects are made, so it is built at
// its first use rather than as a static object of its own.
std::vector<StateReset>& Resets() {
  static std::vector<StateReset> resets;
  return resets;
}

}  // namespace

bool RegisterStateReset(Layer layer, std::string_view name, void (*reset)()) {
  const StateReset added{layer, name, reset};
  std::vector<StateReset>& resets = Resets();
  resets.insert(std::upper_bound(resets.begin(), resets.end(), added, RunsBefore), added);
  return true;
}

void ResetProgramState() {
  for (const StateReset& r : Resets()) r.reset();
}

}  // namespace platform
