// Device text to destination.
#include "destination.h"

#include "config/ini.h"
#include "format/text.h"
#include "print/spool.h"
#include "platform/paths.h"

namespace kelprint {
namespace {

bool EndsWithCaseless(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         format::UpperCase(text.substr(text.size() - suffix.size())) == suffix;
}

// LPT1..LPT9, COM1..COM9 and PRN, the way DOS and Windows name their ports.
bool IsWindowsPort(std::string name) {
  name = format::UpperCase(name);
  if (name.ends_with(':')) name.pop_back();
  if (name == "PRN") return true;
  return name.size() == 4 && (name.starts_with("LPT") || name.starts_with("COM")) &&
         name[3] >= '1' && name[3] <= '9';
}

bool IsWindowsShare(const std::string& name) {
  return name.starts_with("\\\\");
}

Destination Direct(const std::string& device, const std::string& session) {
  const std::string upper = format::UpperCase(device);
  if (EndsWithCaseless(device, ".PDF") || EndsWithCaseless(device, ".TXT")) {
    const bool relative =
        device[0] != '/' && device[0] != '\\' && device.find(':') == std::string::npos;
    const std::string path = platform::NativePath(relative ? session + device : device);
    return {EndsWithCaseless(device, ".PDF") ? Destination::Kind::kPdfFile
                                             : Destination::Kind::kTextFile,
            path};
  }
  if (print::IsScreenDevice(device)) return {Destination::Kind::kPreview, ""};
  if (upper.starts_with("RAW:")) {
    const std::string target = device.substr(4);
    if (target.starts_with('/')) return {Destination::Kind::kRawPath, target};
    return {Destination::Kind::kRawQueue, target};
  }
  return {Destination::Kind::kCups, device};
}

// A Windows printer name through Tora.ini, anything else as it is.
Destination Mapped(const std::string& name, const std::string& session,
                   const std::string& toraIni) {
  if (IsWindowsPort(name) || IsWindowsShare(name)) {
    std::string key = name;
    if (key.ends_with(':')) key.pop_back();
    const std::string mapped = format::Trim(config::IniReadRaw(toraIni, "Impressores", key));
    if (mapped.empty() || IsWindowsPort(mapped) || IsWindowsShare(mapped)) {
      return {Destination::Kind::kCups, ""};
    }
    return Direct(mapped, session);
  }
  return Direct(name, session);
}

}  // namespace

Destination ResolveDevice(const std::string& device, const std::string& session,
                          const std::string& toraIni) {
  Destination d = Mapped(format::Trim(device), session, toraIni);
  d.device = format::Trim(device);
  d.toraIni = toraIni;
  return d;
}

}  // namespace kelprint
