// The help viewer: paging over a help file, colour toggles, the nested
// general help, and the HTML path on Windows workstations.
#include "screens/help.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "config/session_settings.h"
#include "demo_files.h"
#include "office/screen_form.h"
#include "platform/current_dir.h"
#include "screens/input_screen.h"
#include "screens_fixture.h"

namespace screens_test {
namespace {

// One record of the help file: the text padded to 78 columns, then CR LF.
std::string Record(const std::string& text) {
  std::string line = text;
  line.resize(78, ' ');
  return line + "\r\n";
}

std::string Lines(const std::string& prefix, int count) {
  std::string file;
  for (int n = 1; n <= count; ++n) file += Record(prefix + std::to_string(n));
  return file;
}

// Inside the frame, from window column 2, without trailing blanks.
std::string Inner(const terminal::ConsoleScreen& screen, int row) {
  const std::string text = CellsText(screen, row, 3, 77);
  return text.substr(0, text.find_last_not_of(' ') + 1);
}

class HelpTest : public ScreensTest {
 protected:
  HelpTest() : previous_(platform::CurrentDirectory()) {
    platform::ChangeDirectory(session.dir().path());
    std::filesystem::create_directories(session.dir().Sub("AJUDA"));
  }
  ~HelpTest() override { platform::ChangeDirectory(previous_); }
  void WriteHelp(const std::string& topic, const std::string& contents) {
    session.dir().Write("AJUDA/" + topic + ".HLP", contents);
  }
  // The first and last help lines shown on a recorded screen.
  std::pair<std::string, std::string> Shown(size_t wait) {
    const auto& screen = keys().seen.at(wait);
    return {Inner(screen, 5), Inner(screen, 21)};
  }

 private:
  std::string previous_;
};

using Page = std::pair<std::string, std::string>;

TEST_F(HelpTest, PagesOverATwentyLineFile) {
  WriteHelp("QANTIRES", Lines("Line ", 20));
  for (int scan : {0x51, 0x51, 0x47, 0x4F}) Scan(scan);
  Type("\x1b");
  screens::ShowHelp("QANTIRES");
  ASSERT_EQ(keys().seen.size(), 5u);
  const auto& first = keys().seen[0];
  EXPECT_EQ(first.At(4, 1).character, 0xC9);  // window rows 4 to 22
  EXPECT_EQ(first.At(22, 80).character, 0xBC);
  EXPECT_EQ(Shown(0), Page("Line 1", "Line 17"));
  EXPECT_EQ(Shown(1), Page("Line 4", "Line 20"));  // Page Down
  EXPECT_EQ(Shown(2), Page("Line 4", "Line 20"));  // no further
  EXPECT_EQ(Shown(3), Page("Line 1", "Line 17"));  // Home
  EXPECT_EQ(Shown(4), Page("Line 4", "Line 20"));  // End
  EXPECT_EQ(terminal::ScreenRowText(5), "");       // closed
}

TEST_F(HelpTest, UpOnTheFirstPageAndDownAtTheLastLineDoNothing) {
  WriteHelp("QANTIRES", Lines("Line ", 20));
  Scan(0x48);
  Scan(0x50);
  Scan(0x50);
  Scan(0x50);
  Scan(0x50);  // the fourth Down would go past line 20
  Scan(0x48);
  Type("\x1b");
  screens::ShowHelp("QANTIRES");
  EXPECT_EQ(Shown(1), Page("Line 1", "Line 17"));
  EXPECT_EQ(Shown(2), Page("Line 2", "Line 18"));
  EXPECT_EQ(Shown(4), Page("Line 4", "Line 20"));
  EXPECT_EQ(Shown(5), Page("Line 4", "Line 20"));
  EXPECT_EQ(Shown(6), Page("Line 3", "Line 19"));
}

TEST_F(HelpTest, F1OpensTheGeneralHelpOnceAndEscapeReturns) {
  WriteHelp("QANTIRES", Lines("Topic ", 3));
  WriteHelp("KOPAMENU", Lines("Menu ", 3));
  Scan(0x3B);
  Scan(0x3B);  // inside the general help: nothing
  Type("\x1b\x1b");
  screens::ShowHelp("QANTIRES");
  ASSERT_EQ(keys().seen.size(), 4u);
  EXPECT_EQ(Inner(keys().seen[1], 5), "Menu 1");
  EXPECT_EQ(Inner(keys().seen[2], 5), "Menu 1");
  EXPECT_EQ(Inner(keys().seen[3], 5), "Topic 1");
  EXPECT_EQ(keys().Pending(), 0u);
}

TEST_F(HelpTest, ToggleBytesSwitchColoursAndLinesShowAtMost76Characters) {
  WriteHelp("QANTIRES", Record("\x1ETotal\x1E rest") + Record(std::string(78, 'x')));
  Type("\x1b");
  screens::ShowHelp("QANTIRES");
  const auto& screen = keys().seen.at(0);
  EXPECT_EQ(CellsText(screen, 5, 3, 10), "Total rest");
  EXPECT_EQ(screen.At(5, 3).attribute, 0x0F);  // "h"
  EXPECT_EQ(screen.At(5, 8).attribute, 0x07);  // "n"
  EXPECT_EQ(CellsText(screen, 6, 3, 77), std::string(76, 'x') + " ");
}

TEST_F(HelpTest, MissingFileShowsAnEmptyWindow) {
  Scan(0x51);
  Type("\x1b");
  screens::ShowHelp("NOTHERE");
  ASSERT_EQ(keys().seen.size(), 2u);
  EXPECT_EQ(Inner(keys().seen[1], 5), "");
}

TEST_F(HelpTest, WindowsWorkstationRunsTheStartCommandThroughComspec) {
  config::Settings().PlatformKind = "WIN";
  const std::string script = session.dir().Sub("comspec.sh");
  const std::string out = session.dir().Sub("args.txt");
  std::ofstream(script) << "#!/bin/sh\necho \"$@\" > '" << out << "'\n";
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  ::setenv("COMSPEC", script.c_str(), 1);
  Type("\x1b");
  screens::ShowHelp("QANTIRES");
  ::unsetenv("COMSPEC");
  std::ifstream in(out);
  std::string args;
  std::getline(in, args);
  EXPECT_EQ(args, "/C QLAUNCH AJUDA\\QANTIRES.HTM");
  EXPECT_EQ(keys().Pending(), 1u);  // nothing was read from the console
}

TEST_F(HelpTest, F1InAFieldShowsTheMenusHelpAndTheFieldGoesOn) {
  office::ReadScreenFormText(demo::SelectionForm());
  config::Settings().MenuName = "QANTIRES   ";  // trailing blanks are not part of the topic
  WriteHelp("QANTIRES", Lines("Selection help ", 2));
  Scan(0x3B);
  Type("\x1b");  // leaves the help
  Type("\x1b");  // leaves the screen from its first field
  int key = 0;
  screens::InputScreen(1, 0, 0, key);
  EXPECT_EQ(key, 27);
  EXPECT_EQ(keys().Pending(), 0u);
  ASSERT_GE(keys().seen.size(), 2u);
  EXPECT_EQ(Inner(keys().seen[1], 5), "Selection help 1");
}

}  // namespace
}  // namespace screens_test
