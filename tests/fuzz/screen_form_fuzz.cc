// Any bytes as a screen-form file: the reader must stop at the end of the
// data in whatever state, with bounded tables, whatever the counts, quotes
// and numbers say.  The presets and the selection are then built from what
// was read.
#include <cstdint>
#include <string_view>

#include "issuing/screen_form.h"
#include "issuing/selection.h"
#include "startup/program_state.h"
#include "startup/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  startup::Settings().SessionLanguage = "CAT";  // no language file is touched
  startup::Program().CustomerVariant = size % 3;
  issuing::ReadScreenFormText(std::string_view(reinterpret_cast<const char*>(data), size));
  issuing::PresetSelection();
  issuing::SelectionProblem(issuing::SelectionFromScreen());
  return 0;
}
