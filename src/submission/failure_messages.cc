// The messages of the failures in English and in the session language
// (Catalan, Spanish, Galician, Aranese; code page 850).  Each is a text of
// its kind, then what it names: "<text> (<date or status>): <subject>".
#include <map>

#include "config/in_language.h"
#include "submission/outcome.h"

namespace submission {
namespace {

struct Texts {
  const char* english;
  const char* cat;
  const char* spa;
  const char* glg;
  const char* oci;
};

const Texts& TextsOf(FailureKind kind) {
  static const std::map<FailureKind, Texts> texts = {
      {FailureKind::kNone, {"answered", "RESPOST", "RESPONDIDO", "RESPONDIDO", "RESPONUT"}},
      {FailureKind::kCertificateMissing,
       {"the client certificate is not there", "NO ES TROBA EL CERTIFICAT DIGITAL",
        "NO SE ENCUENTRA EL CERTIFICADO DIGITAL", "NON SE ATOPA O CERTIFICADO DIXITAL",
        "NON SE TROBE ETH CERTIFICAT DIGITAU"}},
      {FailureKind::kCertificateUnreadable,
       {"the client certificate is not a PKCS#12 file with one certificate and its key",
        "EL CERTIFICAT DIGITAL NO \x90S UN FITXER PKCS#12 AMB CERTIFICAT I CLAU",
        "EL CERTIFICADO DIGITAL NO ES UN FICHERO PKCS#12 CON CERTIFICADO Y CLAVE",
        "O CERTIFICADO DIXITAL NON \x90 UN FICHEIRO PKCS#12 CON CERTIFICADO E CHAVE",
        "ETH CERTIFICAT DIGITAU NON EI UN FICH\xD4R PKCS#12 DAMB CERTIFICAT E CLAU"}},
      {FailureKind::kCertificateWrongPassword,
       {"the password does not open the client certificate",
        "LA CONTRASENYA NO OBRE EL CERTIFICAT DIGITAL",
        "LA CONTRASE\xA5"
        "A NO ABRE EL CERTIFICADO DIGITAL",
        "O CONTRASINAL NON ABRE O CERTIFICADO DIXITAL",
        "ERA CONTRASENHA NON DUBR\xD6S ETH CERTIFICAT DIGITAU"}},
      {FailureKind::kCertificateExpired,
       {"the client certificate has expired", "EL CERTIFICAT DIGITAL HA CADUCAT",
        "EL CERTIFICADO DIGITAL HA CADUCADO", "O CERTIFICADO DIXITAL CADUCOU",
        "ETH CERTIFICAT DIGITAU A CADUCAT"}},
      {FailureKind::kCertificateNotYetValid,
       {"the client certificate is not valid yet", "EL CERTIFICAT DIGITAL ENCARA NO \x90S V\xB7LID",
        "EL CERTIFICADO DIGITAL A\xE9N NO ES V\xB5LIDO",
        "O CERTIFICADO DIXITAL A\xD6NDA NON \x90 V\xB5LIDO",
        "ETH CERTIFICAT DIGITAU ENCARA NON EI VALID"}},
      {FailureKind::kNoNetwork,
       {"no network: the agency's server cannot be reached",
        "NO HI HA XARXA: NO S'ARRIBA AL SERVIDOR", "NO HAY RED: NO SE LLEGA AL SERVIDOR",
        "NON HAI REDE: NON SE CHEGA AO SERVIDOR", "NON I A RET: NON S'ARRIBE AR SERVIDOR"}},
      {FailureKind::kNameNotResolved,
       {"the name of the agency's server does not resolve",
        "NO ES TROBA L'ADRE\x80"
        "A DEL SERVIDOR",
        "NO SE ENCUENTRA LA DIRECCI\xE0N DEL SERVIDOR", "NON SE ATOPA O ENDERECO DO SERVIDOR",
        "NON SE TROBE ERA ADRE\x80"
        "A DETH SERVIDOR"}},
      {FailureKind::kConnectionRefused,
       {"the server refused the connection", "EL SERVIDOR HA REFUSAT LA CONNEXI\xE0",
        "EL SERVIDOR HA RECHAZADO LA CONEXI\xE0N", "O SERVIDOR REXEITOU A CONEXI\xE0N",
        "ETH SERVIDOR A REFUSAT ERA CONNEXION"}},
      {FailureKind::kServerNotTrusted,
       {"the server's certificate does not verify: it is not taken for the agency's",
        "NO ES POT VERIFICAR EL CERTIFICAT DEL SERVIDOR",
        "NO SE PUEDE VERIFICAR EL CERTIFICADO DEL SERVIDOR",
        "NON SE PODE VERIFICAR O CERTIFICADO DO SERVIDOR",
        "NON SE P\xE3T VERIFICAR ETH CERTIFICAT DETH SERVIDOR"}},
      {FailureKind::kCertificateRefused,
       {"the server did not accept the client certificate",
        "EL SERVIDOR NO ACCEPTA EL CERTIFICAT DIGITAL",
        "EL SERVIDOR NO ACEPTA EL CERTIFICADO DIGITAL",
        "O SERVIDOR NON ACEPTA O CERTIFICADO DIXITAL",
        "ETH SERVIDOR NON ACCEPTE ETH CERTIFICAT DIGITAU"}},
      {FailureKind::kConnectionDropped,
       {"the connection ended before the answer came",
        "LA CONNEXI\xE0 S'HA TALLAT ABANS DE LA RESPOSTA",
        "LA CONEXI\xE0N SE HA CORTADO ANTES DE LA RESPUESTA",
        "A CONEXI\xE0N CORTOUSE ANTES DA RESPOSTA",
        "ERA CONNEXION S'A TALHAT ABANS DERA RESPOSTA"}},
      {FailureKind::kTimeout,
       {"no answer in the time allowed", "EL SERVIDOR NO HA RESPOST A TEMPS",
        "EL SERVIDOR NO HA RESPONDIDO A TIEMPO", "O SERVIDOR NON RESPONDEU A TEMPO",
        "ETH SERVIDOR NON A RESPONUT A TEMPS"}},
      {FailureKind::kHttpStatus,
       {"the server answered with an HTTP error", "EL SERVIDOR HA RESPOST AMB UN ERROR HTTP",
        "EL SERVIDOR HA RESPONDIDO CON UN ERROR HTTP", "O SERVIDOR RESPONDEU CUN ERRO HTTP",
        "ETH SERVIDOR A RESPONUT DAMB UNA ERROR HTTP"}},
      {FailureKind::kSoapFault,
       {"the agency refused the whole submission",
        "L'AG\xD4NCIA TRIBUT\xB7RIA HA REBUTJAT TOT L'ENVIAMENT",
        "LA AGENCIA TRIBUTARIA HA RECHAZADO TODO EL ENV\xD6O",
        "A AXENCIA TRIBUTARIA REXEITOU TODO O ENV\xD6O",
        "ERA AG\xD4NCIA TRIBUT\xB7RIA A REFUSAT TOT ER ENVIAMENT"}},
      {FailureKind::kNotAgencyAnswer,
       {"the answer is not the agency's", "LA RESPOSTA NO \x90S DE L'AG\xD4NCIA TRIBUT\xB7RIA",
        "LA RESPUESTA NO ES DE LA AGENCIA TRIBUTARIA", "A RESPOSTA NON \x90 DA AXENCIA TRIBUTARIA",
        "ERA RESPOSTA NON EI DERA AG\xD4NCIA TRIBUT\xB7RIA"}},
      {FailureKind::kTransportError,
       {"the submission could not be sent", "NO S'HA POGUT FER L'ENVIAMENT",
        "NO SE HA PODIDO HACER EL ENV\xD6O", "NON SE PUIDO FACER O ENV\xD6O",
        "NON S'A POGUT HER ER ENVIAMENT"}},
  };
  return texts.at(kind);
}

// " (<date, status or fault code>): <fault string or subject>".
std::string Particulars(const Failure& failure) {
  std::string in;
  if (!failure.date.empty()) in = failure.date;
  if (failure.kind == FailureKind::kHttpStatus) in = std::to_string(failure.httpStatus);
  if (failure.kind == FailureKind::kSoapFault) in = failure.faultCode;
  std::string text = in.empty() ? "" : " (" + in + ")";
  const std::string& named =
      failure.kind == FailureKind::kSoapFault ? failure.faultString : failure.subject;
  if (!named.empty()) text += ": " + named;
  return text;
}

}  // namespace

std::string EnglishMessage(const Failure& failure) {
  std::string text = TextsOf(failure.kind).english + Particulars(failure);
  if (!failure.detail.empty()) text += " [" + failure.detail + "]";
  return text;
}

std::string OperatorMessage(const Failure& failure) {
  const Texts& t = TextsOf(failure.kind);
  std::string text = config::InLanguage(t.cat, t.spa, t.glg, t.oci) + Particulars(failure);
  // Nothing else tells what the library could not do.
  if (failure.kind == FailureKind::kTransportError && !failure.detail.empty()) {
    text += " (" + failure.detail + ")";
  }
  return text;
}

bool WorthRetrying(const Failure& failure) {
  switch (failure.kind) {
    case FailureKind::kNoNetwork:
    case FailureKind::kNameNotResolved:
    case FailureKind::kConnectionRefused:
    case FailureKind::kConnectionDropped:
    case FailureKind::kTimeout:
      return true;
    case FailureKind::kHttpStatus:
      return failure.httpStatus >= 500 || failure.httpStatus == 408 || failure.httpStatus == 429;
    case FailureKind::kSoapFault:
      return failure.faultCode.ends_with("Server");
    default:
      return false;
  }
}

}  // namespace submission
