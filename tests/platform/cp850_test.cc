// The code page 850 table against the C library's own CP850 converter.
#include "platform/cp850.h"

#include <gtest/gtest.h>
#include <iconv.h>

namespace platform {
namespace {

TEST(Cp850, UpperHalfAndAsciiMatchIconv) {
  iconv_t cd = iconv_open("UTF-8", "CP850");
  // A C library without the converter fails the test: the table is never
  // left unchecked.
  ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1)) << "no CP850 converter (glibc's gconv modules)";
  for (int b = 0x20; b <= 0xFF; ++b) {
    if (b == 0x7F) continue;
    char in = static_cast<char>(b);
    char out[8] = {};
    char* inPtr = &in;
    char* outPtr = out;
    size_t inLeft = 1, outLeft = sizeof out;
    ASSERT_NE(iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft), static_cast<size_t>(-1)) << b;
    std::string want(out, sizeof out - outLeft);
    EXPECT_EQ(Cp850ToUtf8(std::string(1, in)), want) << "byte " << b;
    EXPECT_EQ(Utf8ToCp850(want), std::string(1, in)) << "byte " << b;
  }
  iconv_close(cd);
}

TEST(Cp850, ControlBytesShowConsoleGlyphs) {
  EXPECT_EQ(Cp850ToUtf8("\x10\x11"), "\u25ba\u25c4");
  EXPECT_EQ(Cp850ToUtf8(std::string(1, '\0')), " ");
  EXPECT_EQ(Cp850ToUtf8("\x7f"), "\u2302");
}

TEST(Cp850, Utf8InputDropsWhatTheCodePageCannotHoldAndMalformedBytes) {
  EXPECT_EQ(Utf8ToCp850("MAR\xc3\x87 \xe2\x82\xac \xf0\x9f\x98\x80."), "MAR\x80  .");
  EXPECT_EQ(Utf8ToCp850("\xc0\xaf\xed\xa0\x80\xc3"), "");  // overlong, surrogate, cut short
  EXPECT_EQ(Utf8ToCp850("a\x80"
                        "b"),
            "ab");
}

}  // namespace
}  // namespace platform
