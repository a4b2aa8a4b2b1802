// Terminal byte strings to console events, for the encodings of xterm,
// tmux, the Linux console, rxvt and PuTTY.
#include "terminal/key_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace terminal {
namespace {

struct Expect {
  std::uint8_t character;
  std::uint8_t scanCode;
  std::uint16_t keys;
};

std::vector<ConsoleEvent> DecodeAll(std::string_view bytes, bool timedOut = true) {
  KeyDecoder decoder;
  decoder.Feed(bytes);
  std::vector<ConsoleEvent> events;
  ConsoleEvent e;
  while (decoder.Next(&e, timedOut)) events.push_back(e);
  return events;
}

void ExpectKey(std::string_view bytes, Expect want) {
  SCOPED_TRACE(testing::PrintToString(std::string(bytes)));
  const std::vector<ConsoleEvent> events = DecodeAll(bytes);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].kind, EventKind::kKey);
  EXPECT_EQ(events[0].character, want.character);
  EXPECT_EQ(events[0].scanCode, want.scanCode);
  EXPECT_EQ(events[0].controlKeys, want.keys);
}

TEST(KeyDecoder, PlainBytesAndControlKeys) {
  ExpectKey("a", {'a', 0x1E, 0});
  ExpectKey("X", {'X', 0x2D, kShift});
  ExpectKey("5", {'5', 0x06, 0});
  ExpectKey("\r", {13, 0x1C, 0});
  ExpectKey("\t", {9, 0x0F, 0});
  ExpectKey("\x7f", {8, 0x0E, 0});
  ExpectKey("\x08", {8, 0x0E, 0});
  ExpectKey("\x03", {3, 0x2E, kLeftCtrl});
  ExpectKey("\x19", {25, 0x15, kLeftCtrl});
  ExpectKey("\x1b", {27, 0x01, 0});
}

TEST(KeyDecoder, NavigationAndFunctionKeysOfEachTerminal) {
  ExpectKey("\x1b[A", {0, 0x48, 0});   // xterm, tmux, Linux
  ExpectKey("\x1b[H", {0, 0x47, 0});   // xterm Home
  ExpectKey("\x1b[F", {0, 0x4F, 0});   // xterm End
  ExpectKey("\x1b[1~", {0, 0x47, 0});  // tmux, Linux, PuTTY Home
  ExpectKey("\x1b[4~", {0, 0x4F, 0});  // End
  ExpectKey("\x1b[7~", {0, 0x47, 0});  // rxvt Home
  ExpectKey("\x1b[8~", {0, 0x4F, 0});  // rxvt End
  ExpectKey("\x1b[2~", {0, 0x52, 0});
  ExpectKey("\x1b[3~", {0, 0x53, 0});
  ExpectKey("\x1b[5~", {0, 0x49, 0});
  ExpectKey("\x1b[6~", {0, 0x51, 0});
  ExpectKey("\x1b[E", {0, 0x4C, 0});
  ExpectKey("\x1bOP", {0, 0x3B, 0});    // xterm F1
  ExpectKey("\x1bOS", {0, 0x3E, 0});    // xterm F4
  ExpectKey("\x1b[11~", {0, 0x3B, 0});  // PuTTY, rxvt F1
  ExpectKey("\x1b[[A", {0, 0x3B, 0});   // Linux console F1
  ExpectKey("\x1b[[E", {0, 0x3F, 0});   // Linux console F5
  ExpectKey("\x1b[15~", {0, 0x3F, 0});
  ExpectKey("\x1b[17~", {0, 0x40, 0});     // F6
  ExpectKey("\x1b[21~", {0, 0x44, 0});     // F10
  ExpectKey("\x1b[23~", {0, 0x85, 0});     // F11
  ExpectKey("\x1b[24~", {0, 0x86, 0});     // F12
  ExpectKey("\x1b[Z", {0, 0x0F, kShift});  // Shift+Tab
}

TEST(KeyDecoder, ModifiersOnNavigationAndFunctionKeys) {
  ExpectKey("\x1b[1;5D", {0, 0x4B, kLeftCtrl});  // xterm Ctrl+Left
  ExpectKey("\x1b[1;5C", {0, 0x4D, kLeftCtrl});
  ExpectKey("\x1b[1;5H", {0, 0x47, kLeftCtrl});   // Ctrl+Home
  ExpectKey("\x1bOD", {0, 0x4B, kLeftCtrl});      // PuTTY Ctrl+Left
  ExpectKey("\x1bOd", {0, 0x4B, kLeftCtrl});      // rxvt Ctrl+Left
  ExpectKey("\x1b[d", {0, 0x4B, kShift});         // rxvt Shift+Left
  ExpectKey("\x1b[1;2P", {0, 0x3B, kShift});      // xterm Shift+F1
  ExpectKey("\x1bO2P", {0, 0x3B, kShift});        // old xterm Shift+F1
  ExpectKey("\x1b[15;5~", {0, 0x3F, kLeftCtrl});  // Ctrl+F5
  ExpectKey("\x1b[24;3~", {0, 0x86, kLeftAlt});   // Alt+F12
  ExpectKey("\x1b[1;3D", {0, 0x4B, kLeftAlt});
  ExpectKey("\x1b[1;6A", {0, 0x48, kLeftCtrl | kShift});
  ExpectKey("\x1b[1;9A", {0, 0x48, kLeftAlt});  // Meta counts as Alt
  ExpectKey("\x1b[3^", {0, 0x53, kLeftCtrl});   // rxvt Ctrl+Delete
  ExpectKey("\x1b[2$", {0, 0x52, kShift});      // rxvt Shift+Insert
  ExpectKey("\x1b[11@", {0, 0x3B, kLeftCtrl | kShift});
  ExpectKey("\x1b[25~", {0, 0x3D, kShift});  // rxvt, Linux Shift+F3
  ExpectKey("\x1b[34~", {0, 0x44, kShift});  // Shift+F10
}

TEST(KeyDecoder, AltPrefixAndKittyAndModifyOtherKeys) {
  ExpectKey("\x1bx", {0, 0x2D, kLeftAlt});  // Alt+X
  ExpectKey(
      "\x1b"
      "c",
      {0, 0x2E, kLeftAlt});  // Alt+C
  ExpectKey(
      "\x1b"
      "E",
      {0, 0x12, kLeftAlt | kShift});
  ExpectKey("\x1b\x7f", {8, 0x0E, kLeftAlt});
  ExpectKey("\x1b\x1b[D", {0, 0x4B, kLeftAlt});      // rxvt, PuTTY Alt+Left
  ExpectKey("\x1b[", {'[', 0, kLeftAlt});            // Alt+[ once the wait is over
  ExpectKey("\x1bO", {0, 0x18, kLeftAlt | kShift});  // Alt+Shift+O likewise
  ExpectKey("\x1b[99;5u", {3, 0x2E, kLeftCtrl});     // CSI u Ctrl+C
  ExpectKey("\x1b[120;3u", {0, 0x2D, kLeftAlt});     // CSI u Alt+X
  ExpectKey("\x1b[9;2u", {0, 0x0F, kShift});         // CSI u Shift+Tab
  ExpectKey("\x1b[13;5u", {13, 0x1C, kLeftCtrl});
  ExpectKey("\x1b[27;5;118~", {22, 0x2F, kLeftCtrl});  // modifyOtherKeys Ctrl+V
  ExpectKey("\x1b[27;2;9~", {0, 0x0F, kShift});
  ExpectKey("\x1b[231u", {0x87, 0, 0});  // CSI u c-cedilla
}

TEST(KeyDecoder, TwoEscapesAreEscapeTwiceUnlessASequenceFollows) {
  std::vector<ConsoleEvent> e = DecodeAll("\x1b\x1b");
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[0].character, 27);
  EXPECT_EQ(e[1].character, 27);
  EXPECT_EQ(e[1].controlKeys, 0);
  e = DecodeAll("\x1b\x1bx");
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[0].character, 27);
  EXPECT_EQ(e[1].scanCode, 0x2D);
  EXPECT_EQ(e[1].controlKeys, kLeftAlt);
}

TEST(KeyDecoder, Utf8BecomesCodePage850AndTheRestIsDropped) {
  ExpectKey("\xc3\xa7", {0x87, 0, 0});  // c-cedilla
  ExpectKey("\xc3\x91", {0xA5, 0, 0});  // N-tilde
  ExpectKey("\xe2\x95\x94", {0xC9, 0, 0});
  EXPECT_TRUE(DecodeAll("\xe2\x82\xac").empty());  // euro sign: not in the code page
  EXPECT_TRUE(DecodeAll("\xc3").empty());          // cut short
  const std::vector<ConsoleEvent> e = DecodeAll("\xff\xc3(a");
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[0].character, '(');
  EXPECT_EQ(e[1].character, 'a');
}

TEST(KeyDecoder, SgrMouseReleasesOnly) {
  std::vector<ConsoleEvent> e =
      DecodeAll("\x1b[<0;12;5M\x1b[<0;12;5m\x1b[<2;80;25m\x1b[<35;3;3M\x1b[<64;1;1M");
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[0].kind, EventKind::kMouseRelease);
  EXPECT_EQ(e[0].row, 5);
  EXPECT_EQ(e[0].column, 12);
  EXPECT_EQ(e[0].button, 1);
  EXPECT_EQ(e[1].button, 2);
  EXPECT_EQ(e[1].row, 25);
  EXPECT_EQ(e[1].column, 80);
}

TEST(KeyDecoder, SequencesSplitAcrossReadsWaitForTheirEnd) {
  KeyDecoder decoder;
  ConsoleEvent e;
  decoder.Feed("\x1b");
  EXPECT_FALSE(decoder.Next(&e));
  decoder.Feed("[1;5");
  EXPECT_FALSE(decoder.Next(&e));
  decoder.Feed("Da\xc3");
  ASSERT_TRUE(decoder.Next(&e));
  EXPECT_EQ(e.scanCode, 0x4B);
  ASSERT_TRUE(decoder.Next(&e));
  EXPECT_EQ(e.character, 'a');
  EXPECT_FALSE(decoder.Next(&e));
  decoder.Feed("\xa9");
  ASSERT_TRUE(decoder.Next(&e));
  EXPECT_EQ(e.character, 0x82);  // e-acute
  decoder.Feed("\x1b");
  EXPECT_FALSE(decoder.Next(&e));
  ASSERT_TRUE(decoder.Next(&e, true));
  EXPECT_EQ(e.character, 27);
  EXPECT_FALSE(decoder.Pending());
}

TEST(KeyDecoder, UnknownAndBrokenSequencesAreSwallowed) {
  std::vector<ConsoleEvent> e =
      DecodeAll("\x1b[?1;2c\x1b[99X\x1b[M !!\x1b[12\x1b[Bq\x1b[[Zr\x1bO~s");
  ASSERT_EQ(e.size(), 4u);
  EXPECT_EQ(e[0].scanCode, 0x50);  // the Down after the cut "ESC [ 12"
  EXPECT_EQ(e[1].character, 'q');
  EXPECT_EQ(e[2].character, 'r');
  EXPECT_EQ(e[3].character, 's');
  KeyDecoder decoder;
  decoder.Feed("\x1b[" + std::string(KeyDecoder::kMaxSequence, '1'));
  ConsoleEvent ev;
  EXPECT_FALSE(decoder.Next(&ev));
  EXPECT_FALSE(decoder.Pending());  // an endless sequence is dropped, not kept
}

}  // namespace
}  // namespace terminal
