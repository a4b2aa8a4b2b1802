// Reading a pain.008 file back: a walk over the element tree with the
// children each element must have, in order.
#include "pain_file.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdlib>
#include <map>
#include <regex>

namespace testing_support {
namespace {

// The children of an element, by its path: name and occurrences ("1" once,
// "?" optional, "+" one or more).
using Children = std::vector<std::pair<std::string, char>>;
const std::map<std::string, Children>& Structure() {
  static const std::map<std::string, Children> s = {
      {"Document", {{"CstmrDrctDbtInitn", '1'}}},
      {"CstmrDrctDbtInitn", {{"GrpHdr", '1'}, {"PmtInf", '+'}}},
      {"GrpHdr",
       {{"MsgId", '1'}, {"CreDtTm", '1'}, {"NbOfTxs", '1'}, {"CtrlSum", '1'}, {"InitgPty", '1'}}},
      {"GrpHdr/InitgPty", {{"Nm", '1'}, {"Id", '?'}}},
      {"InitgPty/Id", {{"OrgId", '1'}}},
      {"InitgPty/Id/OrgId", {{"Othr", '1'}}},
      {"OrgId/Othr", {{"Id", '1'}}},
      {"PmtInf",
       {{"PmtInfId", '1'},
        {"PmtMtd", '1'},
        {"NbOfTxs", '1'},
        {"CtrlSum", '1'},
        {"PmtTpInf", '1'},
        {"ReqdColltnDt", '1'},
        {"Cdtr", '1'},
        {"CdtrAcct", '1'},
        {"CdtrAgt", '1'},
        {"ChrgBr", '1'},
        {"CdtrSchmeId", '1'},
        {"DrctDbtTxInf", '+'}}},
      {"PmtTpInf", {{"SvcLvl", '1'}, {"LclInstrm", '1'}, {"SeqTp", '1'}}},
      {"SvcLvl", {{"Cd", '1'}}},
      {"LclInstrm", {{"Cd", '1'}}},
      {"Cdtr", {{"Nm", '1'}}},
      {"CdtrAcct", {{"Id", '1'}}},
      {"CdtrAcct/Id", {{"IBAN", '1'}}},
      {"CdtrAgt", {{"FinInstnId", '1'}}},
      {"FinInstnId", {{"BIC", '?'}, {"Othr", '?'}}},
      {"FinInstnId/Othr", {{"Id", '1'}}},
      {"CdtrSchmeId", {{"Id", '1'}}},
      {"CdtrSchmeId/Id", {{"PrvtId", '1'}}},
      {"PrvtId", {{"Othr", '1'}}},
      {"PrvtId/Othr", {{"Id", '1'}, {"SchmeNm", '1'}}},
      {"SchmeNm", {{"Prtry", '1'}}},
      {"DrctDbtTxInf",
       {{"PmtId", '1'},
        {"InstdAmt", '1'},
        {"DrctDbtTx", '1'},
        {"UltmtCdtr", '?'},
        {"DbtrAgt", '1'},
        {"Dbtr", '1'},
        {"DbtrAcct", '1'},
        {"RmtInf", '?'}}},
      {"PmtId", {{"EndToEndId", '1'}}},
      {"DrctDbtTx", {{"MndtRltdInf", '1'}}},
      {"MndtRltdInf", {{"MndtId", '1'}, {"DtOfSgntr", '1'}}},
      {"UltmtCdtr", {{"Nm", '1'}}},
      {"DbtrAgt", {{"FinInstnId", '1'}}},
      {"Dbtr", {{"Nm", '1'}}},
      {"DbtrAcct", {{"Id", '1'}}},
      {"DbtrAcct/Id", {{"IBAN", '1'}}},
      {"RmtInf", {{"Ustrd", '1'}}},
  };
  return s;
}

// Patterns of the leaves, by name.
const std::map<std::string, std::regex>& Patterns() {
  static const std::map<std::string, std::regex> p = {
      {"IBAN", std::regex("[A-Z]{2}[0-9]{2}[a-zA-Z0-9]{1,30}")},
      {"BIC", std::regex("[A-Z]{6}[A-Z2-9][A-NP-Z0-9]([A-Z0-9]{3})?")},
      {"ReqdColltnDt", std::regex("[0-9]{4}-[0-9]{2}-[0-9]{2}")},
      {"DtOfSgntr", std::regex("[0-9]{4}-[0-9]{2}-[0-9]{2}")},
      {"CreDtTm", std::regex("[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}")},
      {"CtrlSum", std::regex("[0-9]{1,16}\\.[0-9]{2}")},
      {"InstdAmt", std::regex("[0-9]{1,9}\\.[0-9]{2}")},
      {"NbOfTxs", std::regex("[0-9]{1,15}")},
      {"PmtMtd", std::regex("DD")},
      {"SeqTp", std::regex("FRST|RCUR|OOFF|FNAL")},
      {"ChrgBr", std::regex("SLEV")},
      {"Nm", std::regex("[A-Za-z0-9/?:().,'+ -]{1,70}")},
      {"Ustrd", std::regex("[A-Za-z0-9/?:().,'+ -]{1,140}")},
  };
  return p;
}
const std::regex kMax35("[A-Za-z0-9/?:().,'+ -]{1,35}");

std::string Name(xmlNodePtr n) {
  return reinterpret_cast<const char*>(n->name);
}

std::string Text(xmlNodePtr n) {
  xmlChar* content = xmlNodeGetContent(n);
  std::string text = content != nullptr ? reinterpret_cast<const char*>(content) : "";
  xmlFree(content);
  return text;
}

std::vector<xmlNodePtr> Elements(xmlNodePtr n) {
  std::vector<xmlNodePtr> out;
  for (xmlNodePtr c = n->children; c != nullptr; c = c->next) {
    if (c->type == XML_ELEMENT_NODE) out.push_back(c);
  }
  return out;
}

// The rule for the element at this path: the longest path suffix listed.
const Children* RuleFor(const std::string& path) {
  for (size_t at = 0; at != std::string::npos; at = path.find('/', at + 1)) {
    const std::string suffix = path.substr(at == 0 ? 0 : at + 1);
    auto rule = Structure().find(suffix);
    if (rule != Structure().end()) return &rule->second;
  }
  return nullptr;
}

void CheckLeaf(xmlNodePtr n, const std::string& path, std::vector<std::string>& problems) {
  const std::string text = Text(n);
  auto pattern = Patterns().find(Name(n));
  const bool ok = pattern != Patterns().end() ? std::regex_match(text, pattern->second)
                                              : std::regex_match(text, kMax35);
  if (!ok) problems.push_back(path + ": '" + text + "'");
}

void Check(xmlNodePtr n, const std::string& path, std::vector<std::string>& problems) {
  const Children* rule = RuleFor(path);
  const std::vector<xmlNodePtr> children = Elements(n);
  if (rule == nullptr) {
    if (!children.empty()) problems.push_back(path + ": unknown element with children");
    CheckLeaf(n, path, problems);
    return;
  }
  size_t i = 0;
  for (const auto& [name, occurs] : *rule) {
    int seen = 0;
    while (i < children.size() && Name(children[i]) == name) {
      Check(children[i], path + "/" + name, problems);
      ++seen, ++i;
    }
    if ((occurs == '1' && seen != 1) || (occurs == '?' && seen > 1) ||
        (occurs == '+' && seen == 0)) {
      problems.push_back(path + "/" + name + ": " + std::to_string(seen) + " times");
    }
  }
  if (i < children.size()) problems.push_back(path + "/" + Name(children[i]) + ": out of place");
}

// The text of the element at a relative path ("PmtId/EndToEndId").
std::string At(xmlNodePtr n, const std::string& path) {
  size_t start = 0;
  while (n != nullptr && start <= path.size()) {
    const size_t slash = path.find('/', start);
    const std::string name = path.substr(start, slash - start);
    xmlNodePtr next = nullptr;
    for (xmlNodePtr c : Elements(n)) {
      if (Name(c) == name) {
        next = c;
        break;
      }
    }
    n = next;
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  return n != nullptr ? Text(n) : "";
}

PainBlock ReadBlock(xmlNodePtr b) {
  PainBlock block;
  block.id = At(b, "PmtInfId");
  block.count = std::atoi(At(b, "NbOfTxs").c_str());
  block.sum = At(b, "CtrlSum");
  block.sequenceType = At(b, "PmtTpInf/SeqTp");
  block.collectionDate = At(b, "ReqdColltnDt");
  block.creditorName = At(b, "Cdtr/Nm");
  block.creditorIban = At(b, "CdtrAcct/Id/IBAN");
  block.creditorBic = At(b, "CdtrAgt/FinInstnId/BIC");
  block.creditorId = At(b, "CdtrSchmeId/Id/PrvtId/Othr/Id");
  for (xmlNodePtr t : Elements(b)) {
    if (Name(t) != "DrctDbtTxInf") continue;
    block.debits.push_back({At(t, "PmtId/EndToEndId"), At(t, "InstdAmt"),
                            At(t, "DrctDbtTx/MndtRltdInf/MndtId"),
                            At(t, "DrctDbtTx/MndtRltdInf/DtOfSgntr"), At(t, "UltmtCdtr/Nm"),
                            At(t, "Dbtr/Nm"), At(t, "DbtrAcct/Id/IBAN"), At(t, "RmtInf/Ustrd")});
  }
  return block;
}

}  // namespace

PainFile ReadPainFile(const std::string& path) {
  PainFile file;
  xmlDocPtr doc = xmlReadFile(path.c_str(), nullptr, XML_PARSE_NONET);
  if (doc == nullptr) return file;
  file.parsed = true;
  xmlNodePtr root = xmlDocGetRootElement(doc);
  const bool rightRoot = Name(root) == "Document" && root->ns != nullptr &&
                         std::string(reinterpret_cast<const char*>(root->ns->href)) ==
                             "urn:iso:std:iso:20022:tech:xsd:pain.008.001.02";
  if (!rightRoot) file.problems.push_back("root is not the pain.008.001.02 Document");
  Check(root, "Document", file.problems);
  xmlNodePtr initiation = Elements(root).empty() ? nullptr : Elements(root)[0];
  file.messageId = At(initiation, "GrpHdr/MsgId");
  file.created = At(initiation, "GrpHdr/CreDtTm");
  file.count = std::atoi(At(initiation, "GrpHdr/NbOfTxs").c_str());
  file.sum = At(initiation, "GrpHdr/CtrlSum");
  file.initiatingParty = At(initiation, "GrpHdr/InitgPty/Id/OrgId/Othr/Id");
  for (xmlNodePtr b : initiation != nullptr ? Elements(initiation) : std::vector<xmlNodePtr>{}) {
    if (Name(b) == "PmtInf") file.blocks.push_back(ReadBlock(b));
  }
  xmlFreeDoc(doc);
  return file;
}

long long PainCents(const std::string& amount) {
  static const std::regex pattern("([0-9]+)\\.([0-9]{2})");
  std::smatch m;
  if (!std::regex_match(amount, m, pattern)) return -1;
  return std::stoll(m[1]) * 100 + std::stoll(m[2]);
}

}  // namespace testing_support
