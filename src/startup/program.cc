// Start-up and close-down order of the program.
#include "startup/program.h"

#include "console/popups.h"
#include "platform/current_dir.h"
#include "startup/company.h"
#include "startup/settings.h"

namespace startup {

int RunProgram() {
  LoadInstallationConfig();
  console::SetHotKeyHooks(console::ShowCalculator, console::ShowCalendar);
  // Relative names (forms, data) are looked up under the root from here on.
  // When the root cannot be entered the run goes on from where it is: every
  // file the system names is also prefixed with RootDir.
  if (!Settings().RootDir.empty()) platform::ChangeDirectory(Settings().RootDir);
  Program().ProgramName = kProgramName;
  Program().CustomerVariant = CustomerVariantFor(CompanyLine(7));
  return 0;
}

}  // namespace startup
