// A whole office installation for one test: the demo office's text files
// and record files (optionally changed by the test) in a scratch directory,
// the environment the menu would prepare, a headless console, a fixed
// "today", and the program started up to the point where the issuing run
// begins.  Everything is put back when the object goes.
#pragma once

#include <string>
#include <vector>

#include "demo_records.h"
#include "temp_dir.h"

namespace testing_support {

class DemoOffice {
 public:
  // The demo office with the working date yyyymmdd and the session language.
  explicit DemoOffice(std::vector<demo::RecordFile> files = demo::BuildDemoRecords({}),
                      const std::string& workingDate = "20261201",
                      const std::string& language = "CAT");
  ~DemoOffice();
  DemoOffice(const DemoOffice&) = delete;
  DemoOffice& operator=(const DemoOffice&) = delete;

  // Start-up: configuration, forms, record files, receipt settings.  False
  // when a step failed.
  bool Start();

  const TempDir& dir() const { return dir_; }
  std::string Root() const { return dir_.path() + "/"; }
  // The spool file as the last cycle wrote it.
  std::string Spool() const;
  // Every record of DADES\<name>.dat in key order, in the sequential format.
  std::string Records(const std::string& name) const;

 private:
  TempDir dir_;
  std::string startDir_;
};

// The record file of that name among files.
demo::RecordFile& FileNamed(std::vector<demo::RecordFile>& files, const std::string& name);

}  // namespace testing_support
