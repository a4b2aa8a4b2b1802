// Where the layouts put things: the spool of a demo office cycle read back
// record by record, with the page's line count before each text record.
#include "issuing/layouts.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "../support/demo_office.h"
#include "../support/temp_dir.h"
#include "config/session_settings.h"
#include "format/packed.h"
#include "issuing/issuing_run.h"
#include "issuing/layout_common.h"
#include "office/selection.h"
#include "platform/program_state.h"
#include "print/spool.h"
#include "spool_layout.h"

namespace issuing {
namespace {

using testing_support::DemoOffice;

// A text record of the spool and the line count of its page before it.
struct Placed {
  int column = 0;
  std::string text;
  int advance = 0;
  int lineCount = 0;
};

std::vector<Placed> TextRecords(const std::string& spool) {
  std::vector<Placed> out;
  int lines = 0;
  size_t at = 0;
  for (size_t end = spool.find("\r\n"); end != std::string::npos;
       at = end + 2, end = spool.find("\r\n", at)) {
    const std::string record = spool.substr(at, end - at);
    if (record.rfind("PAGE", 0) == 0) lines = 0;
    const size_t first = record.find(',');
    const size_t last = record.rfind(',');
    if (record.rfind("DEVICE", 0) == 0 || record.rfind("PAGE", 0) == 0 ||
        record.rfind("JUS", 0) == 0 || record.rfind("*", 0) == 0 || first == last) {
      continue;
    }
    Placed p{std::stoi(record.substr(0, first)), record.substr(first + 1, last - first - 1),
             std::stoi(record.substr(last + 1)), lines};
    lines += p.advance;
    out.push_back(p);
  }
  return out;
}

// One cycle of the demo office over the units first..last, with Tora.ini
// keys changed ("Antic=N" -> "Antic=S").
std::vector<Placed> Issue(const std::vector<std::pair<std::string, std::string>>& toraChanges,
                          const char* first = "00000000", const char* last = "99999999") {
  DemoOffice office;
  std::string tora = office.dir().Read("Tora.ini");
  for (const auto& [from, to] : toraChanges) {
    const std::string line = "\n" + from + "\r";
    EXPECT_NE(tora.find(line), std::string::npos) << from;
    if (tora.find(line) != std::string::npos)
      tora.replace(tora.find(line), line.size(), "\n" + to + "\r");
  }
  office.dir().Write("Tora.ini", tora);
  EXPECT_TRUE(office.Start());
  office::Selection s = office::SelectionFromScreen();
  s.unitLow = format::PackDigits(first);
  s.unitHigh = format::PackDigits(last);
  IssueSummary summary;
  RunIssuingCycle(
      s, false, [](const std::string& t) { ADD_FAILURE() << t; }, &summary);
  EXPECT_GT(summary.receipts, 0);
  return TextRecords(office.Spool());
}

const Placed* Find(const std::vector<Placed>& records, int column, const std::string& start,
                   size_t from = 0) {
  for (size_t i = from; i < records.size(); ++i) {
    if (records[i].column == column && records[i].text.rfind(start, 0) == 0) return &records[i];
  }
  return nullptr;
}

// Demo rows: Fila.Dom 13, Fila.Nom 16.  The payment line stays open and the
// addressee block starts Fila.Nom - Fila.Dom lines further down.
TEST(PreprintedLayout, AddresseeBlockStartsAtTheNameRow) {
  for (const char* counterfoil : {"Matriu=S", "Matriu=N"}) {
    const auto records =
        Issue({{"Antic=N", "Antic=S"}, {"Matriu=S", counterfoil}}, "00020000", "00020000");
    const Placed* payment = Find(records, 17, "IBAN ");
    ASSERT_NE(payment, nullptr) << counterfoil;
    EXPECT_EQ(payment->lineCount, 13) << counterfoil;
    const Placed* otherCurrency = Find(records, 82, "*");
    ASSERT_NE(otherCurrency, nullptr) << counterfoil;
    EXPECT_EQ(otherCurrency->advance, 0) << counterfoil;
    const Placed* tenantId = Find(records, 36, "N.I.F. ");
    ASSERT_NE(tenantId, nullptr) << counterfoil;
    EXPECT_EQ(tenantId->lineCount, 16) << counterfoil;
  }
}

// With Fila.Num 7 the second pre-printed layout's charges start at line 10,
// past its stop line 9: nothing is cut, every charge prints.
TEST(PreprintedLayout, ChargeListStartingPastItsStopLineIsNotCut) {
  const std::vector<std::pair<std::string, std::string>> variant2 = {
      {"Antic=N", "Antic=S"}, {"Linia7=B-17.654.321", "Linia7=B-08000002"}};
  const auto usual = Issue(variant2, "00050001", "00050001");
  auto moved = variant2;
  moved.push_back({"Fila.Num=3", "Fila.Num=7"});
  const auto low = Issue(moved, "00050001", "00050001");
  std::vector<std::string> charges;
  for (const Placed& p : usual) {
    if ((p.column == 17 || p.column == 51) && p.lineCount >= 6 && p.lineCount < 9) {
      charges.push_back(p.text);
    }
  }
  ASSERT_GE(charges.size(), 3u);
  for (const std::string& charge : charges) {
    const Placed* at = Find(low, 17, charge);
    if (at == nullptr) at = Find(low, 51, charge);
    ASSERT_NE(at, nullptr) << charge;
    EXPECT_GE(at->lineCount, 10) << charge;
  }
}

// The copy-2 total stays on its line; the address block is reached by
// advancing to line count 53 whichever column the total took.
TEST(BoxedLayout, DuplicateTotalIsFollowedByTheAdvanceToLine53) {
  const auto records = Issue({});
  int totals = 0;
  for (size_t i = 0; i + 1 < records.size(); ++i) {
    if (records[i].text.rfind("**", 0) != 0 || records[i].column != 0) continue;
    ++totals;
    EXPECT_EQ(records[i].advance, 0) << records[i].text;
    EXPECT_EQ(records[i + 1].text, "");
    EXPECT_EQ(records[i + 1].lineCount + records[i + 1].advance, 53) << records[i].text;
  }
  EXPECT_GE(totals, 2);
}

// Every box line (top, middle or bottom rule with its titles and corners)
// is one text record at column 1 that ends the line.
TEST(BoxedLayout, EveryBoxLineIsOneRecord) {
  const auto records = Issue({});
  int boxLines = 0;
  for (const Placed& p : records) {
    const bool rule = p.text.find('\xC4') != std::string::npos;  // ─
    const bool corner = p.text.find_first_of("\xDA\xC0\xBF\xD9") != std::string::npos;
    if (!rule && !corner) continue;
    ++boxLines;
    EXPECT_EQ(p.column, 1) << p.text;
    EXPECT_EQ(p.advance, 1) << p.text;
    EXPECT_TRUE(p.text[0] == '\xDA' || p.text[0] == '\xC0') << p.text;
    EXPECT_TRUE(p.text.back() == '\xBF' || p.text.back() == '\xD9') << p.text;
  }
  EXPECT_GT(boxLines, 0);
}

// A receipt with VAT and withholding, printed alone in the layout that the
// demo office's Tora.ini chooses once `toraChanges` are made.
std::string PrintedAlone(const std::vector<std::pair<std::string, std::string>>& toraChanges,
                         const std::string& qrText) {
  DemoOffice office;
  std::string tora = office.dir().Read("Tora.ini");
  for (const auto& [from, to] : toraChanges) {
    const size_t at = tora.find("\n" + from + "\r");
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) tora.replace(at + 1, from.size(), to);
  }
  office.dir().Write("Tora.ini", tora);
  EXPECT_TRUE(office.Start());
  Receipt r;
  r.conceptText[0] = "Lloguer";
  r.conceptAmount[0] = r.base = r.vatBase = r.withholdingBase = 100000;
  r.vatRate = 21;
  r.vatAmount = 21000;
  r.withholdingRate = 19;
  r.withholdingAmount = 19000;
  r.number = "00000042";
  r.reference = "012003V07";
  r.qrText = qrText;
  EXPECT_TRUE(print::OpenSpool("rebuts.pdf"));
  PrintReceipt({r, format::PackDigits("20261201")});
  EXPECT_TRUE(print::CloseSpool());
  return office.Spool();
}

// With a QR text each layout adds the code's record and its note (the
// invoice total, as withholding makes the total to pay differ) and moves
// nothing else; the columns the code's room claims are blank on every line
// from the code's to the page's end, on the invoice's side of the sheet.
TEST(QrCodeOnReceipts, EveryLayoutAddsItsCodeInBlankColumnsAndMovesNothing) {
  const std::pair<std::string, std::string> old = {"Antic=N", "Antic=S"};
  const std::vector<std::vector<std::pair<std::string, std::string>>> layouts = {
      {},
      {{"Membret=S", "Membret=N"}, {"Duplicat=S", "Duplicat=N"}},
      {old},
      {old, {"Matriu=S", "Matriu=N"}},
      {old, {"Linia7=B-17.654.321", "Linia7=B-08000002"}}};
  const std::string url = "https://prewww2.aeat.es/wlpl/TIKE-CONT/ValidarQR?nif=89890001K";
  for (const auto& changes : layouts) {
    const std::string plain = PrintedAlone(changes, "");
    const std::string withCode = PrintedAlone(changes, url);
    const std::string what = changes.empty() ? "boxed" : changes.back().second;
    std::string others;
    int codes = 0, notes = 0;
    for (size_t at = 0, end; (end = withCode.find("\r\n", at)) != std::string::npos; at = end + 2) {
      const std::string record = withCode.substr(at, end + 2 - at);
      if (record.starts_with(print::kQrNoteRecord)) {
        ++notes;
        EXPECT_EQ(record, "QRNOTE" + std::string("TOTAL 1.210,00\r\n")) << what;
      } else if (record.starts_with(print::kQrRecord)) {
        ++codes;
        EXPECT_TRUE(record.ends_with("," + url + "\r\n")) << what << record;
      } else {
        others += record;
      }
    }
    EXPECT_EQ(codes, 1) << what;
    EXPECT_EQ(notes, 1) << what;
    EXPECT_EQ(others, plain) << what;

    testing_support::TempDir dir;
    dir.Write("kelprint.tmp", withCode);
    kelprint::SpoolReader reader;
    ASSERT_TRUE(reader.Open(dir.Sub("kelprint.tmp")));
    kelprint::Page page;
    ASSERT_TRUE(reader.NextPage(&page));
    ASSERT_EQ(page.codes.size(), 1u) << what;
    const kelprint::QrRoom room = page.codes[0].room;
    EXPECT_GE(room.sizeMm, 30) << what;
    if (room.freeColumns > 0) {
      EXPECT_LT(room.column + room.freeColumns, 90) << what << ": on the counterfoil's side";
    }
    for (int line = page.codes[0].line; line < static_cast<int>(page.lines.size()); ++line) {
      const std::string& text = page.lines[static_cast<size_t>(line)];
      const size_t last = room.freeColumns == 0 ? text.size() : room.column - 1 + room.freeColumns;
      for (size_t c = room.column - 1; c < std::min(last, text.size()); ++c) {
        EXPECT_EQ(text[c], ' ') << what << ": line " << line << " column " << c + 1;
      }
    }
  }
}

// The words a run looked up belong to its state: after the reset, Catalan
// texts are not given in the last run's language.
TEST(LayoutWords, AreForgottenWhenTheProgramStateIsReset) {
  DemoOffice office(demo::BuildDemoRecords({}), "20261201", "SPA");
  ASSERT_TRUE(office.Start());
  const char* domiciled = "REBUT DOMICILIAT";
  EXPECT_EQ(Word(domiciled), "RECIBO DOMICILIADO");
  platform::ResetProgramState();
  config::Settings().SessionLanguage = "CAT";
  EXPECT_EQ(Word(domiciled), domiciled);
}

}  // namespace
}  // namespace issuing
