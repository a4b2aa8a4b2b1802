// Storage of the program's identity and the customer variant rule.
#include "config/program_identity.h"

#include "platform/program_state.h"

namespace config {

ProgramIdentity& Program() {
  static ProgramIdentity identity;
  return identity;
}

namespace {
[[maybe_unused]] const bool registered = platform::RegisterStateReset(
    platform::Layer::kConfig, "config::Program", [] { Program() = ProgramIdentity{}; });
}  // namespace

std::int16_t CustomerVariantFor(const std::string& companyLine7) {
  const std::string id = companyLine7.substr(0, 17);
  if (id == kCustomerVariant1) return 1;
  if (id == kCustomerVariant2) return 2;
  return 0;
}

}  // namespace config
