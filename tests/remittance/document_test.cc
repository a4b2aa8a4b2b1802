// The written file read back with libxml2: structure, sums, blocks by
// collection date, text reduced to the SEPA set and cut, and the file
// appearing only when it is complete.
#include "remittance/document.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "../support/file_size_limit.h"
#include "../support/temp_dir.h"
#include "pain_file.h"

namespace remittance {
namespace {

using testing_support::PainCents;
using testing_support::ReadPainFile;
using testing_support::TempDir;

Debit MakeDebit(const std::string& date, long long cents, const std::string& id) {
  Debit d;
  d.collectionDate = date;
  d.cents = cents;
  d.endToEndId = id;
  d.mandateId = "DEP0001" + id.substr(id.size() - 4);
  d.debtorName = "Ca\xA4\x65llas Llu\x8Bsa";  // "Cañellas Lluïsa" in code page 850
  d.debtorAccount = "ES9121000418450200051332";
  d.ultimateCreditor = "Puig i Soler, Maria Rosa";
  d.remittanceText = "REBUT " + id + " PERIODE 12 REF 001001V12";
  return d;
}

Document MakeDocument() {
  Document doc;
  doc.messageId = "QANTIRES-20261208100000";
  doc.created = {2026, 12, 8, 10, 0, 0};
  doc.creditor = {"ADMINISTRACI\xE0 DE FINQUES DEL TER",
                  "ES47000B17654321",
                  "ES7921000813610123456789",
                  "CAIXESBBXXX",
                  "2009-10-31",
                  "RCUR"};
  doc.debits = {MakeDebit("2026-12-05", 65000, "0001-00000121"),
                MakeDebit("2026-12-10", 123456, "0001-00000122"),
                MakeDebit("2026-12-05", 1, "0002-00000008")};
  return doc;
}

TEST(Document, FollowsTheMessageStructureWithOneBlockPerCollectionDate) {
  TempDir dir;
  const std::string path = dir.Sub("remesa.xml");
  ASSERT_TRUE(WriteDocument(path, MakeDocument()));
  const testing_support::PainFile f = ReadPainFile(path);
  ASSERT_TRUE(f.parsed);
  for (const std::string& p : f.problems) ADD_FAILURE() << p;
  EXPECT_EQ(f.messageId, "QANTIRES-20261208100000");
  EXPECT_EQ(f.created, "2026-12-08T10:00:00");
  EXPECT_EQ(f.initiatingParty, "ES47000B17654321");
  EXPECT_EQ(f.count, 3);
  EXPECT_EQ(f.sum, "1884.57");
  ASSERT_EQ(f.blocks.size(), 2u);
  EXPECT_EQ(f.blocks[0].collectionDate, "2026-12-05");
  EXPECT_EQ(f.blocks[0].count, 2);
  EXPECT_EQ(f.blocks[0].sum, "650.01");
  EXPECT_EQ(f.blocks[1].collectionDate, "2026-12-10");
  EXPECT_EQ(f.blocks[1].sum, "1234.56");
  EXPECT_NE(f.blocks[0].id, f.blocks[1].id);
  const testing_support::PainDebit& d = f.blocks[0].debits[1];
  EXPECT_EQ(d.endToEndId, "0002-00000008");
  EXPECT_EQ(d.amount, "0.01");
  EXPECT_EQ(d.signatureDate, "2009-10-31");
  EXPECT_EQ(d.debtorName, "Canellas Lluisa");
  EXPECT_EQ(f.blocks[0].creditorName, "ADMINISTRACIO DE FINQUES DEL TER");
  EXPECT_EQ(f.blocks[0].creditorBic, "CAIXESBBXXX");
  EXPECT_EQ(f.blocks[0].sequenceType, "RCUR");
  long long sum = 0;
  for (const auto& b : f.blocks) {
    for (const auto& t : b.debits) sum += PainCents(t.amount);
  }
  EXPECT_EQ(sum, PainCents(f.sum));
}

TEST(Document, LongTextsAreCutAndBlankOptionalPartiesLeftOut) {
  TempDir dir;
  Document doc = MakeDocument();
  doc.debits.resize(1);
  doc.debits[0].debtorName = std::string(90, 'N');
  doc.debits[0].remittanceText = std::string(200, 'T');
  doc.creditor.bic.clear();
  doc.debits[0].ultimateCreditor = "   ";
  ASSERT_TRUE(WriteDocument(dir.Sub("r.xml"), doc));
  const testing_support::PainFile f = ReadPainFile(dir.Sub("r.xml"));
  for (const std::string& p : f.problems) ADD_FAILURE() << p;
  ASSERT_EQ(f.blocks.size(), 1u);
  EXPECT_EQ(f.blocks[0].debits[0].debtorName.size(), 70u);
  EXPECT_EQ(f.blocks[0].debits[0].text.size(), 140u);
  EXPECT_EQ(f.blocks[0].creditorBic, "");  // NOTPROVIDED instead, checked by the structure
  EXPECT_EQ(f.blocks[0].debits[0].ultimateCreditor, "");  // left out, not empty
}

TEST(Document, AFileThatCannotBeWrittenLeavesNothingBehind) {
  TempDir dir;
  EXPECT_FALSE(WriteDocument(dir.Sub("missing/folder/r.xml"), MakeDocument()));
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(Document, AnOlderFileIsReplacedAndNoTemporaryStays) {
  TempDir dir;
  dir.Write("r.xml", "old");
  ASSERT_TRUE(WriteDocument(dir.Sub("r.xml"), MakeDocument()));
  EXPECT_EQ(dir.Read("r.xml").substr(0, 5), "<?xml");
  EXPECT_FALSE(std::filesystem::exists(dir.Sub("r.xml.tmp")));
}

// A full disk stops the writer at its first failure (a large document
// once spun inside libxml2 after it), and leaves last month's file as it was.
TEST(Document, AFullDiskLeavesTheEarlierFileAndNoPiece) {
  TempDir dir;
  dir.Write("r.xml", "last month");
  Document doc = MakeDocument();
  for (int i = 0; i < 20000; ++i) doc.debits.push_back(MakeDebit("2026-12-05", 100 + i, "0003-" + std::to_string(10000000 + i)));
  {
    testing_support::FileSizeLimit full(20 * 1024);
    EXPECT_FALSE(WriteDocument(dir.Sub("r.xml"), doc));
  }
  EXPECT_EQ(dir.Read("r.xml"), "last month");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

// The file is written under a name nobody can plant a link at beforehand:
// a link at the old temporary name is left alone with its target.
TEST(Document, ALinkBesideTheFileIsNeverWrittenThrough) {
  TempDir dir;
  dir.Write("target", "keep");
  ASSERT_EQ(::symlink(dir.Sub("target").c_str(), dir.Sub("r.xml.tmp").c_str()), 0);
  ASSERT_EQ(::symlink(dir.Sub("target").c_str(), dir.Sub("r.xml").c_str()), 0);
  ASSERT_TRUE(WriteDocument(dir.Sub("r.xml"), MakeDocument()));
  EXPECT_EQ(dir.Read("target"), "keep");
  EXPECT_FALSE(std::filesystem::is_symlink(dir.Sub("r.xml")));
}

TEST(Document, AmountsHaveTwoDecimals) {
  EXPECT_EQ(EuroAmount(0), "0.00");
  EXPECT_EQ(EuroAmount(5), "0.05");
  EXPECT_EQ(EuroAmount(123456), "1234.56");
  EXPECT_EQ(EuroAmount(99999999999), "999999999.99");
}

}  // namespace
}  // namespace remittance
