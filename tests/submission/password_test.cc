// Where the certificate's password comes from.
#include "submission/password.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "../support/temp_dir.h"

namespace submission {
namespace {

TEST(CertificatePassword, EnvironmentFirstThenTheFilesFirstLine) {
  testing_support::TempDir dir;
  dir.Write("clau.txt", "secret de fitxer\r\nsecond line\n");
  ::setenv("KELCERTCLAU", "secret d'entorn", 1);
  EXPECT_EQ(CertificatePassword(dir.Sub("clau.txt")), "secret d'entorn");
  ::setenv("KELCERTCLAU", "", 1);
  EXPECT_EQ(CertificatePassword(dir.Sub("clau.txt")), "secret de fitxer");
  ::unsetenv("KELCERTCLAU");
  EXPECT_EQ(CertificatePassword(dir.Sub("clau.txt")), "secret de fitxer");
  EXPECT_EQ(CertificatePassword(dir.Sub("missing.txt")), std::nullopt);
  EXPECT_EQ(CertificatePassword(""), std::nullopt);
}

}  // namespace
}  // namespace submission
