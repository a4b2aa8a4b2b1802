// recutil: the office's record-file tool.  Builds dictionary files from
// readable key descriptions, creates, loads, saves and describes record
// files, checks them for damage, moves a whole office's record files in and
// out of the sequential format, holds locks for testing lock waits, and
// reads, cancels in and checks the register of receipts issued, and sends,
// shows and corrects its VERI*FACTU billing records.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "commands.h"
#include "office_transfer.h"
#include "register_cli.h"
#include "storage/record_backend.h"

namespace {

// Prints the table; exit code 1 when a file was refused or there was none.
int Report(const std::vector<recutil::TransferRow>& rows, const std::string& none) {
  if (rows.empty()) {
    std::fprintf(stderr, "recutil: %s\n", none.c_str());
    return 1;
  }
  std::fputs(recutil::TransferTable(rows).c_str(), stdout);
  for (const recutil::TransferRow& row : rows) {
    if (row.problem) return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "recutil: record files of the office.\n"
      "File names may be written Windows-style (C:\\ROOT\\DADES\\X.dat).\n"
      "A typical installation step:\n"
      "  recutil dictionary owners.keys ROOT/ddf/PropietV.xdf\n"
      "  recutil create ROOT/ddf/PropietV.xdf ROOT/DADES/PropietV.dat\n"
      "  recutil load ROOT/DADES/PropietV.dat owners.seq\n"
      "Record files live in the PostgreSQL database that --db (default KELDB) names,\n"
      "else in SQLite files.  Moving an installation to the server and back:\n"
      "  recutil --db 'host=/run/postgresql dbname=office' copy ROOT\n"
      "  recutil --db 'host=/run/postgresql dbname=office' copy --back ROOT\n"
      "The register of receipts issued: recutil register list|remittances|cancel|check ROOT;\n"
      "its VERI*FACTU records: recutil register send|status|xml|correct ROOT"};
  app.set_version_flag("--version", "recutil " QANTIRES_VERSION);
  app.require_subcommand(1);

  const char* keldb = std::getenv("KELDB");
  const char* kelroot = std::getenv("KELROOT");
  std::string db = keldb == nullptr ? "" : keldb;
  app.add_option("--db", db,
                 "libpq connection string of the database holding the record files\n"
                 "(default KELDB; empty: SQLite files)");

  std::string description, dictionary, file, sequential, root, folder;
  bool replace = false, exclusive = false;
  long progress = 0;
  int key = 0;
  uint32_t position = 0;
  double seconds = 10;

  auto* dict = app.add_subcommand(
      "dictionary",
      "Build a dictionary file (2-byte count, then the Create buffer) from a key description.\n"
      "Description lines:\n"
      "  record LENGTH | page SIZE | variable | acs NAME upper|FILE\n"
      "  key [dup] [mod] [null=HH] [null-any=HH]: POS+LEN [TYPE] [desc] [nocase] [acs=N], ...\n"
      "TYPE: string zstring lstring integer unsigned binary float date time logical");
  dict->add_option("description", description, "key description text file")->required();
  dict->add_option("dictionary", dictionary, "dictionary file to write (ddf\\NAME.xdf)")
      ->required();

  auto* create = app.add_subcommand("create", "Create an empty record file from a dictionary file");
  create->add_option("dictionary", dictionary, "dictionary file (.xdf)")->required();
  create->add_option("file", file, "record file to create (.dat)")->required();
  create->add_flag("--replace", replace, "replace an existing file (default: keep it, fail)");

  auto* load = app.add_subcommand(
      "load", "Insert records from a sequential file (LENGTH,BYTES CR LF ...) in one transaction");
  load->add_option("file", file, "record file")->required();
  load->add_option("sequential", sequential, "sequential file, - for standard input")->required();
  load->add_flag("--replace", replace, "delete the old records in the same transaction");
  load->add_option("--progress", progress, "print \"loaded N\" on standard error every N records");

  auto* save = app.add_subcommand("save", "Write every record in key order to a sequential file");
  save->add_option("file", file, "record file")->required();
  save->add_option("sequential", sequential, "sequential file, - for standard output")->required();
  save->add_option("--key", key, "key number giving the order (default 0)");

  auto* stat = app.add_subcommand("stat", "Print the file's specification and counts");
  stat->add_option("file", file, "record file")->required();

  auto* check = app.add_subcommand(
      "check",
      "Check the whole file (the engine's integrity check, record lengths, every key's index)\n"
      "and say what is wrong; exit code 1 when anything is");
  check->add_option("file", file, "record file")->required();

  auto* lock = app.add_subcommand(
      "lock",
      "Hold a record lock (or with --exclusive the file) for some seconds; prints \"locked\"");
  lock->add_option("file", file, "record file")->required();
  lock->add_option("--position", position, "record position (default: first record of key 0)");
  lock->add_flag("--exclusive", exclusive, "open the file exclusively instead of locking a record");
  lock->add_option("--seconds", seconds, "how long to hold the lock (default 10)");

  auto* import = app.add_subcommand(
      "import",
      "Build the office's record files from sequential files: for every ROOT/ddf/NAME.xdf\n"
      "with a NAME.seq in FOLDER, ROOT/DADES/NAME.dat is created and loaded, all or nothing.\n"
      "A file of another record manager there is renamed to NAME.dat.old. A FOLDER/REGISTRE.txt\n"
      "is loaded into the register ROOT/REGISTRE.DB; then a table.");
  import->add_option("root", root, "installation root (holds ddf and DADES)")->required();
  import->add_option("folder", folder, "folder of the NAME.seq files")->required();
  import->add_flag("--replace", replace,
                   "load again files that are already ours, and a register holding receipts\n"
                   "(default: keep)");

  auto* exportFiles = app.add_subcommand(
      "export",
      "Write every record file ROOT/DADES/NAME.dat to FOLDER/NAME.seq, and the register\n"
      "ROOT/REGISTRE.DB to FOLDER/REGISTRE.txt; then a table");
  exportFiles->add_option("root", root, "installation root (holds DADES)")->required();
  exportFiles->add_option("folder", folder, "folder to write the NAME.seq files into")->required();

  bool back = false;
  auto* copy = app.add_subcommand(
      "copy",
      "Copy every record file of an installation (ROOT/**/*.dat), and its register, into the\n"
      "database");
  copy->add_option("root", root, "installation root")->required();
  copy->add_flag("--back", back,
                 "copy the database's files into SQLite files under ROOT instead (replacing them)");

  recutil::RegisterCli registerCli;
  recutil::AddRegisterCommands(app, &registerCli);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // Help ends with 0; every mistake with 2, and the commands there are.
    if (e.get_exit_code() == 0) return app.exit(e);
    std::string commands;
    bool known = argc < 2 || argv[1][0] == '-';
    for (const CLI::App* c : app.get_subcommands({})) {
      commands += " " + c->get_name();
      known = known || c->get_name() == argv[1];
    }
    if (known) {
      app.exit(e);
    } else {
      std::fprintf(stderr, "recutil: unknown command %s\n", argv[1]);
    }
    std::fprintf(stderr, "recutil: the commands are:%s\n", commands.c_str());
    return 2;
  }
  if (*copy) return recutil::CopyInstallation(root, db, back);
  if (*registerCli.command) return recutil::RunRegisterCommand(registerCli, db);
  // Import and export make and read SQLite files under ROOT, whatever --db
  // says; `copy` then takes them to the server.
  const std::string kelrootText = kelroot == nullptr ? "" : kelroot;
  storage::SetRecordDatabase({*import || *exportFiles ? "" : db, kelrootText});
  if (*import) {
    return Report(recutil::ImportOffice(root, folder, replace), "no ddf/*.xdf under " + root);
  }
  if (*exportFiles) {
    return Report(recutil::ExportOffice(root, folder), "no DADES/*.dat under " + root);
  }
  if (*dict) return recutil::MakeDictionary(description, dictionary);
  if (*create) return recutil::CreateFromDictionary(dictionary, file, replace);
  if (*load) return recutil::LoadRecords(file, sequential, replace, progress);
  if (*save) return recutil::SaveRecords(file, sequential, key);
  if (*stat) return recutil::PrintStat(file);
  if (*check) return recutil::CheckFile(file);
  return recutil::HoldLock(file, position, exclusive, seconds);
}
