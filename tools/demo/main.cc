// qantires_demo: writes a demo installation's text files and its records in the
// sequential load format, for demo/make-installation to load with recutil.
//
//   qantires_demo ROOT [--date yyyymmdd] [--language CAT|SPA|GLG|OCI]
//                [--owners N --properties-per-owner M --units-per-property K
//                 --monthly-only]
//
// ROOT receives Tora.ini, FORMS\, LOCALE\, AJUDA\ and session\ (Sessio.ini,
// ToraTerm.ini); ROOT/load receives NAME.seq and NAME.key for the six record
// files.
#include <CLI/CLI.hpp>
#include <ctime>

#include "demo_files.h"
#include "demo_records.h"
#include "platform/new_file.h"

namespace {

std::string Today() {
  std::time_t now = std::time(nullptr);
  char buf[16];
  std::strftime(buf, sizeof buf, "%Y%m%d", std::localtime(&now));
  return buf;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"qantires_demo - writes the files of a demo installation of QANTIRES"};
  app.set_version_flag("--version", "qantires_demo " QANTIRES_VERSION);
  std::string root;
  demo::InstallationText text;
  text.workingDate = Today();
  text.language = "CAT";
  demo::BulkSize bulk;
  app.add_option("root", root, "installation folder to write")->required();
  app.add_option("--date", text.workingDate, "working date, yyyymmdd (default: today)");
  app.add_option("--language", text.language, "session language: CAT, SPA, GLG or OCI")
      ->check(CLI::IsMember({"CAT", "SPA", "GLG", "OCI"}));
  app.add_option("--owners", bulk.owners, "generated owners added to the demo office")
      ->check(CLI::Range(0, 9000));
  app.add_option("--properties-per-owner", bulk.propertiesPerOwner)->check(CLI::Range(1, 20));
  app.add_option("--units-per-property", bulk.unitsPerProperty)->check(CLI::Range(1, 999));
  app.add_flag("--monthly-only", bulk.monthlyOnly,
               "generated units are all due every month (periodicity 1)");
  CLI11_PARSE(app, argc, argv);

  if (root.back() != '/') root += '/';
  text.root = root;
  text.sessionDir = root + "session/";
  std::string error;
  if (!demo::WriteInstallationText(text, &error)) {
    std::fprintf(stderr, "qantires_demo: %s\n", error.c_str());
    return 1;
  }
  size_t total = 0;
  for (const demo::RecordFile& f : demo::BuildDemoRecords(bulk)) {
    if (!platform::WriteNewFile(root + "load/" + f.name + ".seq", demo::SequentialText(f)) ||
        !platform::WriteNewFile(root + "load/" + f.name + ".key", demo::KeyDescription(f))) {
      std::fprintf(stderr, "qantires_demo: cannot write the records of %s\n", f.name.c_str());
      return 1;
    }
    total += f.records.size();
  }
  std::printf("qantires_demo: %s written (%zu records)\n", root.c_str(), total);
  return 0;
}
