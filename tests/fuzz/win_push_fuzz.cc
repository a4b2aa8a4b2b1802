// Any bytes as a left-over WinPush.tmp: CloseWindow must restore at most
// what a real entry describes and never read outside the file or the
// screen, and a following open and close must still work.
#include <cstdint>
#include <cstdio>
#include <string>

#include "config/session_settings.h"
#include "console/console_state.h"
#include "console/window.h"
#include "fuzz_scratch.h"
#include "platform/program_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string& dir = fuzz_scratch::FolderPath("winpush");
  platform::ResetProgramState();
  config::Settings().SessionDir = dir;
  console::Console().depth = 3;
  std::FILE* f = std::fopen((dir + "WinPush.tmp").c_str(), "wb");
  if (f == nullptr) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  console::CloseWindow();
  console::CloseWindow();
  console::OpenWindow(2, 2, 5, 9);
  console::CloseWindow();
  return 0;
}
