// A domiciled receipt for the remittance, from the receipt and the current
// owner and unit records.
#include "issuing/domiciled.h"

#include "format/packed.h"
#include "format/text.h"
#include "office/record_layouts.h"

namespace issuing {

remittance::DomiciledReceipt DomiciledOf(const Receipt& r, const office::Selection& s) {
  const office::OwnerView owner(office::Areas().owner);
  const office::UnitView unit(office::Areas().unit);
  remittance::DomiciledReceipt d;
  d.unitKey = unit.Key();
  d.ownerKey = owner.Key();
  d.number = r.number;
  d.reference = r.reference;
  d.period = format::UnpackDigits(s.period);
  d.total = r.Total();
  d.tenantName = format::StarredDisplay(unit.TenantName());
  d.account = unit.BankAccount();
  d.ownerName = format::StarredDisplay(owner.Name());
  return d;
}

}  // namespace issuing
