// Finding the passwords of connection strings, in the keyword form and as
// URIs, the way libpq reads them.
#include "storage/hidden_passwords.h"

#include <algorithm>
#include <vector>

namespace storage {
namespace {

constexpr std::string_view kHidden = "***";
constexpr std::string_view kKeyword = "password";

struct Span {
  size_t begin;
  size_t end;
};

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

size_t SkipSpaces(std::string_view text, size_t at) {
  while (at < text.size() && IsSpace(text[at])) ++at;
  return at;
}

// Where a value that starts at `at` ends: a quoted one after its closing
// quote (a backslash escapes the next character), any other at a space, at
// "&" (the next parameter of a URI) or at a double quote (libpq's own
// quotes around what it repeats).
size_t ValueEnd(std::string_view text, size_t at) {
  if (at < text.size() && text[at] == '\'') {
    for (size_t i = at + 1; i < text.size(); ++i) {
      if (text[i] == '\\') {
        ++i;
      } else if (text[i] == '\'') {
        return i + 1;
      }
    }
    return text.size();
  }
  while (at < text.size() && !IsSpace(text[at]) && text[at] != '&' && text[at] != '"') ++at;
  return at;
}

bool SameLetters(std::string_view text, size_t at, std::string_view lower) {
  if (text.size() - at < lower.size()) return false;
  for (size_t i = 0; i < lower.size(); ++i) {
    const char c = text[at + i];
    if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != lower[i]) return false;
  }
  return true;
}

// The values that follow "password" (in any case, so also "sslpassword")
// and "=", with spaces allowed around the "=".
void KeywordValues(std::string_view text, std::vector<Span>* spans) {
  for (size_t at = 0; at < text.size(); ++at) {
    if (!SameLetters(text, at, kKeyword)) continue;
    size_t i = SkipSpaces(text, at + kKeyword.size());
    if (i >= text.size() || text[i] != '=') continue;
    i = SkipSpaces(text, i + 1);
    const size_t end = ValueEnd(text, i);
    if (end > i) spans->push_back({i, end});
  }
}

// The password of each URI's user part: libpq takes the user part up to
// the first "@" before any "/", and the password after its first ":".
void UriPasswords(std::string_view text, std::vector<Span>* spans) {
  for (size_t at = text.find("://"); at != std::string_view::npos; at = text.find("://", at + 3)) {
    const size_t start = at + 3;
    const size_t stop = text.find_first_of("@/", start);
    if (stop == std::string_view::npos || text[stop] != '@') continue;
    const size_t colon = text.find(':', start);
    if (colon < stop && colon + 1 < stop) spans->push_back({colon + 1, stop});
  }
}

std::vector<Span> PasswordSpans(std::string_view text) {
  std::vector<Span> spans;
  KeywordValues(text, &spans);
  UriPasswords(text, &spans);
  std::sort(spans.begin(), spans.end(), [](Span a, Span b) { return a.begin < b.begin; });
  return spans;
}

// The passwords as conninfo writes them, and a quoted one also without
// its quotes and escapes.
std::vector<std::string> Passwords(std::string_view conninfo) {
  std::vector<std::string> passwords;
  for (const Span& span : PasswordSpans(conninfo)) {
    const std::string_view written = conninfo.substr(span.begin, span.end - span.begin);
    passwords.emplace_back(written);
    if (written.front() != '\'') continue;
    std::string bare;
    for (size_t i = 1; i < written.size(); ++i) {
      if (written[i] == '\\' && i + 1 < written.size()) {
        bare += written[++i];
      } else if (written[i] != '\'') {
        bare += written[i];
      }
    }
    if (!bare.empty()) passwords.push_back(bare);
  }
  // The longest first, so that no part of a longer one is left.
  std::sort(passwords.begin(), passwords.end(),
            [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  return passwords;
}

bool IsAlphanumeric(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Replaces secret where it stands as a word of its own, as libpq quotes a
// token back: a short password stays out of the words around it.
void ReplaceWord(std::string& text, const std::string& secret) {
  size_t at = text.find(secret);
  while (at != std::string::npos) {
    const size_t end = at + secret.size();
    const bool alone = (at == 0 || !IsAlphanumeric(text[at - 1])) &&
                       (end == text.size() || !IsAlphanumeric(text[end]));
    if (alone) text.replace(at, secret.size(), kHidden);
    at = text.find(secret, alone ? at + kHidden.size() : at + 1);
  }
}

}  // namespace

std::string HidePasswords(std::string text, std::string_view conninfo) {
  for (const std::string& secret : Passwords(conninfo)) ReplaceWord(text, secret);
  const std::vector<Span> spans = PasswordSpans(text);
  // From the end, so that the spans before stay where they are; a span
  // that overlaps one already hidden is skipped.
  size_t limit = text.size();
  for (auto span = spans.rbegin(); span != spans.rend(); ++span) {
    if (span->end > limit) continue;
    text.replace(span->begin, span->end - span->begin, kHidden);
    limit = span->begin;
  }
  return text;
}

}  // namespace storage
