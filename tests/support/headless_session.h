// A headless console and a scratch session directory for one test: the
// console is reset with an empty script, the settings are reset and
// SessionDir points into the scratch directory.  Tests push input through
// console() and look for work files with Session().
#pragma once

#include <string>
#include <string_view>

#include "config/settings.h"
#include "temp_dir.h"
#include "terminal/headless_backend.h"

namespace testing_support {

class HeadlessSession {
 public:
  HeadlessSession() : console_(&terminal::UseHeadlessConsole()) {
    config::ResetSettings();
    config::Settings().SessionDir = dir_.path() + "/";
  }
  ~HeadlessSession() { config::ResetSettings(); }

  terminal::HeadlessConsole& console() { return *console_; }
  const TempDir& dir() const { return dir_; }
  // The path of a file in the session directory.
  std::string Session(std::string_view name) const { return dir_.Sub(name); }

 private:
  TempDir dir_;
  terminal::HeadlessConsole* console_;
};

}  // namespace testing_support
