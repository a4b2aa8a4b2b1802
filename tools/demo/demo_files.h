// The text files of a demo installation: Tora.ini, the session's Sessio.ini
// and ToraTerm.ini, the screen-form file, the language file and the help
// texts.  All are written in code page 850 with CR LF line ends, as the
// office's Windows installations have them.
#pragma once

#include <string>

namespace demo {

struct InstallationText {
  std::string root;          // installation folder (native path, ends in "/")
  std::string sessionDir;    // session folder (native path, ends in "/")
  std::string workingDate;   // yyyymmdd for ToraTerm.ini [Sistema] Data
  std::string language;      // CAT, SPA, GLG or OCI
};

// Writes every text file; false with a message when one cannot be written.
bool WriteInstallationText(const InstallationText& install, std::string* error);

// The screen-form file of the selection screen (code page 850).
std::string SelectionForm();
// The language file: every label, prompt, title and printed word.
std::string LanguageFile();

}  // namespace demo
