// The too-small notice in Catalan, Spanish, Galician and Aranese.
#include "app/terminal_notice.h"

#include "config/in_language.h"
#include "config/session_settings.h"
#include "terminal/cell_buffer.h"

namespace app {

using config::InLanguage;

std::string TooSmallNotice(int columns, int rows) {
  const std::string size = std::to_string(columns) + " x " + std::to_string(rows);
  const std::string needed = std::to_string(terminal::kConsoleColumns);
  const std::string lines = std::to_string(terminal::kConsoleRows);
  return InLanguage("El terminal fa ", "El terminal mide ", "O terminal mide ",
                    "Eth terminau fa ") +
         size +
         InLanguage("; aquest programa en necessita com a m\u00EDnim ",
                    "; este programa necesita como m\u00EDnimo ",
                    "; este programa precisa polo menos ", "; aguest programa a besonh d'almens ") +
         needed + InLanguage(" columnes x ", " columnas x ", " columnas x ", " colomnes x ") +
         lines +
         InLanguage(" files. Amplieu la finestra.", " filas. Ampl\u00EDe la ventana.",
                    " filas. Ampl\u00EDe a xanela.", " linhes. Agranitz era finestra.");
}

}  // namespace app
