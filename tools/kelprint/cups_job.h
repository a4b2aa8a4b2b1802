// Print jobs through the CUPS scheduler (libcups destination API; the
// scheduler is the one CUPS_SERVER or the client configuration names).
#pragma once

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

// Sends the whole stream (read from its start) as one document of the given
// MIME type ("application/pdf", "application/vnd.cups-raw") to the named
// destination, or to the default one when the name is empty.
JobResult PrintStream(const std::string& destination, const std::string& title,
                      const char* mimeType, std::FILE* data);

// The names of the scheduler's destinations; empty when there is none or no
// scheduler answers.
std::vector<std::string> DestinationNames();

}  // namespace kelprint
