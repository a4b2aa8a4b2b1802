// Create-buffer parsing and Stat-buffer writing.  Every count and offset in
// the buffer is checked against its size before it is used.
#include "storage/record_spec.h"

#include <algorithm>

#include "storage/status.h"

namespace storage {
namespace {

uint16_t Get16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

void Put16(std::string& s, size_t at, uint16_t v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>(v >> 8);
}

void Put32(std::string& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Whether a segment of this type may have this length.
bool LengthFitsType(uint8_t type, int length) {
  switch (type) {
    case kTypeInteger:
      return length == 1 || length == 2 || length == 4 || length == 8;
    case kTypeFloat:
      return length == 4 || length == 8;
    case kTypeDate:
    case kTypeTime:
      return length == 4;
    case kTypeLogical:
      return length == 1 || length == 2;
    case kTypeLString:
      return length >= 2;
    case kTypeString:
    case kTypeZString:
    case kTypeUnsigned:
      return true;
    default:
      return false;  // types this record manager does not order
  }
}

int16_t ParseSegment(const uint8_t* p, uint16_t recordLength, KeySegment* seg) {
  seg->position = Get16(p);
  seg->length = Get16(p + 2);
  seg->flags = Get16(p + 4);
  seg->rawType = p[10];
  seg->nullValue = p[11];
  seg->manualKey = p[14];
  seg->acs = p[15];
  if (seg->length == 0 || seg->length > kMaxKeyLength) return kStatusKeyLength;
  if (seg->position == 0 || seg->position + seg->length - 1 > recordLength) {
    return kStatusKeyPosition;
  }
  if (seg->flags & kKeyExtendedType) {
    seg->type = seg->rawType;
  } else {
    seg->type = (seg->flags & kKeyBinary) ? kTypeUnsigned : kTypeString;
  }
  if (!LengthFitsType(seg->type, seg->length)) return kStatusKeyLength;
  return kStatusOk;
}

int16_t ParseKeys(const uint8_t* data, size_t size, int keyCount, FileSpec* spec, size_t* offset) {
  for (int k = 0; k < keyCount; ++k) {
    KeySpec key;
    bool more = true;
    while (more) {
      if (*offset + kSegmentSpecSize > size) return kStatusDataBufferTooShort;
      KeySegment seg;
      int16_t status = ParseSegment(data + *offset, spec->recordLength, &seg);
      if (status != kStatusOk) return status;
      *offset += kSegmentSpecSize;
      if (key.segments.empty()) {
        key.duplicates = seg.flags & kKeyDuplicates;
        key.modifiable = seg.flags & kKeyModifiable;
        key.nullAll = seg.flags & kKeyNullAll;
        key.nullAny = seg.flags & kKeyNullAny;
      }
      key.length += seg.length;
      if (key.length > kMaxKeyLength) return kStatusKeyLength;
      more = seg.flags & kKeySegmented;
      key.segments.push_back(seg);
    }
    spec->keys.push_back(std::move(key));
  }
  return kStatusOk;
}

int16_t ParseAcs(const uint8_t* data, size_t size, FileSpec* spec, size_t offset) {
  int needed = 0;
  for (const KeySpec& key : spec->keys) {
    for (const KeySegment& seg : key.segments) {
      if (seg.flags & kKeyAlternate) needed = std::max(needed, seg.acs + 1);
    }
  }
  for (int i = 0; i < needed; ++i) {
    if (offset + kAcsSize > size) return kStatusDataBufferTooShort;
    if (data[offset] != kAcsSignature) return kStatusInvalidAcs;
    spec->acs.emplace_back(reinterpret_cast<const char*>(data + offset), kAcsSize);
    offset += kAcsSize;
  }
  return kStatusOk;
}

}  // namespace

int16_t ParseFileSpec(const uint8_t* data, size_t size, FileSpec* out) {
  if (data == nullptr || size < kFileSpecSize) return kStatusDataBufferTooShort;
  FileSpec spec;
  spec.recordLength = Get16(data);
  spec.pageSize = Get16(data + 2);
  int keyCount = data[4];
  spec.fileFlags = Get16(data + 10);
  if (spec.recordLength < 4 || spec.recordLength > kMaxRecordLength) return kStatusRecordLength;
  if (spec.pageSize < 512 || spec.pageSize > 16384 || spec.pageSize % 512 != 0) {
    return kStatusPageSize;
  }
  // Byte 5 is the file version of later dictionaries; the count fits byte 4.
  if (keyCount < 1 || keyCount > kMaxKeys) return kStatusNumberOfKeys;
  size_t offset = kFileSpecSize;
  int16_t status = ParseKeys(data, size, keyCount, &spec, &offset);
  if (status == kStatusOk) status = ParseAcs(data, size, &spec, offset);
  if (status == kStatusOk) *out = std::move(spec);
  return status;
}

std::string EncodeFileSpec(const FileSpec& spec) {
  return EncodeStat(spec, 0, std::vector<uint32_t>(spec.keys.size(), 0));
}

std::string EncodeStat(const FileSpec& spec, uint32_t records,
                       const std::vector<uint32_t>& distinctPerKey) {
  size_t segments = 0;
  for (const KeySpec& key : spec.keys) segments += key.segments.size();
  std::string out(kFileSpecSize + kSegmentSpecSize * segments, '\0');
  Put16(out, 0, spec.recordLength);
  Put16(out, 2, spec.pageSize);
  Put16(out, 4, static_cast<uint16_t>(spec.keys.size()));
  Put32(out, 6, records);
  Put16(out, 10, spec.fileFlags);
  size_t at = kFileSpecSize;
  for (size_t k = 0; k < spec.keys.size(); ++k) {
    for (const KeySegment& seg : spec.keys[k].segments) {
      Put16(out, at, seg.position);
      Put16(out, at + 2, seg.length);
      Put16(out, at + 4, seg.flags);
      Put32(out, at + 6, k < distinctPerKey.size() ? distinctPerKey[k] : 0);
      out[at + 10] = static_cast<char>(seg.rawType);
      out[at + 11] = static_cast<char>(seg.nullValue);
      out[at + 14] = static_cast<char>(seg.manualKey);
      out[at + 15] = static_cast<char>(seg.acs);
      at += kSegmentSpecSize;
    }
  }
  for (const std::string& acs : spec.acs) out += acs;
  return out;
}

}  // namespace storage
