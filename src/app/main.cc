// Entry point of qantires: command-line options, then the main flow.
#include <CLI/CLI.hpp>

#include <cstdio>

#include "app/program.h"
#include "verifactu/build_identity.h"

namespace {

constexpr const char* kHelpFooter =
    "Keys on the selection screen: Enter and Down the next field, Up the previous\n"
    "one, Page Up and Page Down the first and last field, F1 help, F4 a list to\n"
    "choose from, Alt+X the calculator, Alt+C the calendar (F types their result\n"
    "into the field), Escape the first field and from there out of the program.\n"
    "Enter on the last field asks for confirmation; S issues the receipts.";

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "QANTIRES - issues the periodic receipts (rents and service charges) of the\n"
      "units a property-administration office administers.\n"
      "The installation comes from the environment the office's menu prepares:\n"
      "KELROOT (installation root), KELEXE (programs, KELPRINT among them;\n"
      "without it KELPRINT is taken beside qantires, never from PATH),\n"
      "KELTMP (the operator's session folder), and KELDB when the record files are\n"
      "kept on a PostgreSQL server (a libpq connection string).\n"
      "Mistakes in the options exit with 2."};
  app.footer(kHelpFooter);
  static const std::string version =
      std::string("qantires " QANTIRES_VERSION "\n") + verifactu::BuiltIdentityLine();
  app.set_version_flag("--version", version);
  bool declaration = false;
  app.add_flag("--declaration", declaration,
               "print the producer's statement of conformity of this billing system "
               "(declaracion responsable) and exit");
  app::RunOptions options;
  issuing::BatchOptions& b = options.selection;
  app.add_flag("--batch", options.batch,
               "issue one cycle without screens, with the selection screen's presets "
               "(the working date of ToraTerm.ini, every unit, form and concept) changed "
               "by the options below; prints a one-line summary");
  // An empty value would silently mean the preset: refused like a wrong one.
  const CLI::Validator given(
      [](const std::string& v) { return v.empty() ? std::string("an empty value") : ""; }, "");
  app.add_option("--date", b.date, "issue date, as typed on the screen: 5/1/2027 or 05012027");
  app.add_option("--from", b.from, "first unit: PROPERTY or PROPERTY.UNIT (default 1.0)");
  app.add_option("--to", b.to, "last unit: PROPERTY or PROPERTY.UNIT (default 999.999)");
  app.add_option("--period", b.period,
                 "period number printed in the reference "
                 "(default: the month of the issue date)");
  app.add_option("--forms", b.forms, "collection forms to issue, letters of ABF (default ABF)");
  app.add_option("--codes", b.codes,
                 "collection-code range of a form, FORM:FIRST-LAST, "
                 "for example B:5-7 (repeatable; default 0-99)");
  app.add_option("--concepts", b.concepts,
                 "concepts to include, 1 to 14, e.g. 1-10,12 "
                 "(default all)");
  app.add_option("--lock-wait", options.lockWaitSeconds,
                 "seconds to wait in all for a record file another user holds, "
                 "then exit 1 (default 60)")
      ->check(CLI::Range(0, 86400));
  app.add_option("--remittance", b.remittance,
                 "also write the bank remittance (SEPA direct debits of the domiciled "
                 "receipts) to this file");
  app.add_option("--collection-date", b.collectionDate,
                 "collection date of the remittance, as typed on the screen, not before "
                 "the next working day nor the issue date (default: the first working day "
                 "at least Tora.ini [Remesa] DiesPrevis days, 2, after the working date)");
  bool noPrint = false;
  app.add_flag("--no-print", noPrint, "leave the spool file and do not start KELPRINT");
  for (CLI::Option* o : app.get_options()) {
    if (o->get_expected_min() > 0) o->check(given);
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // Help ends with 0; every mistake in the options with 2.
    return app.exit(e) == 0 ? 0 : 2;
  }
  if (declaration) {
    std::fputs(verifactu::Declaration().c_str(), stdout);
    return 0;
  }
  b.print = !noPrint;
  for (const CLI::Option* o : app.get_options()) {
    if (!options.batch && o->count() > 0 && o->get_name() != "--help" &&
        o->get_name() != "--batch") {
      std::fprintf(stderr, "qantires: %s only goes with --batch\n", o->get_name().c_str());
      return 2;
    }
  }
  return app::RunProgram(options);
}
