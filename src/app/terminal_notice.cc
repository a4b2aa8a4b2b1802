// The too-small notice in Catalan, Spanish, Galician and Aranese.
#include "app/terminal_notice.h"

#include "config/session_settings.h"
#include "terminal/cell_buffer.h"

namespace app {

std::string TooSmallNotice(int columns, int rows) {
  const std::string size = std::to_string(columns) + " x " + std::to_string(rows);
  const std::string needed = std::to_string(terminal::kConsoleColumns);
  const std::string lines = std::to_string(terminal::kConsoleRows);
  const std::string& language = config::Settings().SessionLanguage;
  if (language == "SPA") {
    return "El terminal mide " + size + "; este programa necesita como m\u00EDnimo " + needed +
           " columnas x " + lines + " filas. Ampl\u00EDe la ventana.";
  }
  if (language == "GLG") {
    return "O terminal mide " + size + "; este programa precisa polo menos " + needed +
           " columnas x " + lines + " filas. Ampl\u00EDe a xanela.";
  }
  if (language == "OCI") {
    return "Eth terminau fa " + size + "; aguest programa a besonh d'almens " + needed +
           " colomnes x " + lines + " linhes. Agranitz era finestra.";
  }
  return "El terminal fa " + size + "; aquest programa en necessita com a m\u00EDnim " + needed +
         " columnes x " + lines + " files. Amplieu la finestra.";
}

}  // namespace app
