// Internal to the submission document: one billing record as the
// RegistroAlta or RegistroAnulacion element of the information schema.
#pragma once

#include "verifactu/records.h"
#include "verifactu/xml_writer.h"

namespace verifactu::internal {

void WriteRecord(XmlWriter& x, const BillingRecord& record);

}  // namespace verifactu::internal
