// A headless console and a scratch session directory for one test: the
// console is reset with an empty script, the settings are reset and
// SessionDir points into the scratch directory.  Tests push input through
// console() and look for work files with Session().
#pragma once

#include <string>
#include <string_view>

#include "platform/headless_console.h"
#include "startup/settings.h"
#include "temp_dir.h"

namespace testing_support {

class HeadlessSession {
 public:
  HeadlessSession() : console_(&platform::UseHeadlessConsole()) {
    startup::ResetSettings();
    startup::Settings().SessionDir = dir_.path() + "/";
  }
  ~HeadlessSession() { startup::ResetSettings(); }

  platform::HeadlessConsole& console() { return *console_; }
  const TempDir& dir() const { return dir_; }
  // The path of a file in the session directory.
  std::string Session(std::string_view name) const { return dir_.Sub(name); }

 private:
  TempDir dir_;
  platform::HeadlessConsole* console_;
};

}  // namespace testing_support
