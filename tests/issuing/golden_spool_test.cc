// Golden spool files: one or two receipts of the demo office in each layout
// and setting, compared byte for byte with files that were checked line by
// line against the layouts.  QANTIRES_UPDATE_GOLDEN=1 rewrites the files instead
// (then read the changes before committing them).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "../support/demo_office.h"
#include "format/packed.h"
#include "issuing/issuing_run.h"
#include "office/selection.h"

namespace issuing {
namespace {

using testing_support::DemoOffice;

std::string GoldenPath(const std::string& name) {
  return std::string(QANTIRES_GOLDEN_DIR) + "/" + name + ".spool";
}

struct GoldenCase {
  const char* name;
  const char* language;
  std::vector<std::pair<std::string, std::string>> toraChanges;  // "Antic=N" -> "Antic=S"
  const char* firstUnit;
  const char* lastUnit;
};

void CheckGolden(const GoldenCase& c) {
  DemoOffice office(demo::BuildDemoRecords({}), "20261201", c.language);
  std::string tora = office.dir().Read("Tora.ini");
  for (const auto& [from, to] : c.toraChanges) {
    const std::string line = "\n" + from + "\r";  // the key's own line, not a comment
    ASSERT_NE(tora.find(line), std::string::npos) << from;
    tora.replace(tora.find(line), line.size(), "\n" + to + "\r");
  }
  office.dir().Write("Tora.ini", tora);
  ASSERT_TRUE(office.Start());
  office::Selection s = office::SelectionFromScreen();
  s.unitLow = format::PackDigits(c.firstUnit);
  s.unitHigh = format::PackDigits(c.lastUnit);
  IssueSummary summary;
  RunIssuingCycle(
      s, false, [](const std::string& t) { ADD_FAILURE() << t; }, &summary);
  const std::string spool = office.Spool();
  if (std::getenv("QANTIRES_UPDATE_GOLDEN") != nullptr) {
    std::ofstream(GoldenPath(c.name), std::ios::binary) << spool;
    return;
  }
  std::ifstream in(GoldenPath(c.name), std::ios::binary);
  ASSERT_TRUE(in) << "no golden file " << GoldenPath(c.name);
  std::stringstream golden;
  golden << in.rdbuf();
  EXPECT_EQ(spool, golden.str()) << c.name;
}

TEST(GoldenSpool, BoxedWithIssuerBoxAndDuplicateCatalan) {
  CheckGolden({"boxed_letterhead_duplicate_cat", "CAT", {}, "00040001", "00040001"});
}

TEST(GoldenSpool, BoxedWithoutIssuerBoxOrDuplicateSpanish) {
  CheckGolden({"boxed_plain_spa",
               "SPA",
               {{"Membret=S", "Membret=N"}, {"Duplicat=S", "Duplicat=N"}},
               "00010002",
               "00010002"});
}

TEST(GoldenSpool, FirstPreprintedWithCounterfoil) {
  CheckGolden(
      {"preprinted_counterfoil_cat", "CAT", {{"Antic=N", "Antic=S"}}, "00020000", "00020000"});
}

TEST(GoldenSpool, FirstPreprintedWithoutCounterfoilSpanish) {
  CheckGolden({"preprinted_plain_spa",
               "SPA",
               {{"Antic=N", "Antic=S"}, {"Matriu=S", "Matriu=N"}},
               "00010003",
               "00010004"});
}

TEST(GoldenSpool, SecondPreprintedForCustomerVariantTwo) {
  CheckGolden({"preprinted_variant2",
               "SPA",
               {{"Antic=N", "Antic=S"}, {"Linia7=B-17.654.321", "Linia7=B-08000002"}},
               "00050001",
               "00050001"});
}

}  // namespace
}  // namespace issuing
