// Process creation with posix_spawn, and waiting for the child.
#include "platform/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

#include "platform/paths.h"

extern char** environ;

namespace platform {
namespace {

std::vector<char*> ArgvOf(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  return argv;
}

int StatusOf(int wstatus) {
  if (WIFEXITED(wstatus)) return WEXITSTATUS(wstatus);
  if (WIFSIGNALED(wstatus)) return 128 + WTERMSIG(wstatus);
  return -1;
}

int WaitFor(pid_t pid) {
  int wstatus = 0;
  while (::waitpid(pid, &wstatus, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return StatusOf(wstatus);
}

long NowMs() {
  timespec ts{};
  ::clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1000L + ts.tv_nsec / 1000000L;
}

// Waits for pid until the deadline, then kills it.  -1 when killed.
int WaitUntil(pid_t pid, long deadline) {
  int wstatus = 0;
  for (;;) {
    const pid_t done = ::waitpid(pid, &wstatus, WNOHANG);
    if (done == pid) return StatusOf(wstatus);
    if (done < 0 && errno != EINTR) return -1;
    if (NowMs() >= deadline) {
      ::kill(pid, SIGKILL);
      WaitFor(pid);
      return -1;
    }
    const timespec pause{0, 5 * 1000 * 1000};
    ::nanosleep(&pause, nullptr);
  }
}

// Moves data between the child's pipes until both are done or the deadline
// passes.  False on timeout.
bool Exchange(int inFd, std::string_view input, int outFd, std::string* output, long deadline) {
  while (inFd >= 0 || outFd >= 0) {
    const long left = deadline - NowMs();
    pollfd fds[2] = {{inFd, POLLOUT, 0}, {outFd, POLLIN, 0}};
    if (left <= 0 || ::poll(fds, 2, static_cast<int>(left)) == 0) {
      if (inFd >= 0) ::close(inFd);
      if (outFd >= 0) ::close(outFd);
      return false;
    }
    if (fds[0].revents != 0) {
      const ssize_t n = ::write(inFd, input.data(), input.size());
      if (n > 0) input.remove_prefix(static_cast<size_t>(n));
      if ((n < 0 && errno != EAGAIN && errno != EINTR) || input.empty()) {
        ::close(inFd);
        inFd = -1;
      }
    }
    if (fds[1].revents != 0) {
      char buf[4096];
      const ssize_t n = ::read(outFd, buf, sizeof buf);
      if (n > 0) output->append(buf, static_cast<size_t>(n));
      if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) {
        ::close(outFd);
        outFd = -1;
      }
    }
  }
  return true;
}

}  // namespace

int RunProgram(std::string_view path, const std::vector<std::string>& args) {
  const std::string program = NativePath(path);
  std::vector<std::string> all{program};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv = ArgvOf(all);

  // Like system(): the parent ignores the keys that interrupt the child.
  struct sigaction ignore {
  }, oldInt{}, oldQuit{};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  ::sigaction(SIGINT, &ignore, &oldInt);
  ::sigaction(SIGQUIT, &ignore, &oldQuit);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGINT);
  sigaddset(&defaults, SIGQUIT);
  posix_spawnattr_setsigdefault(&attr, &defaults);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF);

  pid_t pid = 0;
  const bool search = program.find('/') == std::string::npos;
  const int rc = search
                     ? ::posix_spawnp(&pid, program.c_str(), nullptr, &attr, argv.data(), environ)
                     : ::posix_spawn(&pid, program.c_str(), nullptr, &attr, argv.data(), environ);
  const int status = rc == 0 ? WaitFor(pid) : -1;
  posix_spawnattr_destroy(&attr);
  ::sigaction(SIGINT, &oldInt, nullptr);
  ::sigaction(SIGQUIT, &oldQuit, nullptr);
  return status;
}

int RunCollectingOutput(std::string_view path, const std::vector<std::string>& args,
                        std::string* output) {
  std::vector<std::string> all{NativePath(path)};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv = ArgvOf(all);
  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDERR_FILENO);
  pid_t pid = 0;
  const int rc = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  if (rc == 0) {
    char buf[4096];
    for (;;) {
      const ssize_t n = ::read(out[0], buf, sizeof buf);
      if (n > 0) output->append(buf, static_cast<size_t>(n));
      if (n == 0 || (n < 0 && errno != EINTR)) break;
    }
  }
  ::close(out[0]);
  return rc == 0 ? WaitFor(pid) : -1;
}

int CaptureProgram(const std::vector<std::string>& args, std::string_view input,
                   std::string* output, int timeoutMs) {
  if (args.empty()) return -1;
  int in[2], out[2] = {-1, -1};
  if (::pipe2(in, O_CLOEXEC) != 0) return -1;
  if (output != nullptr && ::pipe2(out, O_CLOEXEC) != 0) {
    ::close(in[0]);
    ::close(in[1]);
    return -1;
  }
  // A helper that keeps running in the background (xclip holding the
  // selection) must not hold our output pipe open, so without an output
  // its standard output is /dev/null.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
  if (output != nullptr) {
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  } else {
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  }
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv = ArgvOf(args);
  pid_t pid = 0;
  const int rc = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(in[0]);
  if (out[1] >= 0) ::close(out[1]);
  if (rc != 0) {
    ::close(in[1]);
    if (out[0] >= 0) ::close(out[0]);
    return -1;
  }
  // A helper that exits without reading its input must not kill us.
  struct sigaction ignore {
  }, oldPipe{};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  ::sigaction(SIGPIPE, &ignore, &oldPipe);
  ::fcntl(in[1], F_SETFL, O_NONBLOCK);
  const long deadline = NowMs() + timeoutMs;
  int inFd = in[1];
  if (input.empty()) {
    ::close(inFd);
    inFd = -1;
  }
  const bool done = Exchange(inFd, input, out[0], output, deadline);
  ::sigaction(SIGPIPE, &oldPipe, nullptr);
  const int status = WaitUntil(pid, done ? deadline : 0);
  return done ? status : -1;
}


// A child that starts the program and ends at once, so that nothing is
// left to wait for: the program, orphaned, is reaped by init.
bool StartInBackground(std::string_view path, const std::vector<std::string>& args) {
  std::vector<std::string> all{NativePath(path)};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv = ArgvOf(all);
  if (::access(argv[0], X_OK) != 0) return false;
  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    ::setsid();
    const int null = ::open("/dev/null", O_RDWR);
    for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) ::dup2(null, fd);
    pid_t program = 0;
    const int rc = ::posix_spawn(&program, argv[0], nullptr, nullptr, argv.data(), environ);
    ::_exit(rc == 0 ? 0 : 1);
  }
  return WaitFor(child) == 0;
}

}  // namespace platform
