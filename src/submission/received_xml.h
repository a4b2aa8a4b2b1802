// XML that came from the network, parsed so that it cannot reach out or
// blow up, and the few walks the answer reader needs over it.
#pragma once

#include <libxml/tree.h>

#include <string>
#include <string_view>
#include <vector>

namespace submission {

inline constexpr const char* kSoapNamespace = "http://schemas.xmlsoap.org/soap/envelope/";

class ReceivedXml {
 public:
  // Parses bytes with no network access and no entity substitution, and
  // refuses a document that has a DTD (SOAP messages never have one, and
  // it is where entities would be declared).
  explicit ReceivedXml(std::string_view bytes);
  ~ReceivedXml();
  ReceivedXml(const ReceivedXml&) = delete;
  ReceivedXml& operator=(const ReceivedXml&) = delete;

  // The root element, or nullptr when the bytes were refused.
  const xmlNode* root() const;
  // Why they were refused (English).
  const std::string& problem() const { return problem_; }

 private:
  xmlDoc* doc_ = nullptr;
  std::string problem_;
};

// Whether node is an element named name in the namespace ns (any
// namespace when ns is nullptr).
bool IsElement(const xmlNode* node, const char* ns, const char* name);
// The first element child named name (any namespace), or nullptr.
const xmlNode* Child(const xmlNode* parent, const char* name);
// The first element child, whatever its name, or nullptr.
const xmlNode* FirstElement(const xmlNode* parent);
// The element children named name, at most limit + 1 of them (so that a
// caller sees when there are too many without walking them all).
std::vector<const xmlNode*> Children(const xmlNode* parent, const char* name, size_t limit);
// The text of node in code page 850, blanks around it removed; runs of
// blanks inside made one when collapse is set.  Empty for nullptr.
std::string TextOf(const xmlNode* node, bool collapse = false);

}  // namespace submission
