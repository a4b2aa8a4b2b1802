// The remittance's messages to the operator, in the session language.
#pragma once

#include <string>
#include <vector>

#include "remittance/cycle.h"

namespace remittance {

// "REBUTS FORA DE LA REMESA: 0001.0001 (COMPTE ERRONI), ..."
std::string LeftOutMessage(const std::vector<LeftOut>& leftOut);
// The file is refused: the settings to look at.
std::string RefusedMessage(const std::vector<std::string>& problems);
std::string WriteFailedMessage(const std::string& path);
// No receipt could go into the file, so path was not written; earlierFile:
// a file is there under that name, from an earlier remittance.
std::string EmptyMessage(const std::string& path, bool earlierFile);
std::string WrittenMessage(int debits, long long cents, const std::string& path);

}  // namespace remittance
