// recutil register over a register filled through the ledger itself: the
// journal in its three forms with filters and totals, the remittances,
// cancelling with and without a terminal, the check, and the register
// carried through export and import.
#include "ledger/register.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "../support/temp_dir.h"
#include "office_transfer.h"
#include "register_commands.h"
#include "register_file.h"

namespace {

using ledger::IssuedReceipt;
using ledger::Register;

// VAT 21 %, and 19 % withheld when `withheld`.
IssuedReceipt Receipt(const std::string& owner, const std::string& ownerName, int64_t number,
                      const std::string& unit, const std::string& tenant, const std::string& date,
                      int64_t base, bool withheld = false) {
  IssuedReceipt r;
  r.ownerKey = owner;
  r.ownerName = ownerName;
  r.number = number;
  r.unitKey = unit;
  r.tenantName = tenant;
  r.issueDate = date;
  r.period = "01";
  r.lines = {{1, "LLOGUER", base, base}};
  r.baseCents = base;
  r.vatRate = 2100;
  r.vatCents = base * 21 / 100;
  r.withholdingRate = withheld ? 1900 : 0;
  r.withholdingCents = withheld ? base * 19 / 100 : 0;
  r.totalCents = r.baseCents + r.vatCents - r.withholdingCents;
  r.currency = "EUR";
  r.layout = "boxed";
  return r;
}

// What a command wrote on its `out`, and its exit code.
struct Said {
  int code = 0;
  std::string text;
};

template <typename Command>
Said Printed(Command command) {
  char* buffer = nullptr;
  size_t size = 0;
  std::FILE* out = open_memstream(&buffer, &size);
  Said said;
  said.code = command(out);
  std::fclose(out);
  said.text.assign(buffer, size);
  std::free(buffer);
  return said;
}

std::string Shell(const std::string& command) {
  std::string output;
  std::FILE* p = ::popen(command.c_str(), "r");
  char buffer[4096];
  for (size_t n; p != nullptr && (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) {
    output.append(buffer, n);
  }
  if (p != nullptr) ::pclose(p);
  return output;
}

class RegisterTest : public ::testing::Test {
 protected:
  void SetUp() override { dir.Write("office/Tora.ini", ""); }

  std::unique_ptr<Register> Open(const ledger::RegisterPlace& where) {
    std::string error;
    std::unique_ptr<Register> reg = Register::Open(where, &error);
    EXPECT_NE(reg, nullptr) << error;
    return reg;
  }
  // Two cycles of two owners; receipt 2 of owner 0001 cancelled, and the
  // first cycle's remittance holding two receipts.
  void Fill() {
    std::unique_ptr<Register> reg = Open(place);
    ledger::CycleEntry cycle{0, "2026-11-01 09:00:00", "PC1", "anna", "date 2026-11-01"};
    ASSERT_EQ(reg->BeginCycle(&cycle), ledger::WriteStart::kStarted);
    std::vector<IssuedReceipt> first = {
        Receipt("0001", "ANNA PUIG", 1, "00010001", "JOAN GARCIA", "2026-11-01", 100000),
        Receipt("0001", "ANNA PUIG", 2, "00010002", "PUIG; JOAN", "2026-11-01", 50000),
        Receipt("0002", "CAL \"NOU\" SL", 1, "00020001", "=FRAN\x80OIS", "2026-11-01", 80000, true)};
    for (IssuedReceipt& r : first) ASSERT_TRUE(reg->Add(&r)) << reg->error();
    ledger::RemittanceEntry m{0, 0, "REMESA.XML", "2026-11-05", 2, 202600, {1, 3}};
    ASSERT_TRUE(reg->AddRemittance(&m)) << reg->error();
    ASSERT_TRUE(reg->Commit()) << reg->error();
    cycle.startedAt = "2026-12-01 09:00:00";
    ASSERT_EQ(reg->BeginCycle(&cycle), ledger::WriteStart::kStarted);
    IssuedReceipt next =
        Receipt("0001", "ANNA PUIG", 3, "00010001", "JOAN GARCIA", "2026-12-01", 100000);
    ASSERT_TRUE(reg->Add(&next)) << reg->error();
    ASSERT_TRUE(reg->Commit()) << reg->error();
    ASSERT_EQ(reg->Cancel("0001", 2, cycle), ledger::CancelOutcome::kCancelled);
  }
  Said List(const recutil::ListOptions& options) {
    return Printed([&](std::FILE* out) { return recutil::ListRegister(place, options, out); });
  }
  std::vector<Register::Table> Dump(const ledger::RegisterPlace& where) {
    std::vector<Register::Table> tables;
    std::unique_ptr<Register> reg = Open(where);
    EXPECT_TRUE(reg != nullptr && reg->Dump(&tables));
    return tables;
  }

  testing_support::TempDir dir;
  const ledger::RegisterPlace place{"", dir.Sub("office/")};
};

TEST_F(RegisterTest, ListShowsTheReceiptsWithTotalsThatLeaveCancelledOnesOut) {
  EXPECT_EQ(List({}).code, 1);  // no register yet: none is made
  EXPECT_FALSE(std::filesystem::exists(dir.Sub("office/REGISTRE.DB")));
  Fill();
  EXPECT_EQ(
      List({}).text,
      "Receipts of the register: all receipts (cancelled receipts are shown but not counted "
      "in the totals)\n"
      "\n"
      "Owner  Number  Date        Unit       Tenant           Base     VAT  Withholding     "
      "Total  State\n"
      "0001        1  2026-11-01  0001.0001  JOAN GARCIA  1.000,00  210,00         0,00  "
      "1.210,00  issued\n"
      "0001        2  2026-11-01  0001.0002  PUIG; JOAN     500,00  105,00         0,00    "
      "605,00  cancelled\n"
      "0001        3  2026-12-01  0001.0001  JOAN GARCIA  1.000,00  210,00         0,00  "
      "1.210,00  issued\n"
      "Total owner 0001 ANNA PUIG: 2 receipts             2.000,00  420,00         0,00  "
      "2.420,00\n"
      "\n"
      "0002        1  2026-11-01  0002.0001  =FRAN\xC3\x87OIS      800,00  168,00       152,00    "
      "816,00  issued\n"
      "Total owner 0002 CAL \"NOU\" SL: 1 receipt             800,00  168,00       152,00    "
      "816,00\n"
      "\n"
      "Grand total: 3 receipts                            2.800,00  588,00       152,00  "
      "3.236,00\n");
  const std::pair<ledger::ReceiptFilter, const char*> filters[] = {
      {{2, "", "", true}, "Grand total: 1 receipt  "},
      {{0, "2026-11", "", true}, "Grand total: 2 receipts  "},
      {{0, "", "0002", true}, "Grand total: 1 receipt  "},
      {{1, "2026-12", "", true}, "Grand total: 0 receipts  "},
  };
  for (const auto& [filter, total] : filters) {
    const std::string text = List({filter, "", ""}).text;
    EXPECT_NE(text.find(total), std::string::npos) << text;
  }
  EXPECT_NE(
      List({{1, "2026-11", "0001", true}, "", ""})
          .text.find("Receipts of the register: cycle 1, month 2026-11, owner 0001 (cancelled"),
      std::string::npos);

  EXPECT_EQ(Printed([&](std::FILE* out) { return recutil::ListRemittances(place, out); }).text,
            "Remittance 1: REMESA.XML, collection 2026-11-05, 2 receipts, 2.026,00, cycle 1\n"
            "  Owner  Number  Unit          Total\n"
            "  0001        1  0001.0001  1.210,00\n"
            "  0002        1  0002.0001    816,00\n");
}

TEST_F(RegisterTest, CsvOpensInASpanishSpreadsheetAsItIs) {
  Fill();
  const Said said = List({{}, dir.Sub("out/journal.csv"), ""});
  EXPECT_EQ(said.code, 0);
  EXPECT_EQ(said.text, "written " + dir.Sub("out/journal.csv") + "\n");
  EXPECT_EQ(
      dir.Read("out/journal.csv"),
      "\xEF\xBB\xBF"
      "Owner;Owner name;Number;Date;Unit;Tenant;Base;VAT;Withholding;Total;State\r\n"
      "0001;ANNA PUIG;1;2026-11-01;0001.0001;JOAN GARCIA;1000,00;210,00;0,00;1210,00;issued\r\n"
      "0001;ANNA PUIG;2;2026-11-01;0001.0002;\"PUIG; JOAN\";500,00;105,00;0,00;605,00;"
      "cancelled\r\n"
      "0001;ANNA PUIG;3;2026-12-01;0001.0001;JOAN GARCIA;1000,00;210,00;0,00;1210,00;issued\r\n"
      "0002;\"CAL \"\"NOU\"\" SL\";1;2026-11-01;0002.0001;'=FRAN\xC3\x87OIS;800,00;168,00;152,00;"
      "816,00;issued\r\n"
      "0001;ANNA PUIG;;;;Total: 2 receipts (cancelled ones not counted);2000,00;420,00;0,00;"
      "2420,00;owner total\r\n"
      "0002;\"CAL \"\"NOU\"\" SL\";;;;Total: 1 receipt (cancelled ones not counted);800,00;"
      "168,00;152,00;816,00;owner total\r\n"
      ";;;;;Total: 3 receipts (cancelled ones not counted);2800,00;588,00;152,00;3236,00;"
      "grand total\r\n");
}

TEST_F(RegisterTest, PdfHasAPagePerOwnerThenASummary) {
  Fill();
  const std::string pdf = dir.Sub("journal.pdf");
  ASSERT_EQ(List({{}, "", pdf}).code, 0);
  EXPECT_NE(Shell("pdfinfo " + pdf).find("\nPages:           3\n"), std::string::npos);
  const std::string second = Shell("pdftotext -layout -f 2 -l 2 " + pdf + " -");
  EXPECT_NE(second.find("REGISTER OF RECEIPTS - page 2 of 3"), std::string::npos) << second;
  EXPECT_NE(second.find("Owner 0002 CAL \"NOU\" SL"), std::string::npos) << second;
  EXPECT_NE(second.find("FRAN\xC3\x87OIS"), std::string::npos) << second;
  EXPECT_NE(second.find("Total: 1 receipt"), std::string::npos) << second;
  EXPECT_EQ(second.find("JOAN GARCIA"), std::string::npos) << second;
  const std::string summary = Shell("pdftotext -layout -f 3 -l 3 " + pdf + " -");
  EXPECT_NE(summary.find("Grand total"), std::string::npos) << summary;
  EXPECT_NE(summary.find("3.236,00"), std::string::npos) << summary;
}

TEST_F(RegisterTest, CancelAsksOnATerminalAndNeedsYesWithoutOne) {
  Fill();
  auto cancel = [&](int64_t number, bool yes, const char* answer, bool terminal) {
    return Printed([&](std::FILE* out) {
      std::FILE* in = fmemopen(const_cast<char*>(answer), std::strlen(answer), "r");
      const int code = recutil::CancelReceipt(place, "0001", number, yes, in, terminal, out);
      std::fclose(in);
      return code;
    });
  };
  auto cancelled = [&](int64_t number) {
    std::vector<IssuedReceipt> receipts;
    Open(place)->Receipts({}, &receipts);
    for (const IssuedReceipt& r : receipts) {
      if (r.ownerKey == "0001" && r.number == number) return r.cancelled;
    }
    return false;
  };
  Said said = cancel(1, false, "y\n", false);
  EXPECT_EQ(said.code, 2);
  EXPECT_NE(said.text.find("0001 ANNA PUIG       1  2026-11-01  0001.0001  JOAN GARCIA  1.210,00"),
            std::string::npos)
      << said.text;
  EXPECT_NE(said.text.find("  LLOGUER: 1.000,00\n"), std::string::npos) << said.text;
  EXPECT_FALSE(cancelled(1));
  said = cancel(1, false, "n\n", true);
  EXPECT_EQ(said.code, 1);
  EXPECT_TRUE(said.text.ends_with("cancel? [y/N] ")) << said.text;
  EXPECT_FALSE(cancelled(1));
  EXPECT_EQ(cancel(1, false, "Y\n", true).code, 0);
  EXPECT_TRUE(cancelled(1));
  said = cancel(3, true, "", false);
  EXPECT_EQ(said.code, 0);
  EXPECT_TRUE(said.text.ends_with("cancelled receipt 3 of owner 0001\n")) << said.text;
  EXPECT_TRUE(cancelled(3));
  EXPECT_EQ(cancel(3, true, "", false).code, 1);  // cancelled already
  EXPECT_EQ(cancel(9, true, "", false).code, 1);  // no such receipt
}

TEST_F(RegisterTest, CheckFindsAReceiptWhoseLinesDoNotAddUp) {
  Fill();
  auto check = [&] {
    return Printed([&](std::FILE* out) { return recutil::CheckRegister(place, out); });
  };
  Said said = check();
  EXPECT_EQ(said.code, 0);
  EXPECT_EQ(said.text, "register: sound\n");
  std::vector<Register::Table> tables = Dump(place);
  for (Register::Table& t : tables) {
    if (t.name == "reg_lines") t.rows[0][4] = "99999";  // receipt 1 of owner 0001
  }
  ASSERT_TRUE(Open(place)->Load(tables));
  said = check();
  EXPECT_EQ(said.code, 1);
  EXPECT_EQ(said.text,
            "owner 0001 receipt 1: its lines add up to 99999 cents, its base is 100000\n"
            "register: damaged\n");
}

// The export file carries any text, tabs and line ends included, and the
// import loads it whole into an installation without a register, leaving
// one that holds receipts alone unless told to replace it.
TEST_F(RegisterTest, ExportThenImportGivesTheSameRegister) {
  Fill();
  std::vector<Register::Table> tables = Dump(place);
  for (Register::Table& t : tables) {
    if (t.name == "reg_receipts") t.rows[0][8] = "TAB\tNEW\nLINE\rBACK\\SLASH \\t";
  }
  ASSERT_TRUE(Open(place)->Load(tables));
  const std::vector<recutil::TransferRow> out =
      recutil::ExportOffice(dir.Sub("office"), dir.Sub("move"));
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(recutil::TransferTable(out),
            "file      records  result\n"
            "REGISTRE        4  written\n");
  EXPECT_NE(dir.Read("move/REGISTRE.txt").find("\tTAB\\tNEW\\nLINE\\rBACK\\\\SLASH \\\\t\t"),
            std::string::npos);

  std::vector<recutil::TransferRow> in =
      recutil::ImportOffice(dir.Sub("other"), dir.Sub("move"), false);
  ASSERT_EQ(in.size(), 1u);
  EXPECT_EQ(in[0].result, "loaded");
  const ledger::RegisterPlace other{"", dir.Sub("other/")};
  EXPECT_EQ(Dump(other)[2].rows, tables[2].rows);
  const auto same = [](const std::vector<Register::Table>& a,
                       const std::vector<Register::Table>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
      if (a[i].name != b[i].name || a[i].rows != b[i].rows) return false;
    }
    return true;
  };
  EXPECT_TRUE(same(Dump(other), Dump(place)));

  std::unique_ptr<Register> reg = Open(other);
  ASSERT_EQ(reg->Cancel("0001", 3, {}), ledger::CancelOutcome::kCancelled);
  in = recutil::ImportOffice(dir.Sub("other"), dir.Sub("move"), false);
  EXPECT_EQ(in[0].result,
            "the register there holds receipts; left alone (--replace loads it again)");
  EXPECT_FALSE(in[0].problem);
  EXPECT_FALSE(same(Dump(other), Dump(place)));
  in = recutil::ImportOffice(dir.Sub("other"), dir.Sub("move"), true);
  EXPECT_EQ(in[0].result, "loaded");
  EXPECT_TRUE(same(Dump(other), Dump(place)));
}

TEST(RegisterFile, CutOrForeignTextIsRefusedWithItsLine) {
  std::vector<Register::Table> tables;
  for (const auto& [name, columns] : ledger::RegisterTables()) tables.push_back({name, {}});
  tables[0].rows = {{"version", "1"}};
  const std::string whole = recutil::RegisterText(tables);
  std::string error;
  ASSERT_TRUE(recutil::ParseRegisterText(whole, &tables, &error)) << error;
  // The header, a line per table, the one row, then END.
  const std::string end = "line " + std::to_string(tables.size() + 3);
  const std::string after = "line " + std::to_string(tables.size() + 4);
  const std::pair<std::string, std::string> cases[] = {
      {whole.substr(0, whole.size() - 4), end + ": expected END"},
      {whole.substr(0, whole.size() - 1), "not a register file"},
      {"QANTIRES REGISTER 2\n" + whole.substr(20), "not a register file"},
      {std::string(whole).replace(whole.find("\t1\tname"), 2, "\t99"),
       "line 2: the row count of reg_state"},
      {std::string(whole).replace(whole.find("version\t1"), 9, "version\t\\x"),
       "line 3: a backslash"},
      {std::string(whole).replace(whole.find("version\t1"), 9, "version"), "line 3: a row of"},
      {std::string(whole).replace(whole.find("\tselection"), 10, ""), "line 4: expected the table"},
      {whole + "more\n", after + ": lines after END"},
  };
  for (const auto& [text, message] : cases) {
    EXPECT_FALSE(recutil::ParseRegisterText(text, &tables, &error)) << message;
    EXPECT_EQ(error.find(message), 0u) << error;
  }
}

}  // namespace
