// How the program tells the operator something: a message, already in the
// session language, that the receiver shows and has acknowledged (the
// message window of the interactive run) or writes out (standard error in
// unattended runs).  The console, the remittance and the issuing run all
// take it; config is the lowest layer the three of them build on.
#pragma once

#include <functional>
#include <string>

namespace config {

using TellOperator = std::function<void(const std::string& text)>;

}  // namespace config
