// Sending one VERI*FACTU submission to the tax agency and reading its
// answer: the whole exchange, for the register that decides what to send,
// keeps the records' states and waits between submissions.
#pragma once

#include <string>
#include <string_view>

#include "submission/endpoint.h"
#include "submission/outcome.h"

namespace submission {

struct SendSettings {
  Entorn entorn = Entorn::kProves;
  // Used in place of entorn's address when set (a local server in tests).
  std::string url;
  // The client certificate: a PKCS#12 file (.p12, .pfx; mapped by
  // NativePath) and its password (see CertificatePassword).
  std::string certificateFile;
  std::string certificatePassword;
  // PEM file of the authorities that may sign the server's certificate;
  // empty: the system's store, which holds the agency's.
  std::string authorityFile;
  // The time to connect, and to have the whole answer, in milliseconds.
  // An answer for a full submission can take the agency a minute.
  long connectTimeoutMs = 20 * 1000;
  long totalTimeoutMs = 180 * 1000;
};

// Checks the certificate, then posts document (the XML text of one
// RegFactuSistemaFacturacion, UTF-8, as the verifactu layer writes it) in
// a SOAP envelope and reads the answer.  The outcome is answered only when
// the agency's answer came whole and was read; anything else is a failure
// of one kind, and no record of the document is registered by it as far
// as this program can tell (failure.requestSent says whether the agency
// may have it all the same).  Blocks for at most the timeouts.
Outcome SendSubmission(const SendSettings& settings, std::string_view document);

}  // namespace submission
