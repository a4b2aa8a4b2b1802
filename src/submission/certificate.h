// The client certificate, checked before anything is sent, so that its
// problems are told as what they are rather than as a failed handshake.
#pragma once

#include <string>
#include <string_view>

#include "submission/outcome.h"

namespace submission {

// Checks the PKCS#12 file at path (mapped by NativePath): that it is
// there, opens with password, holds a certificate with its private key,
// and that the certificate is valid on platform::Today().  Returns a
// failure of one of the certificate kinds, its subject the path, or one
// of kind kNone.
Failure CheckCertificate(std::string_view path, const std::string& password);

}  // namespace submission
