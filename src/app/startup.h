// The start-up sequence shared by the executable and the window: how the command line decides
// the run mode and the language, and the loading of the settings that follows.

#ifndef ORVANO_APP_STARTUP_H_
#define ORVANO_APP_STARTUP_H_

#include <string>
#include <string_view>
#include <vector>

namespace orvano {

struct ProgramInfo;
struct RunContext;
class SettingsFields;

/// What the command line and the program's folder decide before anything is shown.
struct StartUpMode {
  std::vector<std::string> command_line_args;
  bool running_on_machine_pc = false;
  bool silent = false;
  bool show_progress = false;
  std::string language_id;
};

/// Reads the mode: started from the machine PC's tools folder the program is silent;
/// "Silent=TRUE" / "Silent=FALSE" switch it on or off; "LangID" gives the language; in silent
/// mode "progress=TRUE" shows progress.
StartUpMode ReadStartUpMode(std::string_view argument_text, const ProgramInfo& program);

/// Takes `mode` into the context's settings and language.
void ApplyStartUpMode(const StartUpMode& mode, RunContext& context);

/// The main window's loading: reads the command line again and loads the settings
/// (ReadStandardValues) into `context` and `fields`.
void LoadRunSettings(RunContext& context, SettingsFields& fields, std::string_view argument_text);

}  // namespace orvano

#endif  // ORVANO_APP_STARTUP_H_
