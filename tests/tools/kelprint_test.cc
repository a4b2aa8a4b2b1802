#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "../support/temp_dir.h"
#include "destination.h"
#include "outputs.h"
#include "platform/program_state.h"
#include "print_run.h"
#include "spool_layout.h"

namespace kelprint {
namespace {

using testing_support::TempDir;

// Every page of a spool text, laid out record by record.
std::vector<Page> LayOut(std::string_view spool) {
  PageBuilder builder;
  std::vector<Page> pages;
  size_t pos = 0;
  while (pos < spool.size()) {
    size_t end = std::min(spool.find('\n', pos), spool.size());
    std::string_view line = spool.substr(pos, end - pos);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (!line.empty()) builder.Record(line);
    if (std::optional<Page> done = builder.TakeFinished()) pages.push_back(*done);
    pos = end + 1;
  }
  if (std::optional<Page> last = builder.TakeOpen()) pages.push_back(*last);
  return pages;
}

std::string Written(const std::function<std::unique_ptr<PageWriter>(std::FILE*)>& make,
                    const std::vector<Page>& pages) {
  char* buffer = nullptr;
  size_t size = 0;
  std::FILE* out = open_memstream(&buffer, &size);
  std::unique_ptr<PageWriter> writer = make(out);
  for (const Page& p : pages) writer->AddPage(p);
  std::string error;
  EXPECT_TRUE(writer->Finish(&error)) << error;
  std::fclose(out);
  std::string bytes(buffer, size);
  std::free(buffer);
  return bytes;
}

// Ends the child process of a test: its failed expectations go to standard
// error, which the parent shows, and the exit code is 1 when there were any.
[[noreturn]] void EndChildProcess() {
  const testing::TestResult& result =
      *testing::UnitTest::GetInstance()->current_test_info()->result();
  for (int i = 0; i < result.total_part_count(); ++i) {
    const testing::TestPartResult& part = result.GetTestPartResult(i);
    if (part.failed()) {
      std::fprintf(stderr, "%s:%d: %s\n", part.file_name() ? part.file_name() : "",
                   part.line_number(), part.message());
    }
  }
  std::fflush(stderr);
  std::_Exit(result.Failed() ? 1 : 0);
}

// The tests that drive the page builder run their body in a child process,
// as a death test that must exit with 0: a crash of the builder fails that
// one test instead of ending tools_tests and hiding every result after it.
void InChildProcess(void (*body)()) {
  EXPECT_EXIT(
      {
        body();
        EndChildProcess();
      },
      ::testing::ExitedWithCode(0), "")
      << "the test failed or crashed in its child process";
}

#define PAGE_BUILDER_TEST(suite, name) \
  void suite##name##Body();            \
  TEST(suite, name) {                  \
    InChildProcess(suite##name##Body); \
  }                                    \
  void suite##name##Body()

PAGE_BUILDER_TEST(KelprintLayout, TextsSitByColumnAndJustification) {
  std::vector<Page> pages = LayOut(
      "DEVICELPT1\r\nPAGE 66 \r\n*@e\r\nJUSE\r\n 3 ,abc, 0 \r\n 0 ,de, 0 \r\nJUSD\r\n"
      " 10 ,xyz, 1 \r\nJUSC\r\n 5 ,mid, 2 \r\n");
  ASSERT_EQ(pages.size(), 1u);
  const Page& p = pages[0];
  EXPECT_EQ(p.length, 66);
  ASSERT_EQ(p.lines.size(), 2u);
  EXPECT_EQ(p.lines[0], "  abcde  xyz");
  EXPECT_EQ(p.lines[1], "   mid");
  EXPECT_TRUE(p.opensWithControl);
}

PAGE_BUILDER_TEST(KelprintLayout, FillPatternRunsToItsColumnAndLaterTextsOverwriteIt) {
  std::vector<Page> pages = LayOut(
      "DEVICE\r\nPAGE 24 \r\nJUSN 10 \\.\\\r\n 1 ,|NUM , 0 \r\n 0 ,: 7, 0 \r\nJUSE\r\n"
      " 15 ,|, 1 \r\nJUSN 8 \\ .\\\r\n 0 ,, 1 \r\n");
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages[0].lines[0], "|NUM .....: 7 |");
  EXPECT_EQ(pages[0].lines[1], " . . . .");
}

PAGE_BUILDER_TEST(KelprintLayout, FillAppliesToTheNextTextOnly) {
  std::vector<Page> pages =
      LayOut("DEVICE\r\nPAGE 24 \r\nJUSN 30 \\.\\\r\n 1 ,a, 1 \r\n 1 ,b, 1 \r\n");
  ASSERT_EQ(pages[0].lines.size(), 2u);
  EXPECT_EQ(pages[0].lines[0], "a" + std::string(29, '.'));
  EXPECT_EQ(pages[0].lines[1], "b");
}

PAGE_BUILDER_TEST(KelprintLayout, EveryPageRecordStartsAPageAndCommasInTextsSurvive) {
  std::vector<Page> pages = LayOut("DEVICE\nPAGE 24 \n 1 ,1,234.56, 1 \nPAGE 24 \n 2 ,b, 1 \n");
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].lines[0], "1,234.56");
  EXPECT_EQ(pages[1].lines[0], " b");
  EXPECT_FALSE(pages[1].opensWithControl);
}

PAGE_BUILDER_TEST(KelprintLayout, ControlsKeepTheirBytesAndTheLineTheyCameBefore) {
  std::vector<Page> pages =
      LayOut("DEVICE\r\nPAGE 24 \r\n*\x1b@\r\n 1 ,a, 1 \r\n*\x1bG,x\r\n 1 ,b, 1 \r\n");
  ASSERT_EQ(pages[0].controls.size(), 2u);
  EXPECT_EQ(pages[0].controls[0].bytes, "\x1b@");
  EXPECT_EQ(pages[0].controls[0].line, 0);
  EXPECT_EQ(pages[0].controls[1].bytes, "\x1bG,x");
  EXPECT_EQ(pages[0].controls[1].line, 1);
}

PAGE_BUILDER_TEST(KelprintReader, PagesComeOneAtATimeAndASeekLaysAPageOutAgain) {
  TempDir dir;
  dir.Write("s.tmp",
            "DEVICEraw:x\r\nPAGE 66 \r\n*@e\r\nJUSC\r\n 10 ,one, 1 \r\nPAGE 66 \r\n 1 ,more, 1 \r\n"
            "PAGE 24 \r\n*@e\r\n 10 ,three, 1 \r\n");
  SpoolSurvey survey;
  ASSERT_TRUE(SurveySpool(dir.Sub("s.tmp"), true, &survey));
  EXPECT_EQ(survey.device, "raw:x");
  EXPECT_EQ(survey.pageCount, 3);
  ASSERT_EQ(survey.marks.size(), 3u);
  EXPECT_EQ(survey.receipts, 2);  // the second page continues the first receipt
  EXPECT_EQ(survey.rows, 66);
  EXPECT_EQ(survey.columns, 12);
  EXPECT_EQ(survey.badLineNumber, 0);

  SpoolReader reader;
  ASSERT_TRUE(reader.Open(dir.Sub("s.tmp")));
  Page page;
  reader.Seek(survey.marks[2]);
  ASSERT_TRUE(reader.NextPage(&page));
  EXPECT_EQ(page.length, 24);
  EXPECT_EQ(page.lines[0], "       three");  // centred: the justification at the mark holds
  EXPECT_FALSE(reader.NextPage(&page));
  reader.Seek(survey.marks[1]);
  ASSERT_TRUE(reader.NextPage(&page));
  EXPECT_EQ(page.lines[0], "more");
}

PAGE_BUILDER_TEST(KelprintReader, TheFirstLineThatIsNoRecordIsNamedAndASpoolWithoutPagesHasNone) {
  TempDir dir;
  dir.Write("bad.tmp", "DEVICE\r\nPAGE 24 \r\ngarbage\r\n 99999999 ,far, -99999999 \r\nworse\r\n");
  SpoolSurvey survey;
  ASSERT_TRUE(SurveySpool(dir.Sub("bad.tmp"), false, &survey));
  EXPECT_EQ(survey.badLineNumber, 3);
  EXPECT_EQ(survey.badLine, "garbage");
  EXPECT_LE(survey.columns, 1000);

  dir.Write("empty.tmp", "DEVICErebuts.pdf\r\n");
  SpoolSurvey empty;
  ASSERT_TRUE(SurveySpool(dir.Sub("empty.tmp"), false, &empty));
  EXPECT_EQ(empty.pageCount, 0);
  EXPECT_TRUE(empty.marks.empty());
  EXPECT_FALSE(SurveySpool(dir.Sub("missing.tmp"), false, &empty));
}

// Only a spool that ends with its end record was finished by its writer;
// nothing may follow that record.
PAGE_BUILDER_TEST(KelprintReader, ASpoolIsCompleteOnlyWithItsEndRecordLast) {
  TempDir dir;
  const std::string page = "DEVICE\r\nPAGE 24 \r\n 1 ,a, 1 \r\n";
  dir.Write("cut.tmp", page);
  dir.Write("whole.tmp", page + "END\r\n");
  dir.Write("after.tmp", page + "END\r\n 1 ,b, 1 \r\n");
  SpoolSurvey cut, whole, after;
  ASSERT_TRUE(SurveySpool(dir.Sub("cut.tmp"), false, &cut));
  ASSERT_TRUE(SurveySpool(dir.Sub("whole.tmp"), false, &whole));
  ASSERT_TRUE(SurveySpool(dir.Sub("after.tmp"), false, &after));
  EXPECT_FALSE(cut.complete);
  EXPECT_TRUE(whole.complete);
  EXPECT_EQ(whole.pageCount, 1);
  EXPECT_EQ(after.badLineNumber, 5);
}

PAGE_BUILDER_TEST(KelprintOutput, TextRawAndPdfWritersShowTheSamePages) {
  std::vector<Page> pages = LayOut(
      "DEVICE\r\nPAGE 24 \r\n*\x1b@\r\n 1 ,MAR\x80 \xDA\xC4\xBF  , 1 \r\n 0 ,, 1 \r\n"
      " 2 ,x, 1 \r\n*\x1b"
      "E\r\nPAGE 24 \r\n 1 ,b, 1 \r\n");
  EXPECT_EQ(Written(MakeTextWriter, pages),
            "MAR\xC3\x87 \xE2\x94\x8C\xE2\x94\x80\xE2\x94\x90\n\n x\n\f\nb\n");
  // Without a table the printer commands send nothing.
  EXPECT_EQ(Written([](std::FILE* out) { return MakeRawWriter(out, PrinterCommands()); }, pages),
            "MAR\x80 \xDA\xC4\xBF\r\n\r\n x\r\n\fb\r\n\f");
  const std::string pdf = Written([](std::FILE* out) { return MakePdfWriter(out, 95, 66); }, pages);
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
}

// A continuous-form printer gets each command's bytes from its table in
// Tora.ini, nothing for a command without a translation (nor for one that
// is no hexadecimal bytes), and a form feed after every page, the last one
// included, so that the last receipt leaves the printer.
TEST(KelprintOutput, ARawPrinterGetsItsCommandTableAndAFormFeedAfterEveryPage) {
  TempDir dir;
  const std::string port = dir.Sub("port.bin");
  dir.Write("Tora.ini", "[Impressores]\r\nLPT1=raw:" + port + "\r\n" + port +
                            ".@e=1B 40 1b 43 42\r\n" + port + ".@x=1B 4O\r\nother.@z=0C\r\n");
  dir.Write("s.tmp",
            "DEVICELPT1\r\nPAGE 24 \r\n*@e\r\n 1 ,\xDA\xC4\xBF, 1 \r\n*@z\r\n*@x\r\n"
            " 2 ,b, 1 \r\nPAGE 24 \r\n*@E\r\n 1 ,c, 1 \r\nEND\r\n");
  SpoolSurvey survey;
  ASSERT_TRUE(SurveySpool(dir.Sub("s.tmp"), false, &survey));
  const Destination d = ResolveDevice(survey.device, dir.path() + "/", dir.Sub("Tora.ini"));
  ASSERT_EQ(d.kind, Destination::Kind::kRawPath);
  const PrintOutcome done = PrintSpool(dir.Sub("s.tmp"), survey, d);
  EXPECT_EQ(done.code, kPrintedOk) << done.message;
  EXPECT_EQ(dir.Read("port.bin"),
            "\x1b@\x1b"
            "CB\xDA\xC4\xBF\r\n b\r\n\f\x1b@\x1b"
            "CBc\r\n\f");
}

TEST(KelprintDestination, EveryDeviceFormFindsItsDestination) {
  TempDir dir;
  dir.Write("Tora.ini",
            "[Impressores]\r\nLPT1=Oficina\r\n\\\\srv\\matricial=raw:Matricial\r\n"
            "COM2=LPT3\r\n");
  const std::string ini = dir.Sub("Tora.ini");
  using Kind = Destination::Kind;
  const auto is = [&](const std::string& device, Kind kind, const std::string& name) {
    Destination d = ResolveDevice(device, dir.path() + "/", ini);
    EXPECT_EQ(d.kind, kind) << device;
    EXPECT_EQ(d.name, name) << device;
  };
  is("rebuts.pdf", Kind::kPdfFile, dir.Sub("rebuts.pdf"));
  is(" Rebuts.TXT ", Kind::kTextFile, dir.Sub("Rebuts.TXT"));
  is("/var/out/r.pdf", Kind::kPdfFile, "/var/out/r.pdf");
  is("", Kind::kCups, "");
  is("Laser", Kind::kCups, "Laser");
  is("pantalla", Kind::kPreview, "");
  is("raw:Matricial", Kind::kRawQueue, "Matricial");
  is("RAW:/dev/usb/lp0", Kind::kRawPath, "/dev/usb/lp0");
  is("lpt1:", Kind::kCups, "Oficina");
  is("\\\\SRV\\MATRICIAL", Kind::kRawQueue, "Matricial");
  is("LPT2", Kind::kCups, "");  // not mapped: the default destination
  is("PRN", Kind::kCups, "");
  is("COM2", Kind::kCups, "");  // mapped to another Windows name: the default
  is("LPT10", Kind::kCups, "LPT10");
}

PAGE_BUILDER_TEST(KelprintFiles, AFileAppearsOnlyWhenCompleteAndAFailureKeepsTheOldOne) {
  TempDir dir;
  platform::ResetProgramState();
  dir.Write("s.tmp", "DEVICE\r\nPAGE 24 \r\n 1 ,new, 1 \r\n");
  SpoolSurvey survey;
  ASSERT_TRUE(SurveySpool(dir.Sub("s.tmp"), true, &survey));
  PrintOutcome done =
      PrintSpool(dir.Sub("s.tmp"), survey, {Destination::Kind::kTextFile, dir.Sub("out.txt")});
  EXPECT_EQ(done.code, kPrintedOk) << done.message;
  EXPECT_EQ(dir.Read("out.txt"), "new\n");

  PrintOutcome failed = PrintSpool(dir.Sub("s.tmp"), survey,
                                   {Destination::Kind::kPdfFile, dir.Sub("no/such/out.pdf")});
  EXPECT_EQ(failed.code, kOutputProblem);
  EXPECT_NE(failed.message.find("no/such/out.pdf"), std::string::npos) << failed.message;

  dir.Write("old.pdf", "old");
  PrintOutcome gone =
      PrintSpool(dir.Sub("missing.tmp"), survey, {Destination::Kind::kPdfFile, dir.Sub("old.pdf")});
  EXPECT_EQ(gone.code, kOutputProblem);
  EXPECT_EQ(dir.Read("old.pdf"), "old");
  EXPECT_EQ(std::system(("test $(ls -A " + dir.path() + " | wc -l) -eq 3").c_str()), 0)
      << "a temporary file was left behind";
}

}  // namespace
}  // namespace kelprint
