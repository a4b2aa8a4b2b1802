// The fingerprint's text and its SHA-256 through OpenSSL's EVP interface.
#include "verifactu/fingerprint.h"

#include <openssl/evp.h>

#include <initializer_list>
#include <utility>

#include "verifactu/values.h"

namespace verifactu {
namespace {

using Pair = std::pair<const char*, const std::string&>;

// name=value&name=value..., values trimmed as the agency reads them.
std::string HashedText(std::initializer_list<Pair> pairs) {
  std::string text;
  for (const Pair& p : pairs) {
    if (!text.empty()) text += '&';
    const size_t first = p.second.find_first_not_of(' ');
    const size_t last = p.second.find_last_not_of(' ');
    text += p.first;
    text += '=';
    if (first != std::string::npos) text += p.second.substr(first, last - first + 1);
  }
  return text;
}

std::string PreviousFingerprint(const std::optional<PreviousRecord>& previous) {
  return previous ? RecordText(previous->fingerprint) : std::string();
}

}  // namespace

std::string Sha256Hex(std::string_view bytes) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr) != 1) {
    return {};
  }
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned int i = 0; i < length; ++i) {
    hex += kHex[digest[i] >> 4];
    hex += kHex[digest[i] & 0xF];
  }
  return hex;
}

std::string Fingerprint(const RegistrationFields& f) {
  return Sha256Hex(HashedText({{"IDEmisorFactura", f.issuerNif},
                               {"NumSerieFactura", f.seriesNumber},
                               {"FechaExpedicionFactura", f.issueDate},
                               {"TipoFactura", f.invoiceType},
                               {"CuotaTotal", f.totalTax},
                               {"ImporteTotal", f.totalAmount},
                               {"Huella", f.previousFingerprint},
                               {"FechaHoraHusoGenRegistro", f.generationTime}}));
}

std::string Fingerprint(const CancellationFields& f) {
  return Sha256Hex(HashedText({{"IDEmisorFacturaAnulada", f.issuerNif},
                               {"NumSerieFacturaAnulada", f.seriesNumber},
                               {"FechaExpedicionFacturaAnulada", f.issueDate},
                               {"Huella", f.previousFingerprint},
                               {"FechaHoraHusoGenRegistro", f.generationTime}}));
}

std::string Fingerprint(const Registration& r) {
  return Fingerprint(RegistrationFields{
      RecordText(r.invoice.issuerNif), RecordText(r.invoice.seriesNumber),
      RecordText(r.invoice.issueDate), InvoiceType(r), DecimalText(TotalTax(r)),
      DecimalText(TotalAmount(r)), PreviousFingerprint(r.previous), RecordText(r.generationTime)});
}

std::string Fingerprint(const Cancellation& c) {
  return Fingerprint(
      CancellationFields{RecordText(c.invoice.issuerNif), RecordText(c.invoice.seriesNumber),
                         RecordText(c.invoice.issueDate), PreviousFingerprint(c.previous),
                         RecordText(c.generationTime)});
}

}  // namespace verifactu
