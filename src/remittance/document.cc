// The pain.008.001.02 document through libxml2's text writer.  Elements are
// written in the order the message's schema fixes; every writer call is
// checked, and the first failure abandons the file.
#include "remittance/document.h"

#include <libxml/xmlIO.h>
#include <libxml/xmlwriter.h>

#include <cstdio>
#include <map>

#include "platform/new_file.h"
#include "remittance/sepa_text.h"

namespace remittance {
namespace {

constexpr const char* kNamespace = "urn:iso:std:iso:20022:tech:xsd:pain.008.001.02";

// The writer with a sticky failure: once a call fails no other is made, so
// a full disk stops the document at once.
class Xml {
 public:
  explicit Xml(xmlTextWriterPtr w) : w_(w) {}
  bool ok() const { return ok_; }
  void Open(const char* name) {
    if (ok_) Check(xmlTextWriterStartElement(w_, X(name)));
  }
  void Close() {
    if (ok_) Check(xmlTextWriterEndElement(w_));
  }
  void Attribute(const char* name, const std::string& value) {
    if (ok_) Check(xmlTextWriterWriteAttribute(w_, X(name), X(value.c_str())));
  }
  void Element(const char* name, const std::string& value) {
    if (ok_) Check(xmlTextWriterWriteElement(w_, X(name), X(value.c_str())));
  }
  void Text(const std::string& value) {
    if (ok_) Check(xmlTextWriterWriteString(w_, X(value.c_str())));
  }
  void Check(int rc) { ok_ = ok_ && rc >= 0; }
  // An element holding a chain of single children: Path({"Id", "IBAN"}, x).
  void Path(std::initializer_list<const char*> names, const std::string& value) {
    const char* const* last = names.end() - 1;
    for (const char* const* n = names.begin(); n != last; ++n) Open(*n);
    Element(*last, value);
    for (const char* const* n = names.begin(); n != last; ++n) Close();
  }

 private:
  static const xmlChar* X(const char* text) { return reinterpret_cast<const xmlChar*>(text); }
  xmlTextWriterPtr w_;
  bool ok_ = true;
};

// libxml2's output goes into the new file; a failed write fails the writer.
int WriteToFile(void* context, const char* bytes, int length) {
  std::FILE* out = static_cast<std::FILE*>(context);
  return std::fwrite(bytes, 1, static_cast<size_t>(length), out) == static_cast<size_t>(length)
             ? length
             : -1;
}

std::string IsoTime(const platform::DateTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

long long SumOf(const std::vector<const Debit*>& debits) {
  long long sum = 0;
  for (const Debit* d : debits) sum += d->cents;
  return sum;
}

void WriteHeader(Xml& x, const Document& doc) {
  long long sum = 0;
  for (const Debit& d : doc.debits) sum += d.cents;
  x.Open("GrpHdr");
  x.Element("MsgId", doc.messageId);
  x.Element("CreDtTm", IsoTime(doc.created));
  x.Element("NbOfTxs", std::to_string(doc.debits.size()));
  x.Element("CtrlSum", EuroAmount(sum));
  x.Open("InitgPty");
  x.Element("Nm", SepaText(doc.creditor.name, kNameLength));
  x.Open("Id");
  x.Open("OrgId");
  x.Path({"Othr", "Id"}, doc.creditor.id);
  x.Close();
  x.Close();
  x.Close();
  x.Close();
}

void WriteDebit(Xml& x, const Document& doc, const Debit& d) {
  x.Open("DrctDbtTxInf");
  x.Path({"PmtId", "EndToEndId"}, SepaText(d.endToEndId, kIdLength));
  x.Open("InstdAmt");
  x.Attribute("Ccy", "EUR");
  x.Text(EuroAmount(d.cents));
  x.Close();
  x.Open("DrctDbtTx");
  x.Open("MndtRltdInf");
  x.Element("MndtId", SepaText(d.mandateId, kIdLength));
  x.Element("DtOfSgntr", doc.creditor.signatureDate);
  x.Close();
  x.Close();
  const std::string ultimateCreditor = SepaText(d.ultimateCreditor, kNameLength);
  if (!ultimateCreditor.empty()) x.Path({"UltmtCdtr", "Nm"}, ultimateCreditor);
  // Accounts inside the SEPA area need no BIC of the debtor's bank.
  x.Path({"DbtrAgt", "FinInstnId", "Othr", "Id"}, "NOTPROVIDED");
  x.Path({"Dbtr", "Nm"}, SepaText(d.debtorName, kNameLength));
  x.Path({"DbtrAcct", "Id", "IBAN"}, d.debtorAccount);
  x.Path({"RmtInf", "Ustrd"}, SepaText(d.remittanceText, kTextLength));
  x.Close();
}

void WriteBlock(Xml& x, const Document& doc, const std::string& date, int number,
                const std::vector<const Debit*>& debits) {
  const Creditor& c = doc.creditor;
  x.Open("PmtInf");
  x.Element("PmtInfId", doc.messageId.substr(0, kIdLength - 4) + "-" + std::to_string(number));
  x.Element("PmtMtd", "DD");
  x.Element("NbOfTxs", std::to_string(debits.size()));
  x.Element("CtrlSum", EuroAmount(SumOf(debits)));
  x.Open("PmtTpInf");
  x.Path({"SvcLvl", "Cd"}, "SEPA");
  x.Path({"LclInstrm", "Cd"}, "CORE");
  x.Element("SeqTp", c.sequenceType);
  x.Close();
  x.Element("ReqdColltnDt", date);
  x.Path({"Cdtr", "Nm"}, SepaText(c.name, kNameLength));
  x.Path({"CdtrAcct", "Id", "IBAN"}, c.account);
  if (c.bic.empty()) {
    x.Path({"CdtrAgt", "FinInstnId", "Othr", "Id"}, "NOTPROVIDED");
  } else {
    x.Path({"CdtrAgt", "FinInstnId", "BIC"}, c.bic);
  }
  x.Element("ChrgBr", "SLEV");
  x.Open("CdtrSchmeId");
  x.Open("Id");
  x.Open("PrvtId");
  x.Open("Othr");
  x.Element("Id", c.id);
  x.Path({"SchmeNm", "Prtry"}, "SEPA");
  x.Close();
  x.Close();
  x.Close();
  x.Close();
  for (const Debit* d : debits) WriteDebit(x, doc, *d);
  x.Close();
}

bool WriteAll(xmlTextWriterPtr w, const Document& doc) {
  // Debits by collection date, dates in the order they first appear.
  std::vector<std::string> dates;
  std::map<std::string, std::vector<const Debit*>> byDate;
  for (const Debit& d : doc.debits) {
    if (byDate[d.collectionDate].empty()) dates.push_back(d.collectionDate);
    byDate[d.collectionDate].push_back(&d);
  }
  Xml x(w);
  x.Check(xmlTextWriterSetIndent(w, 1));
  x.Check(xmlTextWriterStartDocument(w, nullptr, "UTF-8", nullptr));
  x.Open("Document");
  x.Attribute("xmlns", kNamespace);
  x.Open("CstmrDrctDbtInitn");
  WriteHeader(x, doc);
  for (size_t i = 0; i < dates.size(); ++i) {
    WriteBlock(x, doc, dates[i], static_cast<int>(i + 1), byDate[dates[i]]);
  }
  x.Close();
  x.Close();
  x.Check(xmlTextWriterEndDocument(w));
  return x.ok();
}

}  // namespace

std::string EuroAmount(long long cents) {
  char text[32];
  std::snprintf(text, sizeof text, "%lld.%02lld", cents / 100, cents % 100);
  return text;
}

bool WriteDocument(const std::string& path, const Document& document) {
  platform::NewFile file(path);
  if (!file.ok()) return false;
  xmlOutputBufferPtr output = xmlOutputBufferCreateIO(WriteToFile, nullptr, file.file(), nullptr);
  if (output == nullptr) return false;
  xmlTextWriterPtr w = xmlNewTextWriter(output);  // owns the output from here on
  if (w == nullptr) {
    xmlOutputBufferClose(output);
    return false;
  }
  bool written = WriteAll(w, document);
  // The writer keeps what it has not handed to the file yet: that last
  // flush fails on a full disk too.
  written = written && xmlTextWriterFlush(w) >= 0;
  xmlFreeTextWriter(w);
  return written && file.Commit();
}

}  // namespace remittance
