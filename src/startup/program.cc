// Start-up and close-down order of the program.
#include "startup/program.h"

#include "issuing/record_layouts.h"
#include "records/open_file.h"
#include "records/record_table.h"
#include "startup/settings.h"

namespace startup {
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
  records::OpenRecordFile(file.fileId, Settings().RootDir + file.name, file.area, status);
  return status;
}

}  // namespace

ProgramState& Program() {
  static ProgramState state;
  return state;
}

void ResetProgram() { Program() = ProgramState{}; }

std::int16_t OpenIssuingFiles() {
  issuing::RecordAreas& areas = issuing::Areas();
  std::int16_t status = OpenBelowRoot({503, "DADES\\TVRebut", areas.conceptType});
  if (status != 0) return status;
  // The concept-type names are copied into the labels of screen 1 here,
  // before the other files are opened, once the screen tables exist.
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

int RunProgram() {
  Program().ProgramName = kProgramName;
  if (OpenIssuingFiles() != 0) return kStartFailureExitCode;
  // Close-down: the record files are released together.
  std::int16_t status = 0;
  records::ResetRecordFiles(status);
  return 0;
}

}  // namespace startup
