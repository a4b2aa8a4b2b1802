// Decimals, dates and generation times as the records write them.
#include "verifactu/values.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <climits>
#include <optional>
#include <string>

namespace verifactu {
namespace {

TEST(Values, DecimalsHaveTwoPlacesASignAndNoSeparators) {
  EXPECT_EQ(DecimalText(0), "0.00");
  EXPECT_EQ(DecimalText(5), "0.05");
  EXPECT_EQ(DecimalText(-5), "-0.05");
  EXPECT_EQ(DecimalText(12345), "123.45");
  EXPECT_EQ(DecimalText(-123456789), "-1234567.89");
  EXPECT_EQ(DecimalText(2100), "21.00");
  EXPECT_EQ(DecimalText(LLONG_MIN), "-92233720368547758.08");
  EXPECT_EQ(DateText({2027, 1, 5}), "05-01-2027");
}

// Runs with TZ set to zone, then puts the process's zone back.
class InZone {
 public:
  explicit InZone(const char* zone) {
    if (const char* old = getenv("TZ")) old_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~InZone() {
    if (old_) {
      setenv("TZ", old_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  std::optional<std::string> old_;
};

TEST(Values, GenerationTimeCarriesTheLocalOffsetOfThatMoment) {
  const std::time_t winter = 1704133230;  // 2024-01-01 18:20:30 UTC
  const std::time_t summer = 1719854430;  // 2024-07-01 17:20:30 UTC
  {
    InZone madrid("CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_EQ(GenerationTime(winter), "2024-01-01T19:20:30+01:00");
    EXPECT_EQ(GenerationTime(summer), "2024-07-01T19:20:30+02:00");
  }
  {
    InZone canaries("WET0WEST,M3.5.0/1,M10.5.0");
    EXPECT_EQ(GenerationTime(winter), "2024-01-01T18:20:30+00:00");
  }
  {
    InZone west("<-0330>3:30");
    EXPECT_EQ(GenerationTime(winter), "2024-01-01T14:50:30-03:30");
  }
}

TEST(Values, RecordTextIsTrimmedCutAndUtf8) {
  EXPECT_EQ(RecordText("  Ca\xA4\x65llas  "), "Ca\xC3\xB1\x65llas");  // "Cañellas"
  EXPECT_EQ(RecordText("ABC DEF", 4), "ABC");
  EXPECT_EQ(RecordText("   "), "");
}

}  // namespace
}  // namespace verifactu
