// KELPRINT: the office's print program.  Reads the spool that QANTIRES left
// in the session folder and prints it where the spool's device line says
// (destination.h), or to the file --pdf or --text names.
#include <CLI/CLI.hpp>
#include <string>

#include "config/session_settings.h"
#include "destination.h"
#include "messages.h"
#include "platform/paths.h"
#include "preview.h"
#include "print_run.h"
#include "spool_layout.h"

namespace {

constexpr const char* kHelpFooter =
    "Devices (the spool's first line, from ToraTerm.ini [Sistema] Sortida):\n"
    "  NAME.pdf, NAME.txt   a PDF or text file (relative: in KELTMP), written\n"
    "                       under a temporary name and renamed when complete\n"
    "  (empty)              the CUPS default destination\n"
    "  NAME                 the CUPS destination NAME\n"
    "  raw:QUEUE            continuous-form printer: code page 850 text, the printer\n"
    "                       commands as Tora.ini [Impressores] translates them\n"
    "                       (QUEUE.@e=1B 40: hexadecimal bytes; untranslated,\n"
    "                       nothing), a form feed after every page, a raw job to QUEUE\n"
    "  raw:/PATH            the same bytes written to a device or file\n"
    "  PANTALLA             the preview on the screen\n"
    "  LPT1-9, PRN, COM1-9, \\\\SERVER\\QUEUE\n"
    "                       mapped by Tora.ini [Impressores] (LPT1=Oficina),\n"
    "                       else the CUPS default destination\n"
    "A spool without pages prints nothing.  The spool is never removed.\n"
    "Exit codes: 0 printed (or nothing to print), 1 spool unreadable or holding\n"
    "a line that is no record, 2 bad options, 3 printer problem (unknown\n"
    "destination, no CUPS scheduler, job refused), 4 a file or device that\n"
    "cannot be written, or no terminal for the preview.";

}  // namespace

int main(int argc, char** argv) {
  config::LoadSessionSettings();
  const std::string session = config::Settings().SessionDir;
  CLI::App app{"KELPRINT - prints the spool file of QANTIRES (kelprint.tmp in KELTMP)."};
  app.footer(kHelpFooter);
  app.set_version_flag("--version", "kelprint " QANTIRES_VERSION);
  std::string spool = platform::NativePath(session + "kelprint.tmp");
  std::string pdf, text;
  app.add_option("--spool", spool, "spool file to read")->capture_default_str();
  app.add_option("--pdf", pdf, "write the pages to this PDF file instead");
  app.add_option("--text", text, "write the pages to this text file (UTF-8) instead");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? kelprint::kPrintedOk : kelprint::kBadOptions;
  }

  kelprint::SpoolSurvey survey;
  if (!kelprint::SurveySpool(spool, false, &survey)) {
    kelprint::Tell(true,
                   kelprint::Say(kelprint::Words::kSpoolUnreadable, {platform::NativePath(spool)}));
    return kelprint::kSpoolProblem;
  }
  if (survey.badLineNumber != 0) {
    kelprint::Tell(true, kelprint::Say(kelprint::Words::kBadLine,
                                       {std::to_string(survey.badLineNumber), survey.badLine}));
    return kelprint::kSpoolProblem;
  }
  if (!survey.complete) {
    kelprint::Tell(true,
                   kelprint::Say(kelprint::Words::kSpoolIncomplete, {platform::NativePath(spool)}));
    return kelprint::kSpoolProblem;
  }
  if (survey.pageCount == 0) {
    kelprint::Tell(false, kelprint::Say(kelprint::Words::kNothingToPrint));
    return kelprint::kPrintedOk;
  }
  using Kind = kelprint::Destination::Kind;
  kelprint::Destination destination =
      !pdf.empty()    ? kelprint::Destination{Kind::kPdfFile, pdf}
      : !text.empty() ? kelprint::Destination{Kind::kTextFile, text}
                      : kelprint::ResolveDevice(survey.device, session,
                                                config::Settings().RootDir + "Tora.ini");
  if (destination.kind == Kind::kPreview) return kelprint::RunPreview(spool);
  const kelprint::PrintOutcome outcome = kelprint::PrintSpool(spool, survey, destination);
  kelprint::Tell(outcome.code != kelprint::kPrintedOk, outcome.message);
  return outcome.code;
}
