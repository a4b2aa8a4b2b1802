// A clean session for start-up tests: the variables the office's menu sets
// are cleared (and restored afterwards), the program state is reset
// (platform/program_state.h) before and after, and a temporary directory
// serves as installation root and session directory.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include "../support/temp_dir.h"
#include "platform/program_state.h"

namespace config {

class SessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : kVariables) {
      const char* value = std::getenv(name);
      saved_[name] = value ? std::optional<std::string>(value) : std::nullopt;
      ::unsetenv(name);
    }
    platform::ResetProgramState();
  }
  void TearDown() override {
    for (const auto& [name, value] : saved_) {
      value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
    }
    platform::ResetProgramState();
  }
  static void Set(const char* name, const std::string& value) { ::setenv(name, value.c_str(), 1); }
  // The temporary directory as a system path prefix ("...\").
  std::string Prefix(const std::string& sub = "") const {
    return dir_.path() + (sub.empty() ? "" : "/" + sub) + "\\";
  }

  testing_support::TempDir dir_;

 private:
  static constexpr const char* kVariables[] = {"KELROOT", "KELEXE",          "KELTMP",
                                               "TERM",    "HTTP_USER_AGENT", "HTTP_ACCEPT",
                                               "WINDIR",  "SYSTEMROOT"};
  std::map<std::string, std::optional<std::string>> saved_;
};

}  // namespace config
