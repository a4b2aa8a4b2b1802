// The register's commands and options, and their checks beyond CLI11's.
#include "register_cli.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>

#include "register_access.h"
#include "register_commands.h"
#include "storage/record_backend.h"
#include "verifactu_commands.h"

namespace recutil {
namespace {

int Mistake(const std::string& what) {
  std::fprintf(stderr, "recutil: register: %s\n", what.c_str());
  return 2;
}

// A value as typed, in quotes (built piece by piece: g++ 12 at -O3 warns
// falsely of overlapping copies where a literal is joined to a temporary).
std::string Quoted(const std::string& text) {
  std::string quoted(1, '"');
  quoted += text;
  quoted += '"';
  return quoted;
}

// "yyyy-mm" with a month 01 to 12.
bool IsMonth(const std::string& text) {
  if (text.size() != 7 || text[4] != '-') return false;
  for (size_t i : {0, 1, 2, 3, 5, 6}) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  const int month = (text[5] - '0') * 10 + (text[6] - '0');
  return month >= 1 && month <= 12;
}

// A receipt number: 1 to 18 digits, not 0.
bool IsNumber(const std::string& text) {
  if (text.empty() || text.size() > 18) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return std::stoll(text) > 0;
}

void AddRoot(CLI::App* command, RegisterCli* cli) {
  command->add_option("root", cli->root, "installation root (holds REGISTRE.DB)")->required();
}

}  // namespace

void AddRegisterCommands(CLI::App& app, RegisterCli* cli) {
  cli->command = app.add_subcommand(
      "register",
      "The register of the receipts issued: ROOT/REGISTRE.DB, or with --db the reg_* tables\n"
      "of that database");
  cli->command->require_subcommand(1);

  cli->list = cli->command->add_subcommand(
      "list",
      "List the receipts with a total per owner and a grand total (cancelled receipts are\n"
      "listed, not counted): aligned text, or a CSV or PDF file");
  AddRoot(cli->list, cli);
  cli->list->add_option("--cycle", cli->cycle, "only the receipts of this cycle")
      ->check(CLI::PositiveNumber);
  cli->list->add_option("--month", cli->month, "only the receipts of this month (YYYY-MM)");
  cli->list->add_option("--owner", cli->owner, "only the receipts of this owner (number)");
  cli->list->add_option("--csv", cli->csv,
                        "write the journal into this CSV file (UTF-8, \";\", decimal comma)");
  cli->list->add_option("--pdf", cli->pdf,
                        "write the journal into this PDF file (a page per owner, a summary)");

  cli->remittances = cli->command->add_subcommand(
      "remittances", "List the remittances written and the receipts each one held");
  AddRoot(cli->remittances, cli);

  cli->cancel = cli->command->add_subcommand(
      "cancel",
      "Show a receipt and cancel it (a new entry: nothing registered changes); asks\n"
      "\"cancel? [y/N]\" on a terminal, and needs --yes without one");
  AddRoot(cli->cancel, cli);
  cli->cancel->add_option("owner", cli->owner, "the owner's number")->required();
  cli->cancel->add_option("number", cli->number, "the receipt's number")->required();
  cli->cancel->add_flag("--yes", cli->yes, "cancel without asking");

  cli->check = cli->command->add_subcommand(
      "check",
      "Check the register (each receipt's sums, numbers given once); exit code 1 when\n"
      "anything is wrong");
  AddRoot(cli->check, cli);

  cli->send = cli->command->add_subcommand(
      "send",
      "Send the VERI*FACTU billing records waiting to the tax agency (for a scheduled job,\n"
      "and after a failure); exit code 1 when an attempt failed");
  AddRoot(cli->send, cli);

  cli->status = cli->command->add_subcommand(
      "status",
      "Show per issuer the billing records waiting, accepted, rejected and corrected, the\n"
      "last attempt, the next one, and each record rejected or accepted with errors");
  AddRoot(cli->status, cli);

  cli->xml = cli->command->add_subcommand(
      "xml",
      "Write the submissions the sending would send now into DIR: NIF.xml per issuer,\n"
      "NIF-2.xml and on for each further 1,000 records");
  AddRoot(cli->xml, cli);
  cli->xml->add_option("dir", cli->dir, "folder to write the documents into")->required();

  cli->correct = cli->command->add_subcommand(
      "correct",
      "Register a correction of a receipt whose billing record the agency rejected or\n"
      "accepted with errors, with the tenant's name and tax identifier as the unit has\n"
      "them now; the next sending sends it");
  AddRoot(cli->correct, cli);
  cli->correct->add_option("owner", cli->owner, "the owner's number")->required();
  cli->correct->add_option("number", cli->number, "the receipt's number")->required();
}

int RunRegisterCommand(const RegisterCli& cli, const std::string& conninfo) {
  const ledger::RegisterPlace place = RegisterPlaceOf(cli.root, conninfo);
  LoadOfficeSettings(place.root);
  std::string owner;
  if (!cli.owner.empty() && !OwnerKeyOf(cli.owner, &owner)) {
    return Mistake("an owner's number has 1 to 4 digits, not " + Quoted(cli.owner));
  }
  if (*cli.list) {
    if (!cli.month.empty() && !IsMonth(cli.month)) {
      return Mistake("a month is written YYYY-MM, not " + Quoted(cli.month));
    }
    ListOptions options;
    options.filter.cycle = cli.cycle;
    options.filter.month = cli.month;
    options.filter.ownerKey = owner;
    options.csv = cli.csv;
    options.pdf = cli.pdf;
    return ListRegister(place, options, stdout);
  }
  if (*cli.remittances) return ListRemittances(place, stdout);
  if ((*cli.cancel || *cli.correct) && !IsNumber(cli.number)) {
    return Mistake("no receipt number " + Quoted(cli.number));
  }
  if (*cli.cancel) {
    return CancelReceipt(place, owner, std::stoll(cli.number), cli.yes, stdin, ::isatty(0) == 1,
                         stdout);
  }
  if (*cli.send) return SendRegister(place, std::time(nullptr), stdout);
  if (*cli.status) return ShowBillingStatus(place, std::time(nullptr), stdout);
  if (*cli.xml) return WriteWaitingXml(place, cli.dir, stdout);
  if (*cli.correct) {
    // The unit's record is read where the record files are.
    storage::SetRecordDatabase({conninfo, cli.root});
    return CorrectReceipt(place, owner, std::stoll(cli.number), std::time(nullptr), stdout);
  }
  return CheckRegister(place, stdout);
}

}  // namespace recutil
