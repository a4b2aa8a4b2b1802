// Any bytes from a terminal, fed in pieces of varying size: the key decoder
// must neither crash nor read out of bounds, must keep only a bounded
// partial sequence, and must be empty once a timed-out read drains it.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/cp850.h"
#include "terminal/key_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t piece = 1 + data[0] % 16;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  terminal::KeyDecoder decoder;
  terminal::ConsoleEvent event;
  for (size_t at = 0; at < bytes.size(); at += piece) {
    decoder.Feed(bytes.substr(at, piece));
    const bool timedOut = (at / piece) % 3 == 2;
    while (decoder.Next(&event, timedOut)) {
      if (event.kind == terminal::EventKind::kMouseRelease && event.button != 1 &&
          event.button != 2) {
        std::abort();
      }
    }
  }
  while (decoder.Next(&event, true)) {
  }
  if (decoder.Pending()) std::abort();
  platform::Utf8ToCp850(bytes);
  return 0;
}
