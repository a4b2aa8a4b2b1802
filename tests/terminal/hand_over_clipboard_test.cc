// Running programs, handing the console over, and the clipboard routes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <memory>

#include "../support/temp_dir.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/program_state.h"
#include "terminal/cell_buffer.h"
#include "terminal/clipboard.h"
#include "terminal/hand_over.h"
#include "terminal/system_clipboard.h"

namespace terminal {
namespace {

using namespace platform;

using testing_support::TempDir;

// Records the hand-over of the terminal.
class RecordingBackend : public ConsoleBackend {
 public:
  explicit RecordingBackend(std::string* log) : log_(log) {}
  void Present(const ConsoleScreen&) override { *log_ += "P"; }
  ConsoleEvent ReadEvent(bool) override { return {}; }
  void Beep() override {}
  int MouseButtons() const override { return 0; }
  void Suspend() override { *log_ += "S"; }
  void Resume(const ConsoleScreen&) override { *log_ += "R"; }

 private:
  std::string* log_;
};

// Sets an environment variable for one test.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = std::make_unique<std::string>(old);
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::unique_ptr<std::string> old_;
};

TEST(RunOnTerminal, ReturnsTheExitStatusAndHandsTheTerminalOverAroundTheRun) {
  ResetConsole();
  std::string log;
  SetConsoleBackend(std::make_unique<RecordingBackend>(&log));
  TempDir dir;
  dir.Write("marker", "");
  EXPECT_EQ(RunOnTerminal("rm", {dir.Sub("marker")}), 0);
  EXPECT_FALSE(FileExists(dir.Sub("marker")));
  EXPECT_EQ(RunOnTerminal("sh", {"-c", "exit 7"}), 7);
  EXPECT_EQ(RunOnTerminal("sh", {"-c", "kill -TERM $$"}), 128 + 15);
  EXPECT_EQ(log, "SRSRSR");
  EXPECT_EQ(RunOnTerminal(dir.Sub("no-such-program"), {}), -1);
  ResetConsole();
}

TEST(RunCollectingOutput, CollectsBothOutputsLeavesTheConsoleAloneAndNeverSearchesPath) {
  ResetConsole();
  std::string log;
  SetConsoleBackend(std::make_unique<RecordingBackend>(&log));
  std::string out;
  EXPECT_EQ(RunCollectingOutput("/bin/sh", {"-c", "echo one; echo two >&2; exit 5"}, &out), 5);
  EXPECT_EQ(out, "one\ntwo\n");
  EXPECT_EQ(log, "");
  TempDir dir;
  dir.Write("bin/prog", "#!/bin/sh\necho found\n");
  ASSERT_EQ(::chmod(dir.Sub("bin/prog").c_str(), 0755), 0);
  ScopedEnv path("PATH", dir.Sub("bin"));
  out.clear();
  EXPECT_EQ(RunCollectingOutput("prog", {}, &out), -1);
  EXPECT_EQ(out, "");
  EXPECT_EQ(RunCollectingOutput(dir.Sub("bin/prog"), {}, &out), 0);
  EXPECT_EQ(out, "found\n");
  ResetConsole();
}

TEST(CaptureProgram, FeedsInputAndCollectsOutput) {
  std::string out;
  EXPECT_EQ(CaptureProgram({"cat"}, "abc\xc3\x87", &out, 5000), 0);
  EXPECT_EQ(out, "abc\xc3\x87");
  EXPECT_EQ(CaptureProgram({"no-such-helper-anywhere"}, "", &out, 5000), -1);
  EXPECT_EQ(CaptureProgram({}, "", &out, 5000), -1);
}

TEST(Clipboard, InternalBufferServesWhenTheSystemClipboardIsOff) {
  ResetProgramState();
  EXPECT_EQ(PasteFromClipboard(), "");
  CopyToClipboard("MAR\x80");
  EXPECT_EQ(PasteFromClipboard(), "MAR\x80");
}

TEST(Clipboard, PasteTakesTheDesktopClipboardAsCodePage850) {
  TempDir dir;
  dir.Write("bin/xclip", "#!/bin/sh\nprintf 'MAR\\303\\207 \\342\\202\\254!'\n");
  ::chmod(dir.Sub("bin/xclip").c_str(), 0755);
  ScopedEnv path("PATH", dir.Sub("bin") + ":/usr/bin:/bin");
  ScopedEnv wayland("WAYLAND_DISPLAY", "");
  ScopedEnv display("DISPLAY", ":99");
  std::string text;
  ASSERT_TRUE(PasteFromSystemClipboard(&text));
  EXPECT_EQ(text, "MAR\x80 !");  // the euro sign is not in the code page
  ResetProgramState();
  EnableSystemClipboard(true);
  EXPECT_EQ(PasteFromClipboard(), "MAR\x80 !");
  ResetProgramState();
}

TEST(Clipboard, PasteFallsBackToTheBufferWithoutADisplayOrWhenTheHelperFails) {
  TempDir dir;
  dir.Write("bin/xclip", "#!/bin/sh\nexit 1\n");
  ::chmod(dir.Sub("bin/xclip").c_str(), 0755);
  ScopedEnv path("PATH", dir.Sub("bin") + ":/usr/bin:/bin");
  ScopedEnv wayland("WAYLAND_DISPLAY", "");
  ScopedEnv display("DISPLAY", ":99");
  std::string text;
  EXPECT_FALSE(PasteFromSystemClipboard(&text));
  ScopedEnv noDisplay("DISPLAY", "");
  EXPECT_FALSE(PasteFromSystemClipboard(&text));
}

TEST(Clipboard, Osc52CarriesBase64OfTheText) {
  EXPECT_EQ(Osc52Sequence("Ma"), "\x1b]52;c;TWE=\a");
  EXPECT_EQ(Osc52Sequence("\xc3\x87"
                          "a"),
            "\x1b]52;c;w4dh\a");
  EXPECT_EQ(Osc52Sequence("abc"), "\x1b]52;c;YWJj\a");
}

}  // namespace
}  // namespace terminal
