// Program-wide state of the date and number formatters: the installation
// characters they read at first use, the currencies, and the day, month and
// year that IsInvalidDate leaves behind.
//
// The formatters sit below the configuration layer, so they do not read
// Tora.ini themselves: start-up registers two providers here (the value of
// a key of Tora.ini [Usuari], and the session language).  Without providers
// every setting reads as the empty text and the built-in defaults apply.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace format {

struct FormatSettings {
  // Providers registered by start-up.
  std::function<std::string(std::string_view key)> userSettingProvider;  // Tora.ini [Usuari] key
  std::function<std::string()> languageProvider;  // "CAT", "SPA", "GLG", "OCI"

  // Read at the first use and kept; '\0' means not read yet.
  char DecCaracter = '\0';  // decimal character written for "."
  char MilCaracter = '\0';  // thousands separator written for ","
  char DatCaracter = '\0';  // separator of short dates
  std::string DatOrdre;     // three letters of D, M, A; empty until read

  // Currencies: "E" euros, "P" pesetas, empty when not set.
  std::string ApplicationCurrency;
  std::string DocumentCurrency;
  std::string CurrentCurrency;

  // What the last IsInvalidDate read (the year after its century step).
  long long LastDay = 0;
  long long LastMonth = 0;
  long long LastYear = 0;
};

// The reset of the program state (platform/program_state.h) puts it back
// as a new process finds it: providers dropped, characters unread,
// currencies unset.
FormatSettings& Formats();

// The value of a Tora.ini [Usuari] key through the provider; empty without one.
std::string UserSetting(std::string_view key);
// The first character of a one-character setting, or fallback when that
// character is blank (a space, or no value at all).
char UserCharacter(std::string_view key, char fallback);
// The session language through the provider; empty without one.
std::string CurrentLanguage();

}  // namespace format
