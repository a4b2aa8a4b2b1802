// Ending the program from deep inside it, with a stand-in for tests.
//
// A start that cannot go on (a record file that cannot be opened) ends the
// process through EndProgram.  The real one calls std::exit, so that the
// static objects are destroyed and the console backend gives the terminal
// back as it was.  Tests install a stand-in that only records the code; the
// caller then goes on and returns its failure status, so the code after the
// call must stay sound.
#pragma once

#include <functional>

namespace platform {

// Ends the process with the exit code, or calls the stand-in when one is set
// (and then returns).
void EndProgram(int exitCode);

// Replaces the real end; an empty function puts it back, and so does the
// reset of the program state.
void SetEndProgramStandIn(std::function<void(int)> end);

}  // namespace platform
