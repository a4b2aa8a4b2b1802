// Checking the creditor settings before anything is written.
#include "remittance/creditor.h"

#include "config/company.h"
#include "format/text.h"
#include "office/remittance_settings.h"
#include "remittance/check_digits.h"
#include "remittance/sepa_text.h"

namespace remittance {
namespace {

bool IsIsoDate(const std::string& date) {
  if (date.size() != 10 || date[4] != '-' || date[7] != '-') return false;
  for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (date[i] < '0' || date[i] > '9') return false;
  }
  const int month = std::stoi(date.substr(5, 2)), day = std::stoi(date.substr(8, 2));
  return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

bool IsSequenceType(const std::string& type) {
  return type == "FRST" || type == "RCUR" || type == "OOFF" || type == "FNAL";
}

}  // namespace

Creditor CreditorFromSettings(std::vector<std::string>* problems) {
  const office::RemittanceSettingsState& s = office::RemittanceSettings();
  Creditor c;
  c.name = format::Trim(config::CompanyLine(1));
  c.id = s.creditorId.empty() ? CreditorIdentifier(config::CompanyLine(7), s.businessCode)
                              : CompactAccount(s.creditorId);
  c.account = CompactAccount(s.account);
  c.bic = CompactAccount(s.bic);
  c.signatureDate = s.signatureDate;
  c.sequenceType = format::UpperCase(s.sequenceType);
  if (!IsValidCreditorIdentifier(c.id)) {
    problems->push_back(s.creditorId.empty() ? "[Empresa] Linia7, [Remesa] Sufix"
                                             : "[Remesa] Creditor");
  }
  if (!IsValidIban(c.account)) problems->push_back("[Remesa] Compte");
  if (!c.bic.empty() && !IsValidBic(c.bic)) problems->push_back("[Remesa] BIC");
  if (!IsIsoDate(c.signatureDate)) problems->push_back("[Remesa] DataMandat");
  if (!IsSequenceType(c.sequenceType)) problems->push_back("[Remesa] Sequencia");
  if (SepaText(c.name, kNameLength).empty()) problems->push_back("[Empresa] Linia1");
  return c;
}

}  // namespace remittance
