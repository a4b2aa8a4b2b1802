// The too-small notice in Catalan, Spanish, Galician and Aranese.  It says
// how to get the rows the screen needs and how to leave from it (Escape),
// since most terminals open one row short, at 80 x 24.
#include "app/terminal_notice.h"

#include "config/settings.h"
#include "terminal/cell_buffer.h"

namespace app {

std::string TooSmallNotice(int columns, int rows) {
  const std::string size = std::to_string(columns) + " x " + std::to_string(rows);
  const std::string needed = std::to_string(terminal::kConsoleColumns);
  const std::string lines = std::to_string(terminal::kConsoleRows);
  const std::string& language = config::Settings().SessionLanguage;
  if (language == "SPA") {
    return "El terminal mide " + size + "; este programa necesita como m\u00EDnimo " + needed +
           " columnas x " + lines + " filas. Ampl\u00EDe la ventana hasta " + lines +
           " filas (arrastre su borde inferior o maxim\u00EDcela) o pulse Esc para salir.";
  }
  if (language == "GLG") {
    return "O terminal mide " + size + "; este programa precisa polo menos " + needed +
           " columnas x " + lines + " filas. Ampl\u00EDe a xanela ata " + lines +
           " filas (arrastre o seu bordo inferior ou maxim\u00EDcea) ou prema Esc para sa\u00EDr.";
  }
  if (language == "OCI") {
    return "Eth terminau fa " + size + "; aguest programa a besonh d'almens " + needed +
           " colomnes x " + lines + " linhes. Agranitz era finestra enquia " + lines +
           " linhes (tira eth s\u00F2n bord de baish o maximiza-la) o quicha Esc ent\u00E0 "
           "g\u00E9sser.";
  }
  return "El terminal fa " + size + "; aquest programa en necessita com a m\u00EDnim " + needed +
         " columnes x " + lines + " files. Amplieu la finestra fins a " + lines +
         " files (arrossegueu-ne la vora inferior o maximitzeu-la) o premeu Esc per sortir.";
}

}  // namespace app
