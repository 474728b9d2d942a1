// orvano-html: generates a project's interface allocation description as HTML pages. A thin
// driver: it answers --help, --version and --paths, runs the compare command, hands the command
// line and the windows to the session's start and maps the outcome to an exit status.

#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "session/command_line.h"
#include "session/compare_command.h"
#include "session/program_info.h"
#include "session/startup.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "ui/window_start.h"

#if __has_include("build_commit.h")
#include "build_commit.h"  // made by the build: ORVANO_BUILD_COMMIT
#else
#define ORVANO_BUILD_COMMIT ""
#endif

namespace {

constexpr const char kUsage[] =
    "Usage: orvano-html [Key=Value]...\n"
    "       orvano-html compare OLD.json NEW.json [--json]\n"
    "Generates a project's interface allocation description as HTML pages.\n"
    "\n"
    "Keys (one per argument, so paths may hold blanks; key names are matched without\n"
    "regard to case):\n"
    "  Silent=TRUE|FALSE            run once without a window and exit\n"
    "  LangID=<id>                  language of the pages (required when silent)\n"
    "  LangID=ALL | LangID=<id>,<id>...\n"
    "                               every language of the project, or the listed ones,\n"
    "                               each into its own folder <destination><id>/, with\n"
    "                               Languages.htm in the destination linking to them\n"
    "  Jobs=<n>                     threads that build pages (default: the machine's)\n"
    "  progress=TRUE                show progress in silent runs (a small window, or\n"
    "                               stderr where no window can be shown)\n"
    "  Check=TRUE                   read every input and build every page in memory,\n"
    "                               write nothing (no pages, no Logfile.log), and print\n"
    "                               every problem found, one per line, then a summary\n"
    "  Strict=TRUE                  ordinary notes (Table not found, Indextext not\n"
    "                               found) make the exit status 3 too\n"
    "  Report=<file.json>           write a JSON account of the run or check: inputs,\n"
    "                               files written, notes and errors, durations, status\n"
    "  Export=<file.json|file.csv>  write every row of every page as data\n"
    "  Search=TRUE                  write Search.htm, a search that works from the disk\n"
    "  Compare=<old.json>           write Changes.htm: the rows changed since an export\n"
    "  PathOrvanoDOC=<file>         the description file Orvano.doc\n"
    "  PathOrvanoDB=<file>          the project's text database (.mdb, .vws)\n"
    "  PathXLCollection=<file>      the module collection workbook (.xls, .xlsx or .xlsm,\n"
    "                               told by its first bytes)\n"
    "  PathHTMLSourceFolder=<dir>/  the template folder\n"
    "  PathDestinationFolder=<dir>/ the output folder (created when missing)\n"
    "  pgleft=<n> pgtop=<n> pgheight=<n>  position of the progress window\n"
    "\n"
    "  compare OLD.json NEW.json [--json]\n"
    "                               compare two exports of the pages' rows: print one\n"
    "                               line per row changed, added or removed (page\n"
    "                               [machine, position] sheet!row: kind: texts), then a\n"
    "                               summary; --json prints the same as JSON. Exit status\n"
    "                               0 the same, 1 different, 2 an export not readable\n"
    "  --help                       show this text\n"
    "  --version                    show the version (and the commit it was built from)\n"
    "  --paths                      show where the files below are looked for and found\n"
    "\n"
    "Files: an installed program keeps its remembered settings in\n"
    "$XDG_CONFIG_HOME/orvano-html/orvano-html.ini (default ~/.config/orvano-html/) and its\n"
    "error log in $XDG_STATE_HOME/orvano-html/ (default ~/.local/state/orvano-html/). A\n"
    "portable copy (its folder holds orvano-html.ini) keeps both beside itself. Languages.mdb\n"
    "is looked for beside the program, then in ~/.config/orvano-html/, /etc/orvano-html/ and\n"
    "<prefix>/share/orvano-html/ (a portable copy: beside itself only).\n"
    "\n"
    "Exit status (of every language together, the worst one wins):\n"
    "  0  every page written, nothing noted but Table not found and Indextext not found\n"
    "  1  stopped by an error\n"
    "  2  a command-line error (or no window can be shown)\n"
    "  3  finished, but a page was refused or abandoned, a template is missing, or a note\n"
    "     says a page is wrong (a formula or placeholder not evaluated, a class not\n"
    "     defined); with Strict=TRUE any note\n";

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  std::setlocale(LC_NUMERIC, "C");  // numbers are always read and written with "."
  // On a full disk or past a file size limit, a write must fail (and be reported as an error)
  // rather than kill the program half-way through a page.
  std::signal(SIGXFSZ, SIG_IGN);
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("orvano-html %s\n", orvano::CurrentProgramInfo().version.c_str());
      // Only this file sees the commit, so that a new commit relinks the program alone.
      if (*ORVANO_BUILD_COMMIT != '\0') std::printf("commit %s\n", ORVANO_BUILD_COMMIT);
      std::printf("%s\n", orvano::kLicenceNotice);
      return 0;
    }
    if (std::strcmp(argv[i], "--paths") == 0) {
      auto fs = orvano::NewPosixFileSystem();
      std::fputs(orvano::DescribeFileLocations(*fs, orvano::CurrentProgramInfo()).c_str(), stdout);
      return 0;
    }
  }
  if (argc > 1 && argv[1] == orvano::kCompareCommand) {
    auto fs = orvano::NewPosixFileSystem();
    const orvano::CommandResult result =
        orvano::RunCompareCommand(*fs, std::vector<std::string>(argv + 2, argv + argc));
    std::fputs(result.output.c_str(), stdout);
    std::fputs(result.errors.c_str(), stderr);
    return result.exit_status;
  }
  try {
    orvano::ui::QtWindows windows(argc, argv);
    const orvano::RunOutcome outcome =
        orvano::StartProgram(orvano::CommandLineTokens(argc, argv), windows);
    // Ends the process without freeing what the run read: see RunOutcome.
    std::exit(outcome.exit_status);
  } catch (const orvano::EndProgram& end) {
    return end.exit_code;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "orvano-html: %s\n", e.what());
    return 1;
  }
}
