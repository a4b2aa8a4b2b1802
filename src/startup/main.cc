// Entry point of qantires: command-line options, then the main flow.
#include <CLI/CLI.hpp>

#include "startup/program.h"

int main(int argc, char** argv) {
  CLI::App app{
      "QANTIRES - issues the periodic receipts (rents and service charges) of the\n"
      "units a property-administration office administers.\n"
      "The installation comes from the environment the office's menu prepares:\n"
      "KELROOT (installation root), KELEXE (programs), KELTMP (session directory)."};
  CLI11_PARSE(app, argc, argv);
  return startup::RunProgram();
}
