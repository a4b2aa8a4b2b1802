// Rendering to temporary files and handing them on.
#include "print_run.h"

#include <cups/cups.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>

#include "cups_job.h"
#include "messages.h"
#include "outputs.h"
#include "platform/clock.h"
#include "platform/new_file.h"

namespace kelprint {
namespace {

using Kind = Destination::Kind;

std::unique_ptr<PageWriter> MakeWriter(const Destination& d, std::FILE* out,
                                       const SpoolSurvey& survey) {
  switch (d.kind) {
    case Kind::kTextFile:
      return MakeTextWriter(out);
    case Kind::kRawQueue:
    case Kind::kRawPath:
      return MakeRawWriter(out, PrinterCommands(d.toraIni, d.name));
    default:
      return MakePdfWriter(out, survey.columns, survey.rows, survey.qrRooms);
  }
}

// Lays out and writes the pages one at a time.
bool Render(const std::string& spoolPath, const SpoolSurvey& survey, const Destination& d,
            std::FILE* out, std::string* error) {
  SpoolReader reader;
  if (!reader.Open(spoolPath)) {
    *error = std::strerror(errno);
    return false;
  }
  std::unique_ptr<PageWriter> writer = MakeWriter(d, out, survey);
  Page page;
  while (reader.NextPage(&page)) writer->AddPage(page);
  return writer->Finish(error);
}

// Writes through `fill` to a new file beside `path`, put in place only when
// complete and synced (platform::NewFile).
bool WriteAtomically(const std::string& path,
                     const std::function<bool(std::FILE*, std::string*)>& fill,
                     std::string* error) {
  platform::NewFile file(path);
  if (!file.ok()) {
    *error = std::strerror(file.error());
    return false;
  }
  if (!fill(file.file(), error)) return false;
  if (!file.Commit()) {
    *error = std::strerror(file.error());
    return false;
  }
  return true;
}

// A device (a printer port) is written in place; anything else atomically.
bool IsDevice(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

PrintOutcome ToFile(const std::string& spoolPath, const SpoolSurvey& survey, const Destination& d) {
  const auto fill = [&](std::FILE* out, std::string* error) {
    return Render(spoolPath, survey, d, out, error);
  };
  std::string error;
  bool ok = false;
  if (d.kind == Kind::kRawPath && IsDevice(d.name)) {
    std::FILE* out = std::fopen(d.name.c_str(), "wb");
    ok = out != nullptr && fill(out, &error);
    if (out == nullptr) error = std::strerror(errno);
    if (out != nullptr && std::fclose(out) != 0 && ok) {
      error = std::strerror(errno);
      ok = false;
    }
  } else {
    ok = WriteAtomically(d.name, fill, &error);
  }
  if (!ok) {
    return {kOutputProblem, Say(Words::kCannotWrite, {d.name, error})};
  }
  return {kPrintedOk, Say(Words::kWritten, {std::to_string(survey.pageCount), d.name})};
}

std::string JobTitle(const SpoolSurvey& survey) {
  const platform::DateTime now = platform::Today();
  char date[16];
  std::snprintf(date, sizeof date, "%02d/%02d/%04d", now.day, now.month, now.year);
  return Say(Words::kJobTitle, {date, std::to_string(survey.receipts)});
}

PrintOutcome ToCups(const std::string& spoolPath, const SpoolSurvey& survey, const Destination& d) {
  CupsJob cups(d.name);
  if (cups.result().outcome == JobOutcome::kPrinted) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> temp(std::tmpfile(), std::fclose);
    std::string error = temp ? "" : std::strerror(errno);
    if (!temp || !Render(spoolPath, survey, d, temp.get(), &error)) {
      return {kOutputProblem, Say(Words::kCannotWrite, {"tmpfile", error})};
    }
    cups.Send(JobTitle(survey), d.kind == Kind::kRawQueue ? CUPS_FORMAT_RAW : CUPS_FORMAT_PDF,
              temp.get());
  }
  const JobResult& job = cups.result();
  // The default destination is named by the device text that led to it.
  std::string name = job.destination;
  if (name.empty()) {
    name = Say(Words::kDefaultDestination) + (d.device.empty() ? "" : " (" + d.device + ")");
  }
  switch (job.outcome) {
    case JobOutcome::kPrinted:
      return {kPrintedOk, Say(Words::kPrinted,
                              {std::to_string(survey.pageCount), name, std::to_string(job.jobId)})};
    case JobOutcome::kUnknownDestination:
      return {kPrinterProblem, Say(Words::kUnknownDestination, {name}) + " (" + job.cause + ")"};
    case JobOutcome::kNoScheduler:
      return {kPrinterProblem, Say(Words::kNoScheduler, {name, job.cause})};
    case JobOutcome::kRefused:
      return {kPrinterProblem, Say(Words::kJobRefused, {name, job.cause})};
  }
  return {kPrinterProblem, ""};
}

}  // namespace

PrintOutcome PrintSpool(const std::string& spoolPath, const SpoolSurvey& survey,
                        const Destination& destination) {
  switch (destination.kind) {
    case Kind::kPdfFile:
    case Kind::kTextFile:
    case Kind::kRawPath:
      return ToFile(spoolPath, survey, destination);
    default:
      return ToCups(spoolPath, survey, destination);
  }
}

}  // namespace kelprint
