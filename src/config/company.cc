// Company data from Tora.ini [Empresa], and the fiscal identifier's form.
#include "config/company.h"

#include <cstdlib>

#include "config/ini.h"
#include "config/session_settings.h"
#include "platform/program_state.h"

namespace config {
namespace {

constexpr size_t kLineWidth = 35;

bool Allowed(char c) {
  return c == ' ' || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// The installation root as the session settings will read it; the company
// data come first, before RootDir is set.
std::string InstallationRoot() {
  const char* root = std::getenv("KELROOT");
  return root == nullptr ? std::string() : std::string(root);
}

}  // namespace

CompanyData& Company() {
  static CompanyData company;
  return company;
}

namespace {
[[maybe_unused]] const bool registered = platform::RegisterStateReset(
    platform::Layer::kConfig, "config::Company", [] { Company() = CompanyData{}; });
}  // namespace

std::string CompanyLine(int n) {
  return n >= 1 && n <= 8 ? Company().Lines[n - 1] : std::string();
}

std::string NormaliseFiscalId(std::string_view line) {
  std::string cleaned;
  for (char c : line) {
    if (Allowed(c)) cleaned.push_back(c);
  }
  cleaned.resize(line.size(), ' ');
  return "ES" + cleaned;
}

void LoadInstallationConfig() {
  const std::string file = InstallationRoot() + "Tora.ini";
  CompanyData& company = Company();
  for (int n = 1; n <= 8; ++n) {
    std::string line = IniRead(file, "Empresa", "Linia" + std::to_string(n));
    line.resize(kLineWidth, ' ');
    company.Lines[n - 1] = n == 7 ? NormaliseFiscalId(line) : line;
  }
  LoadSessionSettings();
}

}  // namespace config
