// The too-small notice in Catalan, Spanish, Galician and Aranese.  It says
// how to get the rows the screen needs and how to leave from it (Escape),
// since most terminals open one row short, at 80 x 24.
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
         InLanguage(" files. Amplieu la finestra fins a ", " filas. Ampl\u00EDe la ventana hasta ",
                    " filas. Ampl\u00EDe a xanela ata ", " linhes. Agranitz era finestra enquia ") +
         lines +
         InLanguage(" files (arrossegueu-ne la vora inferior o maximitzeu-la) o premeu Esc "
                    "per sortir.",
                    " filas (arrastre su borde inferior o maxim\u00EDcela) o pulse Esc para salir.",
                    " filas (arrastre o seu bordo inferior ou maxim\u00EDcea) ou prema Esc para "
                    "sa\u00EDr.",
                    " linhes (tira eth s\u00F2n bord de baish o maximiza-la) o quicha Esc "
                    "ent\u00E0 g\u00E9sser.");
}

}  // namespace app
