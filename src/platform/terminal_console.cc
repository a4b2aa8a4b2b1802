// The terminal backend: raw mode, signals, reading and decoding input, and
// writing what the renderer produces.
#include "platform/terminal_console.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/clipboard.h"
#include "platform/console.h"
#include "platform/key_decoder.h"
#include "platform/terminal_render.h"

namespace platform {
namespace {

constexpr char kEnter[] = "\x1b[?1049h\x1b[?1l\x1b>\x1b[?7l\x1b[?1000h\x1b[?1006h";
constexpr char kLeave[] = "\x1b[0m\x1b[?1000l\x1b[?1006l\x1b[?7h\x1b[0 q\x1b[?25h\x1b[?1049l";
constexpr int kFatalSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGSEGV,
                                 SIGBUS,  SIGFPE, SIGILL, SIGABRT};
constexpr int kEndOfInputLimit = 1000;

// What the signal handlers need; plain data so that they may touch it.
struct TerminalState {
  termios saved{};
  volatile sig_atomic_t raw = 0;        // the terminal is in our mode now
  volatile sig_atomic_t resized = 0;    // SIGWINCH: read the size, repaint
  volatile sig_atomic_t continued = 0;  // SIGCONT: raw mode again, repaint
  int wakeRead = -1;                    // self-pipe: signals wake a waiting poll
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
  ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &raw);
  WriteAll(STDOUT_FILENO, kEnter);
  Terminal().raw = 1;
}

void OnFatalSignal(int sig) {
  RestoreTerminal();
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

void OnWake(int sig) {
  const int saved = errno;
  if (sig == SIGCONT) {
    Terminal().continued = 1;
  } else {
    Terminal().resized = 1;
  }
  if (Terminal().wakeWrite >= 0) {
    const char byte = 1;
    [[maybe_unused]] ssize_t n = ::write(Terminal().wakeWrite, &byte, 1);
  }
  errno = saved;
}

void InstallHandlers() {
  TerminalState& t = Terminal();
  if (t.handlersInstalled) return;
  int fds[2];
  if (::pipe(fds) == 0) {
    t.wakeRead = fds[0];
    t.wakeWrite = fds[1];
    ::fcntl(fds[0], F_SETFL, O_NONBLOCK);
    ::fcntl(fds[1], F_SETFL, O_NONBLOCK);
  }
  struct sigaction sa {};
  sigemptyset(&sa.sa_mask);
  sa.sa_handler = OnFatalSignal;
  for (int sig : kFatalSignals) ::sigaction(sig, &sa, nullptr);
  sa.sa_handler = OnWake;
  sa.sa_flags = SA_RESTART;
  ::sigaction(SIGWINCH, &sa, nullptr);
  ::sigaction(SIGCONT, &sa, nullptr);
  std::atexit(RestoreTerminal);
  t.handlersInstalled = true;
}

int EscapeTimeout() {
  const char* text = std::getenv("ESCDELAY");
  const int ms = text != nullptr ? std::atoi(text) : 0;
  return ms >= 1 && ms <= 1000 ? ms : 25;
}

class TerminalConsole : public ConsoleBackend {
 public:
  TerminalConsole() : escapeTimeout_(EscapeTimeout()) { ReadSize(); }

  void Present(const ConsoleScreen& screen) override {
    TerminalState& t = Terminal();
    if (t.continued) {  // a shell may have reset the terminal while we were stopped
      t.continued = 0;
      if (t.raw) EnterRawMode();
      renderer_.Invalidate();
    }
    if (t.resized) {
      t.resized = 0;
      ReadSize();
      renderer_.Invalidate();
    }
    WriteAll(STDOUT_FILENO, renderer_.Render(screen));
  }

  ConsoleEvent ReadEvent(bool wait) override;
  void Beep() override { WriteAll(STDOUT_FILENO, "\a"); }
  int MouseButtons() const override { return 2; }

  void Suspend() override { RestoreTerminal(); }
  void Resume(const ConsoleScreen& screen) override {
    EnterRawMode();
    renderer_.Invalidate();
    Present(screen);
  }

 private:
  void ReadSize() {
    winsize ws{};
    if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_row > 0 && ws.ws_col > 0) {
      renderer_.SetTerminalSize(ws.ws_row, ws.ws_col);
    }
  }
  // Reads what is available; false at end of input.
  bool ReadInput();
  ConsoleEvent EndOfInput();

  KeyDecoder decoder_;
  TerminalRenderer renderer_;
  int escapeTimeout_;
  int endOfInputReads_ = 0;
  bool closed_ = false;
};

bool TerminalConsole::ReadInput() {
  char buf[256];
  const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
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
  ConsoleEvent event;
  for (;;) {
    if (decoder_.Next(&event)) return event;
    if (closed_) return decoder_.Next(&event, true) ? event : EndOfInput();
    pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {Terminal().wakeRead, POLLIN, 0}};
    const int timeout = decoder_.Pending() ? escapeTimeout_ : wait ? -1 : 0;
    const int ready = ::poll(fds, Terminal().wakeRead >= 0 ? 2 : 1, timeout);
    if (ready < 0 && errno != EINTR) closed_ = true;
    if (fds[1].revents & POLLIN) {
      char drain[64];
      while (::read(Terminal().wakeRead, drain, sizeof drain) > 0) {
      }
      Present(CurrentScreen());
    }
    if (fds[0].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) {
      if (!ReadInput()) closed_ = true;
    } else if (ready == 0) {
      if (decoder_.Pending()) {
        if (decoder_.Next(&event, true)) return event;
        continue;
      }
      if (!wait) return ConsoleEvent{};
    }
  }
}

}  // namespace

void RestoreTerminal() {
  TerminalState& t = Terminal();
  if (!t.raw) return;
  t.raw = 0;
  WriteAll(STDOUT_FILENO, kLeave);
  ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &t.saved);
}

bool UseTerminalConsole() {
  if (!::isatty(STDIN_FILENO) || !::isatty(STDOUT_FILENO)) return false;
  if (::tcgetattr(STDIN_FILENO, &Terminal().saved) != 0) return false;
  InstallHandlers();
  EnterRawMode();
  SetConsoleBackend(std::make_unique<TerminalConsole>());
  EnableSystemClipboard(true);
  return true;
}

}  // namespace platform
