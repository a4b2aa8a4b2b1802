// Internal to the submission document: libxml2's text writer with a sticky
// failure and the schemas' two prefixes.
#pragma once

#include <libxml/xmlwriter.h>

#include <initializer_list>
#include <string>

namespace verifactu::internal {

// The submission schema (the message: root, header, record entries) and
// the information schema (everything inside them), with the prefixes the
// agency's own examples use.
inline constexpr char kMessageNamespace[] =
    "https://www2.agenciatributaria.gob.es/static_files/common/internet/dep/aplicaciones/es/"
    "aeat/tike/cont/ws/SuministroLR.xsd";
inline constexpr char kInformationNamespace[] =
    "https://www2.agenciatributaria.gob.es/static_files/common/internet/dep/aplicaciones/es/"
    "aeat/tike/cont/ws/SuministroInformacion.xsd";
inline constexpr char kMessagePrefix[] = "sum";
inline constexpr char kInformationPrefix[] = "sum1";

// Once a call fails no other is made.  Element names without a prefix
// argument are of the information schema.
class XmlWriter {
 public:
  explicit XmlWriter(xmlTextWriterPtr w) : w_(w) {}
  bool ok() const { return ok_; }
  void Check(int rc) { ok_ = ok_ && rc >= 0; }

  void Open(const char* name, const char* prefix = kInformationPrefix);
  void Close();
  void Attribute(const char* name, const std::string& value);
  // An element holding text (UTF-8).
  void Element(const char* name, const std::string& value);
  // An element holding a chain of single children: Path({"A", "B"}, x).
  void Path(std::initializer_list<const char*> names, const std::string& value);

 private:
  xmlTextWriterPtr w_;
  bool ok_ = true;
};

}  // namespace verifactu::internal
