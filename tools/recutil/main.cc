// recutil: the office's record-file tool.  Builds dictionary files from
// readable key descriptions, creates, loads, saves and describes record
// files, checks them for damage, and holds locks for testing lock waits.
#include <CLI/CLI.hpp>
#include <string>

#include "commands.h"

int main(int argc, char** argv) {
  CLI::App app{
      "recutil: record files of the office.\n"
      "File names may be written Windows-style (C:\\ROOT\\DADES\\X.dat).\n"
      "A typical installation step:\n"
      "  recutil dictionary owners.keys ROOT/ddf/PropietV.xdf\n"
      "  recutil create ROOT/ddf/PropietV.xdf ROOT/DADES/PropietV.dat\n"
      "  recutil load ROOT/DADES/PropietV.dat owners.seq"};
  app.require_subcommand(1);

  std::string description, dictionary, file, sequential;
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

  CLI11_PARSE(app, argc, argv);
  if (*dict) return recutil::MakeDictionary(description, dictionary);
  if (*create) return recutil::CreateFromDictionary(dictionary, file, replace);
  if (*load) return recutil::LoadRecords(file, sequential, replace, progress);
  if (*save) return recutil::SaveRecords(file, sequential, key);
  if (*stat) return recutil::PrintStat(file);
  if (*check) return recutil::CheckFile(file);
  return recutil::HoldLock(file, position, exclusive, seconds);
}
