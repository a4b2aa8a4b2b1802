// One job: find the destination, create the job, send the document.  The
// document is complete before the job is created, so a failure while
// rendering never leaves half a job on a printer.
#include "cups_job.h"

#include <cups/cups.h>

#include <array>

namespace kelprint {
namespace {

std::string LastCause() {
  const char* text = cupsLastErrorString();
  return text != nullptr ? text : "";
}

// Whether the scheduler answers at all: a destination that cannot be found
// may only mean that nobody was there to ask.
bool SchedulerDown() {
  http_t* http =
      httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 5000, nullptr);
  if (http == nullptr) return true;
  httpClose(http);
  return false;
}

JobResult Fail(JobOutcome outcome, const std::string& destination) {
  return {outcome, 0, destination, LastCause()};
}

bool SendDocument(cups_dest_t* dest, cups_dinfo_t* info, int jobId, const char* mimeType,
                  std::FILE* data) {
  if (cupsStartDestDocument(CUPS_HTTP_DEFAULT, dest, info, jobId, "kelprint", mimeType, 0, nullptr,
                            1) != HTTP_STATUS_CONTINUE) {
    return false;
  }
  std::rewind(data);
  std::array<char, 65536> buffer;
  bool sent = true;
  size_t n = 0;
  while (sent && (n = std::fread(buffer.data(), 1, buffer.size(), data)) > 0) {
    sent = cupsWriteRequestData(CUPS_HTTP_DEFAULT, buffer.data(), n) == HTTP_STATUS_CONTINUE;
  }
  const ipp_status_t finished = cupsFinishDestDocument(CUPS_HTTP_DEFAULT, dest, info);
  return sent && finished <= IPP_STATUS_OK_CONFLICTING;
}

}  // namespace

CupsJob::CupsJob(const std::string& destination) {
  dest_ = cupsGetNamedDest(CUPS_HTTP_DEFAULT, destination.empty() ? nullptr : destination.c_str(),
                           nullptr);
  if (dest_ == nullptr) {
    result_ = Fail(SchedulerDown() ? JobOutcome::kNoScheduler : JobOutcome::kUnknownDestination,
                   destination);
  } else {
    result_.destination = dest_->name;
  }
}

CupsJob::~CupsJob() {
  if (dest_ != nullptr) cupsFreeDests(1, dest_);
}

const JobResult& CupsJob::Send(const std::string& title, const char* mimeType, std::FILE* data) {
  if (dest_ == nullptr) return result_;
  const std::string name = dest_->name;
  cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest_);
  if (info == nullptr) {
    result_ = Fail(SchedulerDown() ? JobOutcome::kNoScheduler : JobOutcome::kRefused, name);
  } else if (cupsCreateDestJob(CUPS_HTTP_DEFAULT, dest_, info, &result_.jobId, title.c_str(), 0,
                               nullptr) > IPP_STATUS_OK_CONFLICTING) {
    result_ = Fail(JobOutcome::kRefused, name);
  } else if (!SendDocument(dest_, info, result_.jobId, mimeType, data)) {
    const int jobId = result_.jobId;
    result_ = Fail(JobOutcome::kRefused, name);
    cupsCancelDestJob(CUPS_HTTP_DEFAULT, dest_, jobId);
  }
  if (info != nullptr) cupsFreeDestInfo(info);
  return result_;
}

std::vector<std::string> DestinationNames() {
  cups_dest_t* dests = nullptr;
  const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) {
    if (dests[i].instance == nullptr) names.emplace_back(dests[i].name);
  }
  cupsFreeDests(count, dests);
  return names;
}

}  // namespace kelprint
