// Print jobs through the CUPS scheduler (libcups destination API; the
// scheduler is the one CUPS_SERVER or the client configuration names).
#pragma once

#include <cups/cups.h>

#include <cstdio>
#include <string>
#include <vector>

namespace kelprint {

enum class JobOutcome { kPrinted, kUnknownDestination, kNoScheduler, kRefused };

struct JobResult {
  JobOutcome outcome = JobOutcome::kPrinted;
  int jobId = 0;
  std::string destination;  // the destination's name (the default's, when asked for it)
  std::string cause;        // the scheduler's words, when it failed
};

// One job to one destination: the destination is looked up first, so that
// nothing is rendered for a destination that is not there.
class CupsJob {
 public:
  // Looks up the named destination, or the default one when the name is
  // empty; result() tells whether it was found (outcome kPrinted so far).
  explicit CupsJob(const std::string& destination);
  ~CupsJob();
  CupsJob(const CupsJob&) = delete;
  CupsJob& operator=(const CupsJob&) = delete;

  const JobResult& result() const { return result_; }

  // Sends the whole stream (read from its start) as one document of the
  // given MIME type ("application/pdf", "application/vnd.cups-raw").
  const JobResult& Send(const std::string& title, const char* mimeType, std::FILE* data);

 private:
  cups_dest_t* dest_ = nullptr;
  JobResult result_;
};

// The names of the scheduler's destinations; empty when there is none or no
// scheduler answers.
std::vector<std::string> DestinationNames();

}  // namespace kelprint
