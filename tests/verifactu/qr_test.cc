// The QR's verification address, encoded as the agency asks, and its
// symbol: the version a receipt's address needs, error correction M.
#include "verifactu/qr.h"

#include <gtest/gtest.h>

namespace verifactu {
namespace {

TEST(Qr, AddressEncodesAwkwardSeriesAndPointsAtTheIdentitysEnvironment) {
  const InvoiceId invoice{"B17654321", " A B&C/D+E\xA5~ ", "05-01-2027"};  // \xA5 is Ñ
  EXPECT_EQ(QrUrl(invoice, -1230, false),
            "https://www2.agenciatributaria.gob.es/wlpl/TIKE-CONT/ValidarQR?nif=B17654321"
            "&numserie=A+B%26C%2FD%2BE%C3%91%7E&fecha=05-01-2027&importe=-12.30");

  Registration r;
  r.invoice = {"B17654321", "QA00000123", "05-01-2027"};
  r.lines = {TaxedLine(kBusinessPremisesRegime, 2100, 100000, 21000)};
  r.system = TestSystemIdentity();
  EXPECT_EQ(QrUrl(r),
            "https://prewww2.aeat.es/wlpl/TIKE-CONT/ValidarQR?nif=B17654321"
            "&numserie=QA00000123&fecha=05-01-2027&importe=1210.00");
  r.system.test = false;
  EXPECT_EQ(QrUrl(r).rfind("https://www2.agenciatributaria.gob.es/", 0), 0u);
}

TEST(Qr, ReceiptAddressFitsVersion8AtLevelM) {
  const QrMatrix m = QrMatrixFor(
      "https://www2.agenciatributaria.gob.es/wlpl/TIKE-CONT/ValidarQR?nif=B17654321"
      "&numserie=A26-00000123&fecha=05-01-2027&importe=1234.56");
  ASSERT_EQ(m.version, 8);
  ASSERT_EQ(m.size, 49);
  ASSERT_EQ(m.modules.size(), 49u * 49u);
  // Finder pattern at the top left: dark ring, light ring, dark centre.
  EXPECT_TRUE(m.Dark(0, 0) && m.Dark(6, 0) && m.Dark(0, 6) && m.Dark(3, 3));
  EXPECT_FALSE(m.Dark(1, 1) || m.Dark(5, 5));
  // The first two format bits, beside that pattern in row 8, name the
  // level: masked, M reads dark then light (L dark dark, Q light dark,
  // H light light).
  EXPECT_TRUE(m.Dark(0, 8));
  EXPECT_FALSE(m.Dark(1, 8));
}

}  // namespace
}  // namespace verifactu
