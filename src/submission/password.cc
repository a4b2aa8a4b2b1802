// The environment first, so that an office can keep the password out of
// files altogether; a file (readable only by the office's user) for
// installations started by a scheduler.
#include "submission/password.h"

#include <cstdlib>

#include "platform/paths.h"

namespace submission {

std::optional<std::string> CertificatePassword(std::string_view passwordFile) {
  const char* fromEnvironment = std::getenv("KELCERTCLAU");
  if (fromEnvironment != nullptr && *fromEnvironment != '\0') return std::string(fromEnvironment);
  std::string contents;
  if (passwordFile.empty() || !platform::ReadWholeFile(passwordFile, &contents)) {
    return std::nullopt;
  }
  const size_t end = contents.find_first_of("\r\n");
  if (end != std::string::npos) contents.resize(end);
  return contents;
}

}  // namespace submission
