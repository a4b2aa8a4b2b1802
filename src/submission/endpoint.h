// Where VERI*FACTU submissions go: the tax agency's service for systems
// that sign in with a certificate, in its test or its production
// environment.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace submission {

// The agency's environment, by the words of the settings.
enum class Entorn {
  kProves,     // the agency's test service: nothing sent there counts
  kProduccio,  // the real register of invoices
};

// "PROVES" or "PRODUCCIO" (any case, blanks around ignored); nullopt for
// anything else, so that a mistyped setting never falls to production.
std::optional<Entorn> EntornFromName(std::string_view name);

// The address of the submission service of entorn.
std::string EndpointUrl(Entorn entorn);

}  // namespace submission
