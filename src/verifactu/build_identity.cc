#include "verifactu/build_identity.h"

#include "verifactu/build_identity_values.h"

namespace verifactu {

SystemIdentity BuiltIdentity() {
  if (build::kTestIdentity) {
    SystemIdentity test = TestSystemIdentity();
    test.installationNumber.clear();
    return test;
  }
  return {build::kProducerName, build::kProducerNif, build::kSystemName, build::kSystemId,
          QANTIRES_VERSION, "", true, true, true, false};
}

std::string BuiltIdentityLine() {
  const SystemIdentity id = BuiltIdentity();
  if (id.test) {
    return "VERI*FACTU: a test build with the agency's test identity; it works only with the "
           "agency's test service (Entorn=PROVES)";
  }
  return "VERI*FACTU system " + id.systemName + " (" + id.systemId + ") " + id.version +
         ", producer " + id.producerName + ", NIF " + id.producerNif;
}

std::string Declaration() {
  return build::kDeclaration;
}

}  // namespace verifactu
