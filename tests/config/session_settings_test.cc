#include "config/session_settings.h"

#include "format/amounts.h"
#include "format/format_settings.h"
#include "format/long_dates.h"
#include "format/packed.h"
#include "format/picture.h"
#include "session_fixture.h"

namespace config {
namespace {

using SessionSettingsTest = SessionTest;

TEST_F(SessionSettingsTest, PreparedSessionGivesEveryGlobal) {
  dir_.Write("root/Tora.ini", "[Usuari]\r\nIdioma=GLG\r\n");
  dir_.Write("sess/Sessio.ini", "[Menu]\r\nTitol=Rebuts\r\nNomMenu=QMENU\r\n[Terminal]\r\nDir=" +
                                    Prefix("term") + "\r\n");
  dir_.Write("sess/ToraTerm.ini",
             "[Pantalla]\r\nSeleccio=1\r\nCol0=00000000000000000000\r\n"
             "Col1=01020304050607080910\r\n[Sistema]\r\nData=20240105\r\nSortida=LPT1\r\n"
             "Idioma=SPANISH\r\n");
  Set("KELROOT", Prefix("root"));
  Set("KELEXE", "/opt/kel/");
  Set("KELTMP", dir_.path() + "/sess");  // no final "\": one is added
  LoadSessionSettings();

  const SessionSettings& s = Settings();
  EXPECT_EQ(s.RootDir, Prefix("root"));
  EXPECT_EQ(s.ExeDir, "/opt/kel/");
  EXPECT_EQ(s.SessionDir, Prefix("sess"));
  EXPECT_EQ(s.MenuTitle, " Rebuts ");
  EXPECT_EQ(s.MenuName, "QMENU");
  EXPECT_EQ(s.TerminalDir, Prefix("term"));
  EXPECT_EQ(s.WorkingDate, format::PackDigits("20240105"));
  EXPECT_EQ(s.OutputDevice, "LPT1");
  EXPECT_EQ(s.SessionLanguage, "SPA");
  EXPECT_EQ(s.PlatformKind, "DOS");
  const int expected[5][2] = {{1, 2}, {3, 4}, {5, 6}, {7, 8}, {9, 10}};
  for (int r = 0; r < 5; ++r) {
    EXPECT_EQ(s.ColourTable[r].foreground, expected[r][0]) << r;
    EXPECT_EQ(s.ColourTable[r].background, expected[r][1]) << r;
  }
  EXPECT_EQ(format::Formats().ApplicationCurrency, "E");
  EXPECT_EQ(format::Formats().CurrentCurrency, "E");
}

TEST_F(SessionSettingsTest, WithoutKelTmpAndSessionFileTheTerminalDirectoryServes) {
  dir_.Write("term/ToraTerm.ini", "[Sistema]\r\nSortida=PRN\r\nData=\r\n");
  Set("TERM", dir_.path() + "/term");
  LoadSessionSettings();
  EXPECT_EQ(Settings().MenuTitle, "  ");
  EXPECT_EQ(Settings().TerminalDir, Prefix("term"));
  EXPECT_EQ(Settings().SessionDir, Prefix("term"));
  EXPECT_EQ(Settings().OutputDevice, "PRN");
  EXPECT_EQ(Settings().WorkingDate, "");  // empty, not a zero date
  EXPECT_EQ(Settings().SessionLanguage, "   ");
}

TEST_F(SessionSettingsTest, TerminalTypeInTermIsNoDirectory) {
  Set("TERM", "xterm-256color");
  LoadSessionSettings();
  EXPECT_EQ(Settings().TerminalDir, "");
  EXPECT_EQ(Settings().SessionDir, "");
}

TEST_F(SessionSettingsTest, BareDriveGetsNoBackslash) {
  Set("KELTMP", "C:");
  LoadSessionSettings();
  EXPECT_EQ(Settings().SessionDir, "C:");
}

TEST_F(SessionSettingsTest, ColourSelectionWithoutItsKeyUsesTheDefaults) {
  dir_.Write("ToraTerm.ini", "[Pantalla]\r\nSeleccio=2\r\nCol0=01010101010101010101\r\n");
  Set("KELTMP", Prefix());
  LoadSessionSettings();
  const int defaults[5][2] = {{15, 0}, {7, 0}, {0, 7}, {0, 7}, {0, 7}};
  for (int r = 0; r < 5; ++r) {
    EXPECT_EQ(Settings().ColourTable[r].foreground, defaults[r][0]) << r;
    EXPECT_EQ(Settings().ColourTable[r].background, defaults[r][1]) << r;
  }
}

TEST_F(SessionSettingsTest, ShortColourStringLeavesTheRestZero) {
  dir_.Write("ToraTerm.ini", "[Pantalla]\r\nCol0=1500\r\n");
  Set("KELTMP", Prefix());
  LoadSessionSettings();
  EXPECT_EQ(Settings().ColourTable[0].foreground, 15);
  EXPECT_EQ(Settings().ColourTable[0].background, 0);
  for (int r = 1; r < 5; ++r) {
    EXPECT_EQ(Settings().ColourTable[r].foreground, 0);
    EXPECT_EQ(Settings().ColourTable[r].background, 0);
  }
}

TEST_F(SessionSettingsTest, InstallationLanguageWhenTheTerminalSetsNone) {
  dir_.Write("Tora.ini", "[Usuari]\r\nIdioma=OCITAN\r\n");
  dir_.Write("ToraTerm.ini", "[Sistema]\r\nIdioma=   \r\n");
  Set("KELROOT", Prefix());
  Set("KELTMP", Prefix());
  LoadSessionSettings();
  EXPECT_EQ(Settings().SessionLanguage, "OCI");
}

TEST_F(SessionSettingsTest, PlatformKindTriesTheWebFirst) {
  Set("HTTP_ACCEPT", "text/html");
  Set("WINDIR", "C:\\WINDOWS");
  LoadSessionSettings();
  EXPECT_EQ(Settings().PlatformKind, "CGI");
  ::unsetenv("HTTP_ACCEPT");
  LoadSessionSettings();
  EXPECT_EQ(Settings().PlatformKind, "WIN");
}

TEST_F(SessionSettingsTest, FormattersReadTheInstallationThroughTheProviders) {
  dir_.Write("Tora.ini", "[Usuari]\r\nDecCaracter=,\r\nMilCaracter= \r\nDatCaracter=-\r\n");
  dir_.Write("ToraTerm.ini", "[Sistema]\r\nIdioma=SPA\r\n");
  Set("KELROOT", Prefix());
  Set("KELTMP", Prefix());
  LoadSessionSettings();
  EXPECT_EQ(format::FormatAmount("ZZ,ZZZ,ZZ9", 123456), "  1.234,56");
  EXPECT_EQ(format::FormatDate(format::PackDigits("20240105"), 0, "dma"), "5-1-2024  ");
  EXPECT_EQ(format::FormatDate(format::PackDigits("20240105"), 2, "ma"), "enero de 2024");
}

}  // namespace
}  // namespace config
