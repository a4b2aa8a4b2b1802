// The terminal backend: raw mode, signals, reading and decoding input, and
// writing what the renderer produces.
#include "terminal/tty_backend.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

#include "platform/program_end.h"
#include "platform/program_state.h"
#include "terminal/clipboard.h"
#include "terminal/key_decoder.h"
#include "terminal/scan_codes.h"
#include "terminal/tty_render.h"

namespace terminal {
namespace {

constexpr char kEnter[] = "\x1b[?1049h\x1b[?1l\x1b>\x1b[?7l\x1b[?1000h\x1b[?1006h";
constexpr char kLeave[] = "\x1b[0m\x1b[?1000l\x1b[?1006l\x1b[?7h\x1b[0 q\x1b[?25h\x1b[?1049l";
constexpr char kMouseOn[] = "\x1b[?1000h\x1b[?1006h";
constexpr char kMouseOff[] = "\x1b[?1000l\x1b[?1006l";
constexpr int kFatalSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGSEGV,
                                 SIGBUS,  SIGFPE, SIGILL, SIGABRT};
constexpr int kEndOfInputLimit = 1000;

// The process's terminal as the signal handlers see it; plain data so that
// they may touch it.
struct TerminalState {
  termios saved{};
  volatile sig_atomic_t raw = 0;      // the terminal is in our modes now
  volatile sig_atomic_t repaint = 0;  // resized or continued: repaint all
  int wakeRead = -1;                  // self-pipe: signals wake a waiting poll
  int wakeWrite = -1;
  bool handlersInstalled = false;
};

TerminalState& Terminal() {
  static TerminalState state;
  return state;
}

void WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
}

void EnterRawMode() {
  termios raw = Terminal().saved;
  raw.c_iflag &=
      ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON);
  raw.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  raw.c_cflag |= CS8;
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  ::tcsetattr(STDIN_FILENO, TCSADRAIN, &raw);
  WriteAll(STDOUT_FILENO, kEnter);
  Terminal().raw = 1;
}

void Wake() {
  Terminal().repaint = 1;
  if (Terminal().wakeWrite >= 0) {
    const char byte = 1;
    [[maybe_unused]] ssize_t n = ::write(Terminal().wakeWrite, &byte, 1);
  }
}

void OnFatalSignal(int sig) {
  RestoreTerminal();
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

// Ctrl+Z arrives as a key in raw mode, so this is a stop sent by another
// process: give the terminal back, stop, and take it again on continue.
void OnStop(int) {
  const int savedErrno = errno;
  const bool wasRaw = Terminal().raw;
  RestoreTerminal();
  std::signal(SIGTSTP, SIG_DFL);
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTSTP);
  ::sigprocmask(SIG_UNBLOCK, &stop, nullptr);
  std::raise(SIGTSTP);
  // Continued.
  std::signal(SIGTSTP, OnStop);
  if (wasRaw) {
    EnterRawMode();
    Wake();
  }
  errno = savedErrno;
}

void OnWake(int) {
  const int savedErrno = errno;
  Wake();
  errno = savedErrno;
}

void InstallHandlers() {
  TerminalState& t = Terminal();
  if (t.handlersInstalled) return;
  int fds[2];
  if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) == 0) {
    t.wakeRead = fds[0];
    t.wakeWrite = fds[1];
  }
  struct sigaction sa {};
  sigemptyset(&sa.sa_mask);
  sa.sa_handler = OnFatalSignal;
  for (int sig : kFatalSignals) ::sigaction(sig, &sa, nullptr);
  sa.sa_flags = SA_RESTART;
  sa.sa_handler = OnStop;
  ::sigaction(SIGTSTP, &sa, nullptr);
  sa.sa_handler = OnWake;
  ::sigaction(SIGWINCH, &sa, nullptr);
  ::sigaction(SIGCONT, &sa, nullptr);
  std::atexit(RestoreTerminal);
  t.handlersInstalled = true;
}

std::function<void()>& TooSmallLeave() {
  static std::function<void()> leave;
  return leave;
}

[[maybe_unused]] const bool registered = platform::RegisterStateReset(
    platform::Layer::kTerminal, "terminal::TooSmallLeave", [] { TooSmallLeave() = nullptr; });

bool LeavesTheNotice(const ConsoleEvent& event) {
  constexpr std::uint8_t kCtrlC = 3;
  return event.kind == EventKind::kKey &&
         ((event.character == 27 && event.scanCode == scan::kEscape) || event.character == kCtrlC);
}

int EscapeTimeout() {
  const char* text = std::getenv("ESCDELAY");
  const int ms = text != nullptr ? std::atoi(text) : 0;
  return ms >= 1 && ms <= 1000 ? ms : 25;
}

class TerminalConsole : public ConsoleBackend {
 public:
  // ownsTerminal: the descriptors are the process's terminal, whose modes
  // and size this backend manages.
  TerminalConsole(int inputFd, int outputFd, int escapeTimeoutMs, bool ownsTerminal)
      : in_(inputFd), out_(outputFd), escapeTimeout_(escapeTimeoutMs), owns_(ownsTerminal) {
    ReadSize();
  }

  void Present(const ConsoleScreen& screen) override;
  ConsoleEvent ReadEvent(bool wait) override;
  void Beep() override { WriteAll(out_, "\a"); }
  int MouseButtons() const override { return 2; }
  void SetMouseReporting(bool on) override { mouseWanted_ = on; }

  void Suspend() override;
  void Resume(const ConsoleScreen& screen) override;

 private:
  void ReadSize();
  bool ReadInput();  // false at end of input
  ConsoleEvent EndOfInput();
  ConsoleEvent NextEvent(bool wait);  // the next event, whatever the size

  int in_;
  int out_;
  int escapeTimeout_;
  bool owns_;
  KeyDecoder decoder_;
  TerminalRenderer renderer_;
  int endOfInputReads_ = 0;
  bool closed_ = false;
  bool mouseWanted_ = true;
  bool mouseSent_ = true;  // the enter sequence switches reporting on
};

void TerminalConsole::ReadSize() {
  winsize ws{};
  if (owns_ && ::ioctl(out_, TIOCGWINSZ, &ws) == 0 && ws.ws_row > 0 && ws.ws_col > 0) {
    renderer_.SetTerminalSize(ws.ws_row, ws.ws_col);
  }
}

void TerminalConsole::Present(const ConsoleScreen& screen) {
  if (owns_ && Terminal().repaint) {
    Terminal().repaint = 0;
    ReadSize();
    renderer_.Invalidate();
  }
  std::string out = renderer_.Render(screen);
  if (mouseWanted_ != mouseSent_) {
    out += mouseWanted_ ? kMouseOn : kMouseOff;
    mouseSent_ = mouseWanted_;
  }
  WriteAll(out_, out);
}

void TerminalConsole::Suspend() {
  if (owns_) {
    RestoreTerminal();
  } else {
    WriteAll(out_, kLeave);
  }
}

void TerminalConsole::Resume(const ConsoleScreen& screen) {
  if (owns_) {
    EnterRawMode();
  } else {
    WriteAll(out_, kEnter);
  }
  mouseSent_ = true;
  renderer_.Invalidate();
  Present(screen);
}

bool TerminalConsole::ReadInput() {
  char buf[256];
  const ssize_t n = ::read(in_, buf, sizeof buf);
  if (n > 0) {
    decoder_.Feed(std::string_view(buf, static_cast<size_t>(n)));
    return true;
  }
  return n < 0 && (errno == EINTR || errno == EAGAIN);
}

ConsoleEvent TerminalConsole::EndOfInput() {
  if (++endOfInputReads_ >= kEndOfInputLimit) {
    RestoreTerminal();
    std::fprintf(stderr, "terminal input closed\n");
    std::exit(1);
  }
  ConsoleEvent end;
  end.kind = EventKind::kEndOfInput;
  end.character = 27;
  end.scanCode = 0x01;
  return end;
}

ConsoleEvent TerminalConsole::ReadEvent(bool wait) {
  for (;;) {
    const ConsoleEvent event = NextEvent(wait);
    // While the operator cannot see the screen no key or click may act on
    // it; only the way out that the notice offers does.
    const bool input = event.kind == EventKind::kKey || event.kind == EventKind::kMouseRelease;
    if (!input || !renderer_.TooSmall()) return event;
    if (LeavesTheNotice(event)) {
      if (TooSmallLeave()) {
        TooSmallLeave()();
      } else {
        platform::EndProgram(0);
      }
    }
  }
}

ConsoleEvent TerminalConsole::NextEvent(bool wait) {
  ConsoleEvent event;
  const int wakeFd = owns_ ? Terminal().wakeRead : -1;
  for (;;) {
    if (decoder_.Next(&event)) return event;
    if (closed_) return decoder_.Next(&event, true) ? event : EndOfInput();
    pollfd fds[2] = {{in_, POLLIN, 0}, {wakeFd, POLLIN, 0}};
    const int timeout = decoder_.Pending() ? escapeTimeout_ : wait ? -1 : 0;
    const int ready = ::poll(fds, 2, timeout);
    if (ready < 0 && errno != EINTR) closed_ = true;
    if (ready <= 0) {
      if (ready == 0 && decoder_.Pending() && decoder_.Next(&event, true)) return event;
      if (ready == 0 && !wait && !decoder_.Pending()) return ConsoleEvent{};
      continue;
    }
    if (fds[1].revents & POLLIN) {
      char drain[64];
      while (::read(wakeFd, drain, sizeof drain) > 0) {
      }
      Present(CurrentScreen());
    }
    if ((fds[0].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) && !ReadInput()) {
      closed_ = true;
    }
  }
}

}  // namespace

void SetTooSmallLeave(std::function<void()> leave) {
  TooSmallLeave() = std::move(leave);
}

void RestoreTerminal() {
  TerminalState& t = Terminal();
  if (!t.raw) return;
  t.raw = 0;
  WriteAll(STDOUT_FILENO, kLeave);
  ::tcsetattr(STDIN_FILENO, TCSADRAIN, &t.saved);
}

bool UseTerminalConsole() {
  if (!::isatty(STDIN_FILENO) || !::isatty(STDOUT_FILENO)) return false;
  if (::tcgetattr(STDIN_FILENO, &Terminal().saved) != 0) return false;
  InstallHandlers();
  EnterRawMode();
  SetConsoleBackend(
      std::make_unique<TerminalConsole>(STDIN_FILENO, STDOUT_FILENO, EscapeTimeout(), true));
  EnableSystemClipboard(true);
  return true;
}

std::unique_ptr<ConsoleBackend> MakeTerminalBackend(int inputFd, int outputFd,
                                                    int escapeTimeoutMs) {
  return std::make_unique<TerminalConsole>(inputFd, outputFd, escapeTimeoutMs, false);
}

}  // namespace terminal
