// Start-up and close-down order of the program.
#include "app/program.h"

#include <cstdio>

#include "app/terminal_notice.h"
#include "btrieve/record_manager.h"
#include "config/company.h"
#include "config/session_settings.h"
#include "console/console_state.h"
#include "console/popups.h"
#include "format/text.h"
#include "issuing/issuing_run.h"
#include "ledger/register_settings.h"
#include "office/receipt_settings.h"
#include "office/record_layouts.h"
#include "office/remittance_settings.h"
#include "office/screen_form.h"
#include "platform/cp850.h"
#include "platform/current_dir.h"
#include "platform/paths.h"
#include "platform/program_end.h"
#include "records/open_file.h"
#include "records/record_reads.h"
#include "records/record_table.h"
#include "terminal/cell_buffer.h"
#include "terminal/headless_backend.h"
#include "terminal/tty_backend.h"
#include "terminal/tty_render.h"

namespace app {
namespace {

struct IssuingFile {
  std::int16_t fileId;
  const char* name;  // below the installation root
  records::RecordArea area;
};

// A file that cannot be opened ends the program inside OpenRecordFile; the
// status only comes back here when that end is replaced (tests).
std::int16_t OpenBelowRoot(const IssuingFile& file) {
  std::int16_t status = 0;
  records::OpenRecordFile(file.fileId, config::Settings().RootDir + file.name, file.area, status);
  return status;
}

void CloseDown() {
  std::int16_t status = 0;
  records::ResetRecordFiles(status);
}

void TellOnStandardError(const std::string& text) {
  std::fprintf(stderr, "qantires: %s\n", platform::Cp850ToUtf8(text).c_str());
}

// The form file's path as opened; without KELROOT, the variables that
// locate an installation.
std::string NoFormFileMessage() {
  const std::string& root = config::Settings().RootDir;
  std::string text = "cannot read the screen-form file " +
                     platform::Utf8ToCp850(platform::NativePath(root + office::ScreenFormPath()));
  if (root.empty()) {
    text += "; KELROOT is not set (an installation is located by KELROOT, its root folder, "
            "KELEXE, the folder of its programs, and KELTMP, the operator's session folder)";
  }
  return text;
}

}  // namespace

void LoadConfiguration() {
  config::LoadInstallationConfig();
  console::SetHotKeyHooks(console::ShowCalculator, console::ShowCalendar);
  terminal::SetInputWaitHook(btrieve::ReleaseHeldReads);
  // Relative names (forms, data) are looked up under the root from here on.
  // When the root cannot be entered the run goes on from where it is: every
  // file the system names is also prefixed with RootDir.
  if (!config::Settings().RootDir.empty()) platform::ChangeDirectory(config::Settings().RootDir);
  config::Program().ProgramName = config::kProgramName;
  config::Program().CustomerVariant = config::CustomerVariantFor(config::CompanyLine(7));
}

bool LoadScreenForms() {
  if (!office::ReadScreenForm(office::ScreenFormPath())) return false;
  office::PresetSelection();
  return true;
}

void LoadConceptLabels() {
  std::int16_t status = 0;
  records::FindByKey(issuing::kConceptTypeFile, 0, std::string(1, '\x01'), 1, status);
  while (status == 0) {
    office::ConceptTypeView type(office::Areas().conceptType);
    if (type.Code() > 10) break;
    office::ScreenField* field = office::FieldAt(1, type.Code() + 15);
    if (field != nullptr && field->label.size() > 5) {
      const std::string name = format::TrimRight(type.Name());
      const size_t room = field->label.size() - 5;
      field->label.replace(5, std::min(room, name.size()), name.substr(0, room));
    }
    records::SkipRecords(issuing::kConceptTypeFile, 1, status);
  }
}

std::int16_t OpenIssuingFiles() {
  office::RecordAreas& areas = office::Areas();
  std::int16_t status = OpenBelowRoot({503, "DADES\\TVRebut", areas.conceptType});
  if (status != 0) return status;
  LoadConceptLabels();
  const IssuingFile rest[] = {
      {502, "DADES\\TRemeses", areas.remittance}, {505, "DADES\\PropietV", areas.owner},
      {506, "DADES\\FinquesV", areas.property},   {507, "DADES\\DepartaV", areas.unit},
      {509, "DADES\\CobramV", areas.mandate},
  };
  for (const IssuingFile& file : rest) {
    status = OpenBelowRoot(file);
    if (status != 0) return status;
  }
  return 0;
}

int RunProgram(const RunOptions& options) {
  if (options.batch) {
    // No terminal shows the screen: its messages (a record file that cannot
    // be opened, a locked record) go to standard error.
    terminal::UseHeadlessConsole();
    console::Console().messageEcho = TellOnStandardError;
    // Nobody is there to see a wait: a file held by another user ends the
    // run after this long instead of hanging it.
    records::RecordFiles().lockWaitLimit = options.lockWaitSeconds * 1000;
  }
  LoadConfiguration();
  if (!LoadScreenForms()) {
    TellOnStandardError(NoFormFileMessage());
    return kStartFailureExitCode;
  }
  // The screen is needed from here on: a record file that cannot be opened
  // says so on it and waits for a key.
  terminal::SetTooSmallNotice(TooSmallNotice);
  // Escape from the notice leaves as Escape on the selection screen does.
  terminal::SetTooSmallLeave([] {
    CloseDown();
    platform::EndProgram(0);
  });
  if (!options.batch && !terminal::UseTerminalConsole()) {
    TellOnStandardError("the selection screen needs a terminal; use --batch to issue without one");
    return kStartFailureExitCode;
  }
  if (OpenIssuingFiles() != 0) {
    CloseDown();
    return kStartFailureExitCode;
  }
  office::ReadReceiptSettings();
  office::ReadRemittanceSettings();
  ledger::ReadRegisterSettings();
  int code = 0;
  if (options.batch) {
    code = issuing::RunBatchCycle(options.selection, TellOnStandardError);
  } else {
    issuing::IssueReceipts();
  }
  CloseDown();
  return code;
}

}  // namespace app
