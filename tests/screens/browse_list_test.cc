// Browse lists over real record files: the range of the start key, key
// order, paging, horizontal scrolling, the work file and the lock mode, and
// F4 from a field of the selection screen.
#include "screens/browse_list.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>

#include "../support/btr_helpers.h"
#include "console/keyboard.h"
#include "demo_files.h"
#include "format/packed.h"
#include "office/record_layouts.h"
#include "office/screen_form.h"
#include "platform/paths.h"
#include "platform/program_end.h"
#include "records/open_file.h"
#include "records/record_reads.h"
#include "records/record_table.h"
#include "screens/input_screen.h"
#include "screens/screens_state.h"
#include "screens_fixture.h"

namespace screens_test {
namespace {

std::string Digits(int n, int width) {
  std::string text = std::to_string(n);
  return std::string(static_cast<size_t>(width) - text.size(), '0') + text;
}

std::string UnitRecord(int property, int unit) {
  office::RecordArea<office::kUnitLength> area;
  area.fill(' ');
  const std::string key = format::PackDigits(Digits(property, 4) + Digits(unit, 4));
  std::copy(key.begin(), key.end(), area.begin());
  office::PutField<office::unit_fields::kTenantName>(area, "Tenant " + std::to_string(unit));
  office::PutField<office::unit_fields::kDoor>(area, "1r " + std::to_string(unit));
  return std::string(area.begin(), area.end());
}

std::string PropertyRecord(int number, const std::string& street) {
  office::RecordArea<office::kPropertyLength> area;
  area.fill(' ');
  const std::string key = format::PackDigits(Digits(number, 4));
  std::copy(key.begin(), key.end(), area.begin());
  office::PutField<office::property_fields::kStreet>(area, street);
  return std::string(area.begin(), area.end());
}

class BrowseListTest : public ScreensTest {
 protected:
  BrowseListTest() {
    platform::SetEndProgramStandIn([](int) {});
    office::ReadScreenFormText(demo::SelectionForm());
  }
  // Creates a file keyed on its first keyLength bytes, fills it and opens
  // it under the identifier, bound to the area.
  void MakeFile(std::int16_t fileId, const char* name, int length, int keyLength,
                const std::vector<std::string>& rows, records::RecordArea area) {
    const std::string path = session.dir().Sub(name);
    using btr_test::Segment;
    ASSERT_EQ(
        btr_test::Create(path, btr_test::CreateBuffer(static_cast<uint16_t>(length),
                                                      {{{1, static_cast<uint16_t>(keyLength)}}})),
        0);
    btr_test::File file;
    ASSERT_EQ(file.Open(path), 0);
    for (const std::string& row : rows) ASSERT_EQ(file.Insert(row), 0);
    ASSERT_EQ(file.Close(), 0);
    std::int16_t status = -1;
    records::OpenRecordFile(fileId, path, area, status);
    ASSERT_EQ(status, 0);
  }
  void MakeUnits(const std::vector<std::string>& rows) {
    MakeFile(507, "units.dat", office::kUnitLength, 4, rows, office::Areas().unit);
  }
  void MakeProperties(const std::vector<std::string>& rows) {
    MakeFile(506, "props.dat", office::kPropertyLength, 2, rows, office::Areas().property);
  }
  int Browse(int list) {
    int result = 99;
    screens::BrowseList(list, result);
    return result;
  }
  void SetField(int field, const std::string& text) { office::FieldAt(1, field)->value = text; }
  // The list's line in window row r (1-based) as shown at wait w.
  std::string Line(size_t wait, int r, int length = 3) {
    const auto& d = office::ScreenForms().browse[listShown];
    return CellsText(keys().seen.at(wait), d.top + r, d.left + 1, length);
  }
  int listShown = 2;
  std::int16_t status = 0;
};

TEST_F(BrowseListTest, StartKeyLimitsTheUnitsToThePropertyTyped) {
  MakeUnits(
      {UnitRecord(2, 1), UnitRecord(1, 3), UnitRecord(1, 1), UnitRecord(1, 2), UnitRecord(3, 1)});
  SetField(2, "  1");
  records::SetLockMode(507, "a", status);
  for (int k = 0; k < 3; ++k) Scan(kDown);
  Type("\r");
  EXPECT_EQ(Browse(2), 0);
  EXPECT_EQ(office::UnitView(office::Areas().unit).Key(), format::PackDigits("00010003"));
  EXPECT_EQ(Line(0, 1, 30), "001  Tenant 1" + std::string(17, ' '));
  EXPECT_EQ(Line(0, 2), "002");
  EXPECT_EQ(Line(0, 3), "003");
  EXPECT_EQ(Line(0, 4), "   ");
  EXPECT_EQ(Line(3, 3), "003");                        // the third Down found no fourth line
  EXPECT_EQ(keys().seen[0].At(5, 5).attribute, 0x70);  // highlight "u"
  EXPECT_EQ(keys().seen[0].At(6, 5).attribute, 0x0F);  // others "h"
  EXPECT_EQ(keys().seen[3].At(7, 5).attribute, 0x70);
  EXPECT_FALSE(platform::FileExists(screens::BrowseWorkFile()));
  // The lock mode set before the list is back.
  EXPECT_EQ(records::RecordFiles().slots[records::FindSlot(507).slot].lockMode, 1);
}

TEST_F(BrowseListTest, StartKeyMatchingNoRecordGivesAnEmptyListAndEnterChoosesNothing) {
  MakeUnits({UnitRecord(1, 1), UnitRecord(3, 1)});
  SetField(2, "  2");
  Scan(kDown);
  Type("\r");
  EXPECT_EQ(Browse(2), -1);
  EXPECT_EQ(Line(0, 1), "   ");
  EXPECT_EQ(keys().Pending(), 0u);
  EXPECT_FALSE(platform::FileExists(screens::BrowseWorkFile()));
}

TEST_F(BrowseListTest, EmptyStartKeyListsEveryRecordInKeyOrder) {
  listShown = 1;
  MakeProperties({PropertyRecord(3, "Carrer C"), PropertyRecord(1, "Carrer A"),
                  PropertyRecord(2, "Carrer B")});
  Type("\x1b");
  EXPECT_EQ(Browse(1), -1);
  EXPECT_EQ(Line(0, 1, 13), "001  Carrer A");
  EXPECT_EQ(Line(0, 2, 13), "002  Carrer B");
  EXPECT_EQ(Line(0, 3, 13), "003  Carrer C");
}

// The demo form's titles: each heading starts over the first column of its
// values.
TEST_F(BrowseListTest, DemoHeadingsStandOverTheirColumns) {
  MakeUnits({UnitRecord(1, 1)});
  MakeProperties({PropertyRecord(1, "Carrer A")});
  SetField(2, "  1");
  Type("\x1b\x1b");
  Browse(2);
  Browse(1);
  const auto& units = office::ScreenForms().browse[2];
  const std::string unitTitle = CellsText(keys().seen.at(0), units.top, units.left + 1, 50);
  const std::string unitRow = Line(0, 1, 50);
  EXPECT_EQ(unitTitle.find("Dep."), 0u);
  EXPECT_EQ(unitTitle.find("Llogater"), unitRow.find("Tenant 1"));
  EXPECT_EQ(unitTitle.find("Porta"), unitRow.find("1r 1"));
  listShown = 1;
  const auto& properties = office::ScreenForms().browse[1];
  const std::string title = CellsText(keys().seen.at(1), properties.top, properties.left + 1, 30);
  EXPECT_EQ(title.find("Codi"), 0u);
  EXPECT_EQ(title.find("Adre"), Line(1, 1, 30).find("Carrer A"));
}

// A link under the work file's name is replaced, never written through.
TEST_F(BrowseListTest, ALinkUnderTheWorkFilesNameIsReplacedNotWrittenThrough) {
  listShown = 1;
  MakeProperties({PropertyRecord(1, "Carrer A"), PropertyRecord(2, "Carrer B")});
  session.dir().Write("Unitats.dat", "records");
  ASSERT_EQ(::symlink(session.Session("Unitats.dat").c_str(),
                      platform::NativePath(screens::BrowseWorkFile()).c_str()),
            0);
  Type("\x1b");
  EXPECT_EQ(Browse(1), -1);
  EXPECT_EQ(Line(0, 2, 13), "002  Carrer B");
  EXPECT_EQ(session.dir().Read("Unitats.dat"), "records");
}

TEST_F(BrowseListTest, PagesForwardAsFarAsTheRangeGoesAndBackThroughTheWorkFile) {
  std::vector<std::string> rows;
  for (int u = 1; u <= 40; ++u) rows.push_back(UnitRecord(1, u));
  rows.push_back(UnitRecord(2, 1));
  MakeUnits(rows);
  SetField(2, "  1");
  for (int scan : {kPageDown, kPageDown, kPageDown, kPageUp}) Scan(scan);
  Type("\r");
  EXPECT_EQ(Browse(2), 0);
  EXPECT_EQ(Line(1, 1), "016");
  EXPECT_EQ(Line(2, 1), "031");
  EXPECT_EQ(Line(2, 10), "040");
  EXPECT_EQ(Line(2, 11), "   ");
  EXPECT_EQ(Line(3, 1), "031");  // nothing further to show
  EXPECT_EQ(Line(4, 1), "016");
  EXPECT_EQ(office::UnitView(office::Areas().unit).Key(), format::PackDigits("00010016"));
}

TEST_F(BrowseListTest, RightScrollsOnlyLinesWiderThanTheWindowAndLeftStopsAtTheStart) {
  listShown = 1;
  MakeProperties({PropertyRecord(1, "Carrer Major")});
  office::BrowseDefinition& d = office::ScreenForms().browse[1];
  d.right = static_cast<std::int16_t>(d.left + 11);  // ten columns
  for (int scan : {kLeft, kRight, kLeft}) Scan(scan);
  Type("\x1b");
  EXPECT_EQ(Browse(1), -1);
  const auto corner = [&](size_t w, int column) {
    return keys().seen.at(w).At(d.top, column).character;
  };
  EXPECT_EQ(corner(0, d.left), 0xC9);
  EXPECT_EQ(corner(0, d.right), 0x10);  // the lines go on to the right
  EXPECT_EQ(Line(1, 1, 10), "001  Carre");
  EXPECT_EQ(corner(2, d.left), 0x11);
  EXPECT_EQ(Line(2, 1, 10), "rer Major ");  // from column 9
  EXPECT_EQ(Line(3, 1, 10), "001  Carre");
  // In the full window everything fits: Right does nothing.
  d.right = 60;
  keys().seen.clear();
  Scan(kRight);
  Type("\x1b");
  EXPECT_EQ(Browse(1), -1);
  EXPECT_EQ(corner(1, d.left), 0xC9);
  EXPECT_EQ(corner(1, d.right), 0xBB);
  EXPECT_EQ(Line(1, 1, 13), "001  Carrer M");
}

// An entry of the work file: previous entry, record position, length, text.
std::string Entry(std::uint32_t previous, std::uint32_t position, const std::string& text) {
  return btr_test::Le32(previous) + btr_test::Le32(position) +
         btr_test::Le16(static_cast<std::uint16_t>(text.size())) + text;
}

TEST_F(BrowseListTest, ListWithoutAFileShowsTheWorkFileAndGivesTheChosenLine) {
  office::BrowseDefinition list;
  list.top = 5, list.left = 10, list.bottom = 10, list.right = 40;
  office::ScreenForms().browse.push_back(list);
  listShown = static_cast<int>(office::ScreenForms().browse.size()) - 1;
  // Two whole entries and a third cut short, which is not shown.
  const std::string first = Entry(0, 11, "first line");
  session.dir().Write("Browse.tmp", first + Entry(1, 22, "second line") + "\x01\x02");
  Scan(kDown);
  Scan(kDown);
  Type("\r");
  EXPECT_EQ(Browse(listShown), 0);
  EXPECT_EQ(screens::Screens().chosenNumber, 22);
  EXPECT_EQ(screens::Screens().chosenText, "second line");
  EXPECT_EQ(Line(0, 1, 10), "first line");
  EXPECT_EQ(Line(0, 3, 10), std::string(10, ' '));
  EXPECT_FALSE(platform::FileExists(screens::BrowseWorkFile()));
}

TEST_F(BrowseListTest, F4OnAFieldTakesTheChosenRecordAndMovesOn) {
  MakeProperties({PropertyRecord(1, "Carrer A"), PropertyRecord(2, "Carrer B")});
  SetField(1, "15/03/24");
  Type("\r");
  Scan(kF4);
  Scan(kDown);
  Type("\r\x1b\x1b");  // chosen; then Escape to field 1 and out
  int key = 0;
  screens::InputScreen(1, 0, 0, key);
  EXPECT_EQ(key, console::kKeyEscape);
  EXPECT_EQ(office::FieldAt(1, 2)->value, "002");
  EXPECT_EQ(keys().Pending(), 0u);
}

TEST_F(BrowseListTest, ChoiceInASubListIsStoredAndKeptWhenTheFieldIsEnteredAgain) {
  MakeProperties({PropertyRecord(1, "Carrer A"), PropertyRecord(2, "Carrer B")});
  office::ScreenForms().browse[1].subList = 1;  // F4 in the list opens it again
  SetField(1, "15/03/24");
  Type("\r");
  Scan(kF4);
  Scan(kF4);  // the sub-list
  Scan(kDown);
  Type("\r");          // chosen there: stored into field 2, which is edited again
  Type("\r\x1b\x1b");  // Enter keeps what the sub-list stored
  int key = 0;
  screens::InputScreen(1, 0, 0, key);
  EXPECT_EQ(key, console::kKeyEscape);
  EXPECT_EQ(office::FieldAt(1, 2)->value, "002");
  EXPECT_EQ(keys().Pending(), 0u);
  EXPECT_FALSE(platform::FileExists(screens::BrowseWorkFile()));
}

TEST_F(BrowseListTest, EscapeInTheFilterScreenEndsTheListBeforeItOpens) {
  MakeProperties({PropertyRecord(1, "Carrer A")});
  office::ScreenForms().browse[1].filterScreen = 2;
  Type("\x1b");
  EXPECT_EQ(Browse(1), -1);
  EXPECT_EQ(keys().seen.size(), 1u);  // only the filter screen waited for a key
  EXPECT_EQ(keys().Pending(), 0u);
}

}  // namespace
}  // namespace screens_test
