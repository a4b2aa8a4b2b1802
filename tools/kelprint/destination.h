// Where the printout goes, from the spool's device text (the terminal's
// ToraTerm.ini [Sistema] Sortida):
//   NAME.pdf, NAME.txt  a PDF or UTF-8 text file (a relative name is taken in
//                       the session folder)
//   PANTALLA            the preview on the screen
//   raw:QUEUE           the pages as code page 850 text with the printer
//                       commands translated by Tora.ini [Impressores]
//                       (printer_commands.h), a raw job to the CUPS queue
//   raw:/PATH           the same bytes written to a device or file
//   LPT1-LPT9, PRN, COM1-COM9 (a final ":" allowed), \\SERVER\QUEUE
//                       Windows printer names: Tora.ini [Impressores] maps
//                       them to any form above (LPT1=Oficina); unmapped,
//                       the CUPS default destination
//   empty               the CUPS default destination
//   anything else       a CUPS destination of that name
// Names compare without regard to case; spaces around the text are dropped.
#pragma once

#include <string>
#include <utility>

namespace kelprint {

struct Destination {
  enum class Kind { kPdfFile, kTextFile, kCups, kRawQueue, kRawPath, kPreview };
  Destination(Kind k, std::string n) : kind(k), name(std::move(n)) {}
  Kind kind;
  std::string name;     // file or device path, CUPS destination (empty: the default)
  std::string device;   // the device text it came from, for messages
  std::string toraIni;  // whose [Impressores] translates a raw printer's commands
};

// `session` is the session folder (ends in a separator or is empty);
// `toraIni` the installation's Tora.ini.
Destination ResolveDevice(const std::string& device, const std::string& session,
                          const std::string& toraIni);

}  // namespace kelprint
