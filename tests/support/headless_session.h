// A headless console and a scratch session directory for one test: the
// program state is reset (platform/program_state.h), a headless console
// with an empty script is installed and SessionDir points into the scratch
// directory; the program state is reset again when the session goes.
// Tests push input through console() and look for work files with
// Session().
#pragma once

#include <string>
#include <string_view>

#include "config/session_settings.h"
#include "platform/program_state.h"
#include "temp_dir.h"
#include "terminal/headless_backend.h"

namespace testing_support {

class HeadlessSession {
 public:
  HeadlessSession() { Restart(); }
  ~HeadlessSession() { platform::ResetProgramState(); }
  HeadlessSession(const HeadlessSession&) = delete;
  HeadlessSession& operator=(const HeadlessSession&) = delete;

  // Plays a new start of the program in the same session directory, whose
  // files stay: the program state reset, a fresh headless console.
  void Restart() {
    platform::ResetProgramState();
    console_ = &terminal::UseHeadlessConsole();
    config::Settings().SessionDir = dir_.path() + "/";
  }

  terminal::HeadlessConsole& console() { return *console_; }
  const TempDir& dir() const { return dir_; }
  // The path of a file in the session directory.
  std::string Session(std::string_view name) const { return dir_.Sub(name); }

 private:
  TempDir dir_;
  terminal::HeadlessConsole* console_ = nullptr;
};

}  // namespace testing_support
