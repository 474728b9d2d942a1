// The start-up sequence shared by the executable and the window: how the command line decides
// the run mode and the language, and the loading of the settings that follows.

#ifndef ORVANO_SESSION_STARTUP_H_
#define ORVANO_SESSION_STARTUP_H_

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "session/program_info.h"

namespace orvano {

class FileSystem;
class Host;
struct GenerationInputs;
struct RunContext;
class SettingsFields;

/// What the command line and the program's folder decide before anything is shown.
struct StartUpMode {
  std::vector<std::string> command_line_args;
  bool is_running_on_machine_pc = false;
  bool silent = false;
  bool show_progress = false;
  std::string language_id;
  std::string jobs;
  bool check_only = false;   // Check=TRUE (implies silent)
  bool strict = false;       // Strict=TRUE
  std::string report_file;   // Report=<file>
  std::string export_file;   // Export=<file.json|file.csv>
  bool search = false;       // Search=TRUE
  std::string compare_file;  // Compare=<old export.json>
  /// What is wrong with the command line, one message each (exit status 2 in silent runs).
  std::vector<std::string> command_line_errors;
};

/// Reads the mode: started from the machine PC's tools folder the program is silent;
/// "Silent=TRUE" / "Silent=FALSE" switch it on or off; "LangID" gives the language; in silent
/// mode "progress=TRUE" shows progress. "Check=TRUE" checks without writing (and is silent),
/// "Strict=TRUE" counts ordinary notes against the pages, "Report=<file>" names the run
/// report, "Export=<file>" the export of the rows, "Search=TRUE" the search page,
/// "Compare=<file>" the export to list the changes against. Values that cannot be right (Check,
/// Strict, Search not TRUE or FALSE, an empty Report, Export or Compare, an Export that ends in
/// neither .json nor .csv, Jobs not a whole number from 1 to 256, an empty item in a LangID
/// list) are command-line errors.
StartUpMode ReadStartUpMode(const std::vector<std::string>& arguments, const ProgramInfo& program);

/// Takes `mode` into the context's settings and language.
void ApplyStartUpMode(const StartUpMode& mode, RunContext& context);

/// The context of one program start over `fs` and `host` (both must outlive it), with `mode`
/// applied. An installed program's missing per-user folders are made first (MakeUserFolders);
/// those that cannot be are said through Host::WriteDiagnostic. The executable and the window
/// both start this way.
std::unique_ptr<RunContext> NewStartContext(FileSystem& fs, Host& host, const ProgramInfo& program,
                                            const StartUpMode& mode);

/// The loading at start: takes the command line `arguments` (its tokens) again and loads the
/// settings (LoadSettings) into `context` and `fields`.
void LoadStartSettings(RunContext& context, SettingsFields& fields,
                       const std::vector<std::string>& arguments);

/// How a run or the program ended: the exit status, and what the last generation read, which
/// the caller may keep to the process's end (a silent run's tables make up hundreds of
/// thousands of small blocks, and freeing them one by one takes longer than the kernel takes
/// to drop them all).
struct RunOutcome {
  int exit_status = 0;
  std::shared_ptr<const GenerationInputs> inputs;
};

/// One run without a window: keeps a record in `context` (KeepRecord), loads the settings
/// through windowless fields and generates the pages (Check=TRUE: builds them in memory and
/// prints every problem on standard output). Writes the run report when one is asked for, also
/// when an error ends the program. The exit status (ExitStatus): 0 every page written with
/// nothing but ordinary notes, 1 stopped, 3 finished with pages refused, abandoned or wrong.
/// Throws EndProgram when an error ends the program. Requires: called once per context.
RunOutcome RunWithoutWindow(RunContext& context, const std::vector<std::string>& arguments);

/// What a start of the program hands its front end, made once by StartProgram: the file
/// system, the program's facts, the mode the command line decides and the command line's
/// tokens.
struct ProgramStart {
  std::unique_ptr<FileSystem> fs;
  ProgramInfo program;
  StartUpMode mode;
  std::vector<std::string> arguments;
};

/// The program's windows, which live above the session: main hands them to StartProgram.
class WindowFrontEnd {
 public:
  virtual ~WindowFrontEnd() = default;
  /// True when a window can be shown here.
  virtual bool CanShowWindow() const = 0;
  /// The interactive program (splash, then the main window) until the user ends it. Returns
  /// the exit status.
  virtual int RunWindow(const ProgramStart& start) = 0;
  /// One silent run that shows its progress in the separate progress window.
  virtual RunOutcome RunSilentWithProgressWindow(const ProgramStart& start) = 0;
};

/// The one start of the program for the command line's tokens `arguments` (CommandLineTokens):
/// reads the program's
/// facts and the mode once, then runs the window, a silent run with the progress window, or a
/// plain silent run (progress on stderr with "progress=TRUE"). Command-line errors of a silent
/// start are printed on stderr (exit status 2); so is the lack of a display for the window.
/// Throws EndProgram when an error ends the program.
RunOutcome StartProgram(std::vector<std::string> arguments, WindowFrontEnd& windows);

}  // namespace orvano

#endif  // ORVANO_SESSION_STARTUP_H_
