// The environment setting and the service it chooses.
#include "submission/endpoint.h"

#include <gtest/gtest.h>

namespace submission {
namespace {

TEST(Endpoint, EntornNamesChooseTheAgencysTestOrProductionServiceAndNothingElse) {
  EXPECT_EQ(EntornFromName(" proves "), Entorn::kProves);
  EXPECT_EQ(EntornFromName("PRODUCCIO"), Entorn::kProduccio);
  for (const char* mistyped : {"", "PROD", "PRODUCCI\xE0", "PROVES X"}) {
    EXPECT_EQ(EntornFromName(mistyped), std::nullopt) << mistyped;
  }
  EXPECT_EQ(EndpointUrl(Entorn::kProves).rfind("https://prewww1.aeat.es/", 0), 0u);
  EXPECT_EQ(EndpointUrl(Entorn::kProduccio).rfind("https://www1.agenciatributaria.gob.es/", 0), 0u);
  for (Entorn entorn : {Entorn::kProves, Entorn::kProduccio}) {
    EXPECT_TRUE(
        EndpointUrl(entorn).ends_with("/wlpl/TIKE-CONT/ws/SistemaFacturacion/VerifactuSOAP"));
  }
}

}  // namespace
}  // namespace submission
