// Program-wide state of the issuing run: what one cycle keeps from receipt
// to receipt instead of building it again for each, namely the fixed words
// of the layouts in the session language and the texts of the boxed layout
// made from them.  A new cycle forgets them (ForgetWords in
// layout_common.h); the reset of the program state (platform/program_state.h)
// puts all of it back as a run starts.
#pragma once

#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace issuing {

// The texts every receipt of the boxed layout repeats (box lines with their
// translated titles, the issuer rows, the invoice labels), built at its
// first receipt of each cycle.
struct BoxedTexts {
  unsigned cycle = 0;  // the cycle they were built for; 0: none yet
  std::string issuerHead;
  std::vector<std::string> issuerRows;  // "│" + text
  std::string taxHead;
  std::string taxBottom;
  std::string invoiceHead;
  std::string bottom;
  std::string dashes;  // over an amount
  std::string doubleRule;
  std::string totalLabel;
  std::string totalLabel20;
};

struct IssuingRunState {
  // Which cycle the layouts print for; each new cycle changes it, so that
  // texts built from the words of the last one are built again.
  unsigned cycle = 1;
  // The words of this cycle, by the address of their Catalan text (the
  // layouts pass literals).  A few dozen: a linear search is the fastest.  A
  // deque, so that the words handed out stay where they are.
  std::deque<std::pair<const char*, std::string>> words;
  BoxedTexts boxed;
};

IssuingRunState& IssuingRun();

}  // namespace issuing
