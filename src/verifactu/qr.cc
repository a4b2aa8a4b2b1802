// The QR's address and matrix (libqrencode).
#include "verifactu/qr.h"

#include <qrencode.h>

#include "verifactu/values.h"

namespace verifactu {
namespace {

constexpr std::string_view kTestBase = "https://prewww2.aeat.es/wlpl/TIKE-CONT/";
constexpr std::string_view kProductionBase =
    "https://www2.agenciatributaria.gob.es/wlpl/TIKE-CONT/";

std::string UrlEncoded(const std::string& utf8) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char ch : utf8) {
    const auto c = static_cast<unsigned char>(ch);
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '.' || c == '_' || c == '*';
    if (plain) {
      out += ch;
    } else if (c == ' ') {
      out += '+';
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    }
  }
  return out;
}

}  // namespace

std::string QrUrl(const InvoiceId& invoice, long long totalCents, bool testEnvironment) {
  std::string url(testEnvironment ? kTestBase : kProductionBase);
  url += "ValidarQR?nif=" + UrlEncoded(RecordText(invoice.issuerNif));
  url += "&numserie=" + UrlEncoded(RecordText(invoice.seriesNumber));
  url += "&fecha=" + UrlEncoded(RecordText(invoice.issueDate));
  url += "&importe=" + UrlEncoded(DecimalText(totalCents));
  return url;
}

std::string QrUrl(const Registration& record) {
  return QrUrl(record.invoice, TotalAmount(record), record.system.test);
}

QrMatrix QrMatrixFor(std::string_view text) {
  const std::string data(text);
  QRcode* code = QRcode_encodeString(data.c_str(), 0, QR_ECLEVEL_M, QR_MODE_8, 1);
  QrMatrix m;
  if (code == nullptr) return m;
  m.version = code->version;
  m.size = code->width;
  m.modules.resize(static_cast<size_t>(code->width) * static_cast<size_t>(code->width));
  // Bit 0 of each of libqrencode's bytes is the module's colour; the
  // others say what the module is part of.
  for (size_t i = 0; i < m.modules.size(); ++i) m.modules[i] = code->data[i] & 1;
  QRcode_free(code);
  return m;
}

}  // namespace verifactu
