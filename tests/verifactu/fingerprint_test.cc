// The fingerprint reproduces the tax agency's published worked examples,
// from the hashed fields and from whole records.
#include "verifactu/fingerprint.h"

#include <gtest/gtest.h>

namespace verifactu {
namespace {

constexpr char kFirst[] = "3C464DAF61ACB827C65FDA19F352A4E3BDC2C640E9E9FC4CC058073F38F12F60";
constexpr char kSecond[] = "F7B94CFD8924EDFF273501B01EE5153E4CE8F259766F88CF6ACB8935802A2B97";
constexpr char kCancellation[] = "177547C0D57AC74748561D054A9CEC14B4C4EA23D1BEFD6F2E69E3A388F90C68";

TEST(Fingerprint, ReproducesTheAgencysExamplesOfAChain) {
  RegistrationFields first{"89890001K", "12345678/G33", "01-01-2024", "F1",
                           "12.35",     "123.45",       "",           "2024-01-01T19:20:30+01:00"};
  EXPECT_EQ(Fingerprint(first), kFirst);
  RegistrationFields second{"89890001K", "12345679/G34", "01-01-2024", "F1",
                            "12.35",     "123.45",       kFirst,       "2024-01-01T19:20:35+01:00"};
  EXPECT_EQ(Fingerprint(second), kSecond);
  CancellationFields cancellation{"89890001K", "12345679/G34", "01-01-2024", kSecond,
                                  "2024-01-01T19:20:40+01:00"};
  EXPECT_EQ(Fingerprint(cancellation), kCancellation);
  // Spaces around a value are not part of it.
  first.seriesNumber = " 12345678/G33  ";
  EXPECT_EQ(Fingerprint(first), kFirst);
}

TEST(Fingerprint, OfRecordsHashesTheirTypeTotalsAndLink) {
  Registration r;
  r.invoice = {"89890001K", "12345679/G34", "01-01-2024"};
  r.recipient = Recipient{"LLOGATER", "12345678Z", {}};
  r.lines = {TaxedLine(kGeneralRegime, 2100, 5000, 1050),
             TaxedLine(kGeneralRegime, 1000, 1850, 185), ExemptDwellingRent(4260)};
  r.previous = PreviousRecord{{"89890001K", "12345678/G33", "01-01-2024"}, kFirst};
  r.generationTime = "2024-01-01T19:20:35+01:00";
  r.fingerprint = Fingerprint(r);
  EXPECT_EQ(r.fingerprint, kSecond);
  Registration withoutRecipient = r;  // an invoice of type F2
  withoutRecipient.recipient.reset();
  EXPECT_NE(Fingerprint(withoutRecipient), kSecond);

  Cancellation c;
  c.invoice = r.invoice;
  c.previous = LinkTo(r);
  c.generationTime = "2024-01-01T19:20:40+01:00";
  EXPECT_EQ(Fingerprint(c), kCancellation);
}

}  // namespace
}  // namespace verifactu
