// The agency publishes one address per environment for the service of
// systems that issue verifiable invoices (sfVerifactu), reached with a
// personal or company certificate.
#include "submission/endpoint.h"

#include <cctype>

namespace submission {

std::optional<Entorn> EntornFromName(std::string_view name) {
  while (!name.empty() && std::isspace(static_cast<unsigned char>(name.front()))) {
    name.remove_prefix(1);
  }
  while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back()))) {
    name.remove_suffix(1);
  }
  std::string upper;
  for (char c : name) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (upper == "PROVES") return Entorn::kProves;
  if (upper == "PRODUCCIO") return Entorn::kProduccio;
  return std::nullopt;
}

std::string EndpointUrl(Entorn entorn) {
  switch (entorn) {
    case Entorn::kProves:
      return "https://prewww1.aeat.es/wlpl/TIKE-CONT/ws/SistemaFacturacion/VerifactuSOAP";
    case Entorn::kProduccio:
      return "https://www1.agenciatributaria.gob.es/wlpl/TIKE-CONT/ws/SistemaFacturacion/"
             "VerifactuSOAP";
  }
  return {};
}

}  // namespace submission
