// The SOAP 1.1 request that carries a submission document.
#pragma once

#include <string>
#include <string_view>

namespace submission {

// The SOAP 1.1 envelope, with an empty header, whose body is document: the
// XML text of one RegFactuSistemaFacturacion in UTF-8, as the verifactu
// layer writes it.  A byte order mark and an XML declaration at the start
// of document are left out (a declaration may only open the whole
// message); the rest goes in byte for byte.
std::string SoapEnvelope(std::string_view document);

}  // namespace submission
