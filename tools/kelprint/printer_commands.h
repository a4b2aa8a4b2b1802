// The bytes a continuous-form printer gets for the spool's printer commands
// (its control records: "*@e" before every receipt).  Tora.ini
// [Impressores] holds a table per printer, one key per printer and command:
// the printer's name (QUEUE of raw:QUEUE, /PATH of raw:/PATH), a dot and the
// command, whose value is the bytes to send in hexadecimal, separated by
// spaces:
//   Matricial.@e=1B 40 1B 43 42
// Names and commands compare without regard to case, as every INI key.  A
// command without a translation, or with one that is not such bytes, sends
// nothing: the printer never prints a command as text.
//
// The same table says how many pins the printer's head has, for the QR
// codes it draws as bit images: PRINTER.Agulles=9 for a 9-pin printer;
// without it (or with any other value) a 24-pin one.
#pragma once

#include <map>
#include <string>
#include <utility>

namespace kelprint {

class PrinterCommands {
 public:
  // No table: every command sends nothing.
  PrinterCommands() = default;
  PrinterCommands(std::string toraIni, std::string printer)
      : toraIni_(std::move(toraIni)), printer_(std::move(printer)) {}

  // The bytes for a command; each command is looked up in Tora.ini once.
  const std::string& Translate(const std::string& command);
  // 9 or 24.
  int Pins() const;

 private:
  std::string toraIni_;
  std::string printer_;
  std::map<std::string, std::string> known_;
};

}  // namespace kelprint
