// The failures' messages and which of them are worth another try.
#include "submission/outcome.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "config/session_settings.h"
#include "platform/program_state.h"

namespace submission {
namespace {

std::vector<FailureKind> AllFailures() {
  std::vector<FailureKind> kinds;
  for (int k = static_cast<int>(FailureKind::kCertificateMissing);
       k <= static_cast<int>(FailureKind::kTransportError); ++k) {
    kinds.push_back(static_cast<FailureKind>(k));
  }
  return kinds;
}

TEST(FailureMessages, EveryKindHasItsOwnTextInEnglishAndInEachLanguageNamingItsSubject) {
  platform::ResetProgramState();
  std::set<std::string> english;
  std::map<std::string, std::set<std::string>> byLanguage;
  for (FailureKind kind : AllFailures()) {
    Failure failure;
    failure.kind = kind;
    failure.subject = "C:\\KEL\\CERT.P12";
    english.insert(EnglishMessage(failure));
    if (kind != FailureKind::kSoapFault) {  // which names the agency's reason instead
      EXPECT_NE(EnglishMessage(failure).find("C:\\KEL\\CERT.P12"), std::string::npos);
    }
    std::set<std::string> ofThisKind;
    for (const char* language : {"CAT", "SPA", "GLG", "OCI"}) {
      config::Settings().SessionLanguage = language;
      byLanguage[language].insert(OperatorMessage(failure));
      ofThisKind.insert(OperatorMessage(failure));
    }
    EXPECT_EQ(ofThisKind.size(), 4u) << EnglishMessage(failure);
  }
  EXPECT_EQ(english.size(), AllFailures().size());
  for (const auto& [language, texts] : byLanguage) {
    EXPECT_EQ(texts.size(), AllFailures().size()) << language;
  }
  platform::ResetProgramState();
}

TEST(FailureMessages, FaultsHttpStatusesAndDatesAreNamed) {
  platform::ResetProgramState();
  config::Settings().SessionLanguage = "SPA";
  Failure fault;
  fault.kind = FailureKind::kSoapFault;
  fault.faultCode = "env:Client";
  fault.faultString = "Codigo[4104].El NIF no est\xA0 identificado.";
  EXPECT_EQ(OperatorMessage(fault),
            "LA AGENCIA TRIBUTARIA HA RECHAZADO TODO EL ENV\xD6O (env:Client): "
            "Codigo[4104].El NIF no est\xA0 identificado.");
  Failure status;
  status.kind = FailureKind::kHttpStatus;
  status.httpStatus = 503;
  status.subject = "prewww1.aeat.es";
  EXPECT_EQ(EnglishMessage(status),
            "the server answered with an HTTP error (503): prewww1.aeat.es");
  Failure expired;
  expired.kind = FailureKind::kCertificateExpired;
  expired.subject = "cert.p12";
  expired.date = "2021-01-01";
  EXPECT_EQ(OperatorMessage(expired), "EL CERTIFICADO DIGITAL HA CADUCADO (2021-01-01): cert.p12");
  platform::ResetProgramState();
}

TEST(FailureMessages, OnlyPassingTroublesAreWorthAnotherTry) {
  auto failure = [](FailureKind kind, int status = 0, const char* code = "") {
    Failure f;
    f.kind = kind;
    f.httpStatus = status;
    f.faultCode = code;
    return f;
  };
  for (FailureKind kind :
       {FailureKind::kNoNetwork, FailureKind::kNameNotResolved, FailureKind::kConnectionRefused,
        FailureKind::kConnectionDropped, FailureKind::kTimeout}) {
    EXPECT_TRUE(WorthRetrying(failure(kind))) << EnglishMessage(failure(kind));
  }
  EXPECT_TRUE(WorthRetrying(failure(FailureKind::kHttpStatus, 503)));
  EXPECT_TRUE(WorthRetrying(failure(FailureKind::kSoapFault, 500, "env:Server")));
  EXPECT_FALSE(WorthRetrying(failure(FailureKind::kSoapFault, 500, "env:Client")));
  EXPECT_FALSE(WorthRetrying(failure(FailureKind::kHttpStatus, 403)));
  for (FailureKind kind : {FailureKind::kCertificateMissing, FailureKind::kCertificateUnreadable,
                           FailureKind::kCertificateWrongPassword, FailureKind::kCertificateExpired,
                           FailureKind::kCertificateNotYetValid, FailureKind::kServerNotTrusted,
                           FailureKind::kCertificateRefused, FailureKind::kNotAgencyAnswer}) {
    EXPECT_FALSE(WorthRetrying(failure(kind))) << EnglishMessage(failure(kind));
  }
}

}  // namespace
}  // namespace submission
