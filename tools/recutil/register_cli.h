// recutil register on the command line: its commands and options, and
// running the one given.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <string>

namespace recutil {

struct RegisterCli {
  CLI::App* command = nullptr;  // "register"
  CLI::App* list = nullptr;
  CLI::App* remittances = nullptr;
  CLI::App* cancel = nullptr;
  CLI::App* check = nullptr;
  CLI::App* send = nullptr;
  CLI::App* status = nullptr;
  CLI::App* xml = nullptr;
  CLI::App* correct = nullptr;
  std::string root, owner, month, csv, pdf, number, dir;
  int64_t cycle = 0;
  bool yes = false;
};

// Adds "register" and its commands to app; cli keeps what they are given.
void AddRegisterCommands(CLI::App& app, RegisterCli* cli);

// Runs the register command given, on the register of conninfo (--db;
// empty: ROOT/REGISTRE.DB).  Exit code 2 for an owner, number or month
// that cannot be one.
int RunRegisterCommand(const RegisterCli& cli, const std::string& conninfo);

}  // namespace recutil
