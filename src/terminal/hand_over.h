// Lending the terminal to another program.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace terminal {

// Runs platform::RunProgram(path, args) with the console's terminal handed
// to the program: the backend leaves raw mode and the alternate screen
// first, and afterwards takes the terminal back and shows the whole screen
// again.  Returns what RunProgram returns.
int RunOnTerminal(std::string_view path, const std::vector<std::string>& args);

}  // namespace terminal
