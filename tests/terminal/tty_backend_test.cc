// The terminal backend driven through pipes: input decoding with the escape
// timeout, end of input, mouse switching, and the hand-over to a child.
#include "terminal/tty_backend.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "platform/process.h"
#include "terminal/cell_buffer.h"
#include "terminal/hand_over.h"

namespace terminal {
namespace {

class TerminalConsoleTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::pipe2(input_, O_CLOEXEC), 0);
    ASSERT_EQ(::pipe2(output_, O_CLOEXEC | O_NONBLOCK), 0);
    ResetConsole();
    SetConsoleBackend(MakeTerminalBackend(input_[0], output_[1], 0));
  }
  void TearDown() override {
    ResetConsole();
    for (int fd : {input_[0], input_[1], output_[0], output_[1]}) {
      if (fd >= 0) ::close(fd);
    }
  }
  void Type(std::string_view bytes) {
    ASSERT_EQ(::write(input_[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  void CloseInput() {
    ::close(input_[1]);
    input_[1] = -1;
  }
  // Everything the backend has written since the last call.
  std::string Sent() {
    std::string all;
    char buf[4096];
    for (ssize_t n; (n = ::read(output_[0], buf, sizeof buf)) > 0;) all.append(buf, n);
    return all;
  }

  int input_[2] = {-1, -1};
  int output_[2] = {-1, -1};
};

TEST_F(TerminalConsoleTest, KeysArriveDecodedAndALoneEscapeIsEscape) {
  Type("\x1b[1;5Dx\x1b");
  ConsoleEvent e = NextConsoleEvent();
  EXPECT_EQ(e.scanCode, 0x4B);
  EXPECT_EQ(e.controlKeys, kLeftCtrl);
  EXPECT_EQ(NextConsoleEvent().character, 'x');
  e = NextConsoleEvent();
  EXPECT_EQ(e.kind, EventKind::kKey);
  EXPECT_EQ(e.character, 27);
  EXPECT_EQ(PollConsoleEvent().kind, EventKind::kNone);
}

TEST_F(TerminalConsoleTest, FirstReadShowsTheScreenAndLaterOnlyChanges) {
  WriteText("Hola");
  EXPECT_EQ(PollConsoleEvent().kind, EventKind::kNone);
  const std::string first = Sent();
  EXPECT_NE(first.find("\x1b[2J"), std::string::npos);
  EXPECT_NE(first.find("Hola"), std::string::npos);
  SetCursorPosition(1, 2);
  WriteText("\xA2");  // o-acute
  PollConsoleEvent();
  EXPECT_EQ(Sent(), "\x1b[1;2H\xc3\xb3");
}

TEST_F(TerminalConsoleTest, ClosedInputGivesEndOfInputWithoutBlocking) {
  Type("a\xc3");  // a cut-short character is dropped at the end
  CloseInput();
  EXPECT_EQ(NextConsoleEvent().character, 'a');
  ConsoleEvent e = NextConsoleEvent();
  EXPECT_EQ(e.kind, EventKind::kEndOfInput);
  EXPECT_EQ(e.character, 27);
  EXPECT_EQ(NextConsoleEvent().kind, EventKind::kEndOfInput);
}

TEST_F(TerminalConsoleTest, MouseOffDropsClicksAndStopsReporting) {
  PollConsoleEvent();
  Sent();
  SetMouseInput(false);
  Type("\x1b[<0;5;3mq");
  EXPECT_EQ(NextConsoleEvent().character, 'q');
  EXPECT_EQ(Sent(), "\x1b[?1000l\x1b[?1006l");
  SetMouseInput(true);
  Type("\x1b[<0;5;3m");
  const ConsoleEvent e = NextConsoleEvent();
  EXPECT_EQ(e.kind, EventKind::kMouseRelease);
  EXPECT_EQ(e.row, 3);
  EXPECT_EQ(e.column, 5);
  EXPECT_EQ(Sent(), "\x1b[?1000h\x1b[?1006h");
}

TEST_F(TerminalConsoleTest, ChildRunLeavesTheAlternateScreenAndRepaintsAfter) {
  WriteText("Rebuts");
  PollConsoleEvent();
  Sent();
  EXPECT_EQ(RunOnTerminal("true", {}), 0);
  const std::string sent = Sent();
  const size_t leave = sent.find("\x1b[?1049l");
  const size_t enter = sent.find("\x1b[?1049h");
  ASSERT_NE(leave, std::string::npos);
  ASSERT_NE(enter, std::string::npos);
  EXPECT_LT(leave, enter);
  EXPECT_NE(sent.find("Rebuts", enter), std::string::npos);
}

}  // namespace
}  // namespace terminal
