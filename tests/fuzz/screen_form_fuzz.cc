// Any bytes as a screen-form file: the reader must stop at the end of the
// data in whatever state, with bounded tables, whatever the counts, quotes
// and numbers say.  The presets and the selection are then built from what
// was read.
#include <cstdint>
#include <string_view>

#include "config/program_identity.h"
#include "config/session_settings.h"
#include "office/screen_form.h"
#include "office/selection.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  config::Settings().SessionLanguage = "CAT";  // no language file is touched
  config::Program().CustomerVariant = size % 3;
  office::ReadScreenFormText(std::string_view(reinterpret_cast<const char*>(data), size));
  office::PresetSelection();
  office::SelectionProblem(office::SelectionFromScreen());
  return 0;
}
