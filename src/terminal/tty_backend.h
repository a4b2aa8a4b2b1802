// The terminal console backend: the console shown on the process's own
// terminal with termios and ANSI sequences (no curses).
//
// Installing it puts the terminal in raw mode on the alternate screen, with
// SGR mouse reporting and cursor keys in normal mode.  The terminal is put
// back as it was on every way out: RestoreTerminal, exit (atexit), and the
// signals SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGSEGV, SIGBUS, SIGFPE, SIGILL
// and SIGABRT, after which the signal takes its default course.  A stop
// (SIGTSTP) gives the terminal back first and takes it again on continue; a
// resize (SIGWINCH) or a continue repaints the whole screen.  While the
// terminal is too small for the screen (a notice shows instead) every key
// and click is dropped, until a resize makes the screen fit again, except
// Escape and Ctrl-C, which leave the program (SetTooSmallLeave).
//
// Input is decoded by KeyDecoder.  An ESC counts as the Escape key when no
// further byte follows within the escape timeout: ESCDELAY milliseconds
// from the environment (as curses reads it), 25 when unset, 1 to 1000.
// Mouse reporting follows SetMouseInput, so that while the program does not
// want the mouse the terminal's own text selection works.
// When standard input closes every read returns kEndOfInput; after 1,000
// such reads in a row the process restores the terminal and exits with
// status 1, so a reader that ignores Escape cannot spin for ever.
#pragma once

#include <functional>
#include <memory>

#include "terminal/cell_buffer.h"

namespace terminal {

// Installs the terminal backend and enables the system clipboard.  Returns
// false, changing nothing, when standard input or output is not a terminal.
bool UseTerminalConsole();

// What Escape and Ctrl-C do while the too-small notice shows, where the
// operator cannot reach the screen's own way out.  Until one is set, the
// program ends with status 0 (platform::EndProgram), which gives the
// terminal back; an empty function puts that back.
void SetTooSmallLeave(std::function<void()> leave);

// Leaves raw mode and the alternate screen at once; safe to call more than
// once and from a signal handler's path.
void RestoreTerminal();

// A terminal backend on the given descriptors that leaves terminal modes and
// signals alone and assumes an 80 x 25 terminal: for tests and benchmarks,
// which drive it through pipes.  Suspend and Resume send the leave and enter
// sequences to outputFd.
std::unique_ptr<ConsoleBackend> MakeTerminalBackend(int inputFd, int outputFd, int escapeTimeoutMs);

}  // namespace terminal
