// Who runs the program, for what the programs record of their work: the
// computer's host name and the user's login name.
#pragma once

#include <string>

namespace platform {

// The host name; "?" when it cannot be had.
std::string HostName();
// The login name of the effective user, else the user number.
std::string UserName();

}  // namespace platform
