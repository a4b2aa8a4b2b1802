// Sort forms of the key types: strings through the collating sequence or
// case folding, little-endian numbers turned most significant byte first,
// signed values with their sign bit flipped, descending segments inverted.
#include "storage/key_sort.h"

#include <algorithm>

namespace storage {
namespace {

void Reverse(std::string& s) {
  std::reverse(s.begin(), s.end());
}

// String bytes through the segment's collating sequence or case folding.
void Collate(const FileSpec& spec, const KeySegment& seg, std::string& s) {
  if ((seg.flags & kKeyAlternate) && seg.acs < spec.acs.size()) {
    const std::string& table = spec.acs[seg.acs];
    for (char& c : s) c = table[9 + static_cast<uint8_t>(c)];
  } else if (seg.flags & kKeyNoCase) {
    for (char& c : s) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
  }
}

std::string SegmentForm(const FileSpec& spec, const KeySegment& seg, const uint8_t* p) {
  const size_t length = seg.length;
  std::string s(reinterpret_cast<const char*>(p), length);
  switch (seg.type) {
    case kTypeString:
      Collate(spec, seg, s);
      break;
    case kTypeZString:
      s.resize(std::find(s.begin(), s.end(), '\0') - s.begin());
      Collate(spec, seg, s);
      s.resize(length, '\0');
      break;
    case kTypeLString:
      s = s.substr(1, std::min<size_t>(p[0], length - 1));
      Collate(spec, seg, s);
      s.resize(length - 1, '\0');
      break;
    case kTypeInteger:
      Reverse(s);
      s[0] = static_cast<char>(s[0] ^ 0x80);
      break;
    case kTypeFloat:
      Reverse(s);
      if (s[0] & 0x80) {
        for (char& c : s) c = static_cast<char>(~c);
      } else {
        s[0] = static_cast<char>(s[0] ^ 0x80);
      }
      break;
    default:  // unsigned, logical, date and time: little-endian unsigned fields
      Reverse(s);
      break;
  }
  if (seg.flags & kKeyDescending) {
    for (char& c : s) c = static_cast<char>(~c);
  }
  return s;
}

bool SegmentIsNull(const KeySegment& seg, const uint8_t* p) {
  return std::all_of(p, p + seg.length, [&](uint8_t b) { return b == seg.nullValue; });
}

}  // namespace

std::string KeyFromRecord(const KeySpec& key, const std::string& record) {
  std::string out;
  out.reserve(key.length);
  for (const KeySegment& seg : key.segments) {
    size_t from = seg.position - 1;
    for (size_t i = 0; i < seg.length; ++i) {
      out += from + i < record.size() ? record[from + i] : '\0';
    }
  }
  return out;
}

std::string SortForm(const FileSpec& spec, const KeySpec& key, const uint8_t* keyBytes) {
  std::string out;
  out.reserve(key.length);
  for (const KeySegment& seg : key.segments) {
    out += SegmentForm(spec, seg, keyBytes);
    keyBytes += seg.length;
  }
  return out;
}

bool IsNullKey(const KeySpec& key, const uint8_t* keyBytes) {
  if (!key.nullAll && !key.nullAny) return false;
  bool all = true, any = false;
  for (const KeySegment& seg : key.segments) {
    bool isNull = SegmentIsNull(seg, keyBytes);
    all = all && isNull;
    any = any || isNull;
    keyBytes += seg.length;
  }
  return key.nullAny ? any : all;
}

}  // namespace storage
