// Storage of the program state and the customer variant rule.
#include "config/program_state.h"

namespace config {

ProgramState& Program() {
  static ProgramState state;
  return state;
}

void ResetProgram() {
  Program() = ProgramState{};
}

std::int16_t CustomerVariantFor(const std::string& companyLine7) {
  const std::string id = companyLine7.substr(0, 17);
  if (id == kCustomerVariant1) return 1;
  if (id == kCustomerVariant2) return 2;
  return 0;
}

}  // namespace config
