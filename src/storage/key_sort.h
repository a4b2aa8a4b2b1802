// Key values of a record and their sort forms.
//
// The sort form of a key is a byte string whose memcmp order is the order
// the record manager gives the key: each segment becomes a form of its own
// fixed length (its declared length), so the concatenation of the segments
// orders segment by segment.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "storage/record_spec.h"

namespace storage {

// The key's bytes as they lie in the record: the segments in order, key.length
// bytes in all.  Bytes beyond the end of a short record read as zero.
std::string KeyFromRecord(const KeySpec& key, const std::string& record);

// The sort form of a key value given as key.length bytes (a key buffer).
std::string SortForm(const FileSpec& spec, const KeySpec& key, const uint8_t* keyBytes);

// The sort form of the record's value of key into *out, whose buffer is
// reused (bytes beyond the end of a short record read as zero).  False when
// that value is null, so the record stays out of the key's index.
bool RecordSortForm(const FileSpec& spec, const KeySpec& key, const std::string& record,
                    std::string* out);

// Whether a record with this key value stays out of the key's index (null
// keys: every segment, or any segment, filled with its null value).
bool IsNullKey(const KeySpec& key, const uint8_t* keyBytes);

}  // namespace storage
