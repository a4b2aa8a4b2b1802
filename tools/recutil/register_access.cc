// Finding an installation's register without creating one.
#include "register_access.h"

#include <stdlib.h>

#include "config/company.h"
#include "ledger/register_settings.h"
#include "ledger/sql_database.h"
#include "platform/paths.h"

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

bool RegisterExists(const ledger::RegisterPlace& place, bool* exists, std::string* error) {
  if (place.conninfo.empty()) {
    *exists = platform::FileExists(place.root + "REGISTRE.DB");
    return true;
  }
  std::unique_ptr<ledger::SqlDatabase> db = ledger::OpenPgDatabase(place.conninfo, error);
  if (db == nullptr) return false;
  // Looked up along the search path, as the register's own statements are.
  const ledger::SqlResult found = db->Run("SELECT to_regclass('reg_state') IS NOT NULL");
  if (!found.ok) {
    *error = found.error;
    return false;
  }
  *exists = found.At(0, 0) == "t";
  return true;
}

std::unique_ptr<ledger::Register> OpenExistingRegister(const ledger::RegisterPlace& place,
                                                       std::string* error) {
  bool exists = false;
  if (!RegisterExists(place, &exists, error)) return nullptr;
  if (!exists) {
    *error = place.conninfo.empty() ? "no register in " + place.root + " (REGISTRE.DB)"
                                    : "no register in the database (no table reg_state)";
    return nullptr;
  }
  return ledger::Register::Open(place, error);
}

long ReceiptRows(const std::vector<ledger::Register::Table>& tables) {
  for (const ledger::Register::Table& t : tables) {
    if (t.name == "reg_receipts") return static_cast<long>(t.rows.size());
  }
  return 0;
}

}  // namespace recutil
