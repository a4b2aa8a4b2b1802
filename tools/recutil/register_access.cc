// An installation's register as recutil's commands name it.
#include "register_access.h"

#include <stdlib.h>

#include "config/company.h"
#include "ledger/register_settings.h"

namespace recutil {

void LoadOfficeSettings(const std::string& root) {
  ::setenv("KELROOT", root.c_str(), 1);
  config::LoadInstallationConfig();
  ledger::ReadRegisterSettings();
}

ledger::RegisterPlace RegisterPlaceOf(const std::string& root, const std::string& conninfo) {
  std::string folder = root;
  if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') folder += '/';
  return {conninfo, folder};
}

long ReceiptRows(const std::vector<ledger::Register::Table>& tables) {
  for (const ledger::Register::Table& t : tables) {
    if (t.name == "reg_receipts") return static_cast<long>(t.rows.size());
  }
  return 0;
}

}  // namespace recutil
