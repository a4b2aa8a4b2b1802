// Sort forms of the key types: strings through the collating sequence or
// case folding, little-endian numbers turned most significant byte first,
// signed values with their sign bit flipped, descending segments inverted.
#include "storage/key_sort.h"

#include <algorithm>
#include <cstring>

namespace storage {
namespace {

void Invert(char* s, size_t n) {
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>(~s[i]);
}

// String bytes through the segment's collating sequence or case folding.
void Collate(const FileSpec& spec, const KeySegment& seg, char* s, size_t n) {
  if ((seg.flags & kKeyAlternate) && seg.acs < spec.acs.size()) {
    const std::string& table = spec.acs[seg.acs];
    for (size_t i = 0; i < n; ++i) s[i] = table[9 + static_cast<uint8_t>(s[i])];
  } else if (seg.flags & kKeyNoCase) {
    for (size_t i = 0; i < n; ++i) {
      if (s[i] >= 'a' && s[i] <= 'z') s[i] = static_cast<char>(s[i] - 'a' + 'A');
    }
  }
}

// Turns the segment's bytes at s (seg.length of them) into their sort form
// in place, without allocating (this runs for every record a key read
// serves).  Returns the form's length: seg.length, one less for an lstring,
// whose length byte goes.
size_t FormInPlace(const FileSpec& spec, const KeySegment& seg, char* s) {
  size_t length = seg.length;
  switch (seg.type) {
    case kTypeString:
      Collate(spec, seg, s, length);
      break;
    case kTypeZString: {
      const size_t used = static_cast<size_t>(std::find(s, s + length, '\0') - s);
      Collate(spec, seg, s, used);
      std::fill(s + used, s + length, '\0');
      break;
    }
    case kTypeLString: {
      const size_t used = std::min<size_t>(static_cast<uint8_t>(s[0]), length - 1);
      std::memmove(s, s + 1, used);
      Collate(spec, seg, s, used);
      length -= 1;
      std::fill(s + used, s + length, '\0');
      break;
    }
    case kTypeInteger:
      std::reverse(s, s + length);
      s[0] = static_cast<char>(s[0] ^ 0x80);
      break;
    case kTypeFloat:
      std::reverse(s, s + length);
      if (s[0] & 0x80) {
        Invert(s, length);
      } else {
        s[0] = static_cast<char>(s[0] ^ 0x80);
      }
      break;
    default:  // unsigned, logical, date and time: little-endian unsigned fields
      std::reverse(s, s + length);
      break;
  }
  if (seg.flags & kKeyDescending) Invert(s, length);
  return length;
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
    const size_t at = out.size();
    out.append(reinterpret_cast<const char*>(keyBytes), seg.length);
    out.resize(at + FormInPlace(spec, seg, out.data() + at));
    keyBytes += seg.length;
  }
  return out;
}

bool RecordSortForm(const FileSpec& spec, const KeySpec& key, const std::string& record,
                    std::string* out) {
  out->clear();
  const bool nullable = key.nullAll || key.nullAny;
  bool all = true, any = false;
  for (const KeySegment& seg : key.segments) {
    const size_t at = out->size();
    const size_t from = seg.position - 1;
    const size_t have =
        from < record.size() ? std::min<size_t>(seg.length, record.size() - from) : 0;
    if (have != 0) out->append(record, from, have);
    out->append(seg.length - have, '\0');
    if (nullable) {
      const bool isNull = SegmentIsNull(seg, reinterpret_cast<const uint8_t*>(out->data() + at));
      all = all && isNull;
      any = any || isNull;
    }
    out->resize(at + FormInPlace(spec, seg, out->data() + at));
  }
  return !nullable || (key.nullAny ? !any : !all);
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
