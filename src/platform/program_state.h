// Program-wide state, and the one call that puts all of it back as a new
// process finds it.
//
// Each layer keeps its state in structs reached through one accessor each
// (config::Settings(), console::Console(), ...).  The .cc file that owns a
// state registers how to put it back, at namespace scope:
//
//   [[maybe_unused]] const bool registered = platform::RegisterStateReset(
//       platform::Layer::kConfig, "config::Settings", [] { Settings() = {}; });
//
// so that a state is registered exactly when its code is linked in.
//
// ResetProgramState runs every registered reset, the higher layers first: a
// reset may rely on the layers below its own still holding their state (the
// record file table closes its files through the record manager before the
// record manager's table is dropped), and it must not use a layer above its
// own, which has been reset already.  Within one layer the resets run in the
// order of their names and must not depend on one another.  The order is the
// same in every program and every run.
//
// The programs never call it; tests call it to start each case from a fresh
// process's state, or to play a new start of the program.
#pragma once

#include <string_view>

namespace platform {

// The layers, bottom to top, in the order of the top-level CMakeLists.txt
// (scripts/check-layers holds the two to the same order).
enum class Layer {
  kPlatform,
  kStorage,
  kBtrieve,
  kTerminal,
  kFormat,
  kConfig,
  kConsole,
  kRecords,
  kPrint,
  kOffice,
  kRemittance,
  kVerifactu,
  kSubmission,
  kLedger,
  kScreens,
  kIssuing,
  kApp,
};

// Adds the reset of one state of `layer`.  `name` (a literal, unique within
// the layer) orders the resets of one layer.  Returns true, so that the
// call can initialise a namespace-scope constant.
bool RegisterStateReset(Layer layer, std::string_view name, void (*reset)());

// Runs every registered reset, in the order above.
void ResetProgramState();

}  // namespace platform
