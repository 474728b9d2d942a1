// Loading the run settings at start-up (command line, then the user INI file, then the built-in
// defaults on the machine PC) and remembering the paths in the user INI file. The five paths are
// mirrored in window fields; the loader writes them through SettingsFields, so the window (and
// the silent run, which has no window) decides what setting a field does.

#ifndef ORVANO_SESSION_SETTINGS_LOADER_H_
#define ORVANO_SESSION_SETTINGS_LOADER_H_

#include <string>
#include <string_view>

#include "session/path_fields.h"

namespace orvano {

struct RunContext;

/// Fills the settings: the command-line paths, then the user INI entries of the paths the
/// command line did not give, then on the machine PC the defaults of the paths still empty,
/// creating (or offering to create) a missing default destination. A command line in error is
/// the program error "Error in Commandline. At least one pathparameter incorrect or missing.",
/// after which nothing else is loaded. Errors go through the common error handling.
void LoadSettings(RunContext& context, SettingsFields& fields);

/// Takes the five path keys of the command line into the settings and fields. Returns false when
/// a path key names nothing existing (a missing destination that cannot be created counts);
/// with no path key, returns true and changes nothing.
[[nodiscard]] bool TakeCommandLinePaths(RunContext& context, SettingsFields& fields);

/// Takes the user INI entry `entry` ("PathOrvanoDOC", ..., "PathLanguageDB") into the settings
/// and fields; a path that names nothing existing is cleared.
void TakeRememberedPath(RunContext& context, SettingsFields& fields, std::string_view entry);

/// Takes the built-in machine-PC default of `entry` into the settings and (when it exists)
/// the field.
void TakeMachinePcDefault(RunContext& context, SettingsFields& fields, std::string_view entry);

/// Remembers the five paths in section "SysEnviron" of the user INI file. A file that cannot be
/// written is said through Host::WriteDiagnostic; the run goes on.
void RememberPaths(RunContext& context);

/// The built-in machine-PC default of `entry` under `install_root`, or "".
std::string MachinePcDefaultPath(std::string_view entry, const std::string& install_root);

}  // namespace orvano

#endif  // ORVANO_SESSION_SETTINGS_LOADER_H_
