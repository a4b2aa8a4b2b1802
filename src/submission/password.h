// The password of the client certificate.  It never comes from a command
// line, which every user of the computer can read.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace submission {

// The environment variable KELCERTCLAU when it is set and not empty;
// otherwise the first line of the file at passwordFile (mapped by
// NativePath; an empty name means no file), without its line end.
// nullopt when neither gives one.  The bytes are taken as they are.
std::optional<std::string> CertificatePassword(std::string_view passwordFile);

}  // namespace submission
