// Starting other programs, without a shell.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Runs the program at path (mapped by NativePath; a name without "/" is
// looked up in PATH) with the given arguments, waiting for it to end, on
// this process's standard streams (terminal::RunOnTerminal hands it the
// console's terminal).  Interrupt and quit keys reach the child only.  Returns the exit status (0..255), 128 + the signal number when a
// signal ended it, or -1 when it could not be started.
int RunProgram(std::string_view path, const std::vector<std::string>& args);

// Runs the program at path (mapped by NativePath, never looked up in PATH)
// with the given arguments and waits for it, leaving the console alone: its
// standard input is /dev/null, and what it writes on standard output and
// standard error is collected into *output.  Returns the exit status, 128 +
// the signal number, or -1 when it could not be started.
int RunCollectingOutput(std::string_view path, const std::vector<std::string>& args,
                        std::string* output);

// Runs argv[0] (looked up in PATH) with argv, without touching the console:
// input is written to its standard input, its standard output is collected
// into *output (when not null) and its standard error discarded.  A program
// still running after timeoutMs milliseconds is killed.  Returns the exit
// status, or -1 when it could not be started, was killed or timed out.
int CaptureProgram(const std::vector<std::string>& argv, std::string_view input,
                   std::string* output, int timeoutMs);

// Starts the program at path (mapped by NativePath, never looked up in
// PATH) with the given arguments in the background and returns at once: it
// runs in a session of its own with /dev/null for its standard streams, is
// not waited for, and outlives this program.  False when it could not be
// started.
bool StartInBackground(std::string_view path, const std::vector<std::string>& args);

}  // namespace platform
