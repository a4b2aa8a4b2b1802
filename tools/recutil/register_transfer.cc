// Moving the register with the record files.
#include "register_transfer.h"

#include <filesystem>
#include <set>

#include "office_files.h"
#include "platform/new_file.h"
#include "platform/paths.h"
#include "register_access.h"
#include "register_file.h"

namespace recutil {
namespace {

namespace fs = std::filesystem;
using Tables = std::vector<ledger::Register::Table>;

constexpr char kRowName[] = "REGISTRE";

std::string Where(const ledger::RegisterPlace& place) {
  return place.conninfo.empty() ? place.root + "REGISTRE.DB" : "the database";
}

// Reads a register's whole content (making the register when `create`).
bool DumpOf(const ledger::RegisterPlace& place, bool create, Tables* tables, std::string* problem) {
  std::unique_ptr<ledger::Register> reg =
      create ? ledger::Register::Open(place, problem) : OpenExistingRegister(place, problem);
  if (reg == nullptr) return false;
  if (!reg->Dump(tables)) {
    *problem = reg->error();
    return false;
  }
  return true;
}

// Every row of `part` is a row of the same table in `whole`.
bool Contains(const Tables& whole, const Tables& part) {
  for (const ledger::Register::Table& t : part) {
    std::set<std::vector<std::string>> rows;
    for (const ledger::Register::Table& w : whole) {
      if (w.name == t.name) rows.insert(w.rows.begin(), w.rows.end());
    }
    for (const std::vector<std::string>& row : t.rows) {
      if (rows.count(row) == 0) return false;
    }
  }
  return true;
}

bool LoadInto(const ledger::RegisterPlace& place, const Tables& tables, std::string* problem) {
  std::unique_ptr<ledger::Register> reg = ledger::Register::Open(place, problem);
  if (reg == nullptr) return false;
  if (!reg->Load(tables)) {
    *problem = reg->error();
    return false;
  }
  return true;
}

}  // namespace

std::optional<TransferRow> ExportRegister(const std::string& root, const std::string& folder) {
  const ledger::RegisterPlace place = RegisterPlaceOf(root, "");
  bool exists = false;
  std::string problem;
  if (!RegisterExists(place, &exists, &problem) || !exists) return std::nullopt;
  TransferRow row{kRowName, -1, "", true};
  Tables tables;
  const std::string target = (fs::path(folder) / "REGISTRE.txt").string();
  if (!DumpOf(place, false, &tables, &problem)) {
    row.result = "not written: " + problem;
  } else if (!platform::WriteNewFile(target, RegisterText(tables))) {
    row.result = "not written: cannot write " + target;
  } else {
    row = {kRowName, ReceiptRows(tables), "written", false};
  }
  return row;
}

std::optional<TransferRow> ImportRegister(const std::string& root, const std::string& folder,
                                          bool replace) {
  const auto texts = FilesByBase(folder, ".txt");
  const auto file = texts.find("registre");
  if (file == texts.end()) return std::nullopt;
  TransferRow row{kRowName, -1, "", true};
  std::string text, problem;
  Tables tables, there;
  const ledger::RegisterPlace place = RegisterPlaceOf(root, "");
  if (!platform::ReadWholeFile(file->second, &text)) {
    row.result = "not loaded: cannot read " + file->second;
  } else if (!ParseRegisterText(text, &tables, &problem) ||
             !DumpOf(place, true, &there, &problem)) {
    row.result = "not loaded: " + problem;
  } else if (ReceiptRows(there) > 0 && !replace) {
    row.result = "the register there holds receipts; left alone (--replace loads it again)";
    row.problem = false;
  } else if (!LoadInto(place, tables, &problem)) {
    row.result = "not loaded: " + problem;
  } else {
    row = {kRowName, ReceiptRows(tables), "loaded", false};
  }
  return row;
}

bool PlanRegisterCopy(const ledger::RegisterPlace& from, const ledger::RegisterPlace& to,
                      RegisterCopy* plan, std::string* problem) {
  bool exists = false;
  if (!RegisterExists(from, &exists, problem)) return false;
  plan->any = exists;
  if (!exists) return true;
  Tables there;
  if (!DumpOf(from, false, &plan->tables, problem)) return false;
  if (!RegisterExists(to, &exists, problem)) return false;
  if (!exists) return true;
  if (!DumpOf(to, false, &there, problem)) return false;
  if (Contains(plan->tables, there)) return true;
  *problem = "the register in " + Where(to) + " holds entries the one in " + Where(from) +
             " has not (issued since the last copy, or another installation's); it is not replaced";
  return false;
}

bool CarryRegister(const ledger::RegisterPlace& to, const RegisterCopy& plan,
                   std::string* problem) {
  return LoadInto(to, plan.tables, problem);
}

}  // namespace recutil
