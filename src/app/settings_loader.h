// Loading the run settings at start-up (command line, then the user INI file, then the built-in
// defaults on the machine PC) and remembering the paths in the user INI file. The five paths are
// mirrored in window fields; the loader writes them through SettingsFields, so the window (and
// the silent run, which has no window) decides what setting a field does.

#ifndef ORVANO_APP_SETTINGS_LOADER_H_
#define ORVANO_APP_SETTINGS_LOADER_H_

#include <string>
#include <string_view>

namespace orvano {

struct RunContext;

/// The five path fields of the main window.
enum class PathField {
  kOrvanoDoc,
  kOrvanoDb,
  kXlCollection,
  kHtmlSourceFolder,
  kDestinationFolder
};

/// The window fields the loader fills. Setting a field runs the field's change handling (for
/// the database field: loading the language list).
class SettingsFields {
 public:
  virtual ~SettingsFields() = default;
  virtual void SetField(PathField field, const std::string& text) = 0;
};

/// Fills the settings: the command-line paths, then the user INI entries of the paths the
/// command line did not give, then on the machine PC the defaults of the paths still empty,
/// creating (or offering to create) a missing default destination. A command line in error is
/// the program error "Error in Commandline. At least one pathparameter incorrect or missing.",
/// after which nothing else is loaded. Errors go through the common error handling.
void ReadStandardValues(RunContext& context, SettingsFields& fields);

/// Takes the five path keys of the command line into the settings and fields. Returns true when
/// the command line is in error: a path key that names nothing existing (a missing destination
/// that cannot be created counts). With no path key, returns false and changes nothing.
bool ReadStandardValuesCommand(RunContext& context, SettingsFields& fields);

/// Takes the user INI entry `entry` ("PathOrvanoDOC", ..., "PathLanguageDB") into the settings
/// and fields; a path that names nothing existing is cleared.
void ReadStandardValuesIni(RunContext& context, SettingsFields& fields, std::string_view entry);

/// Takes the built-in machine-PC default of `entry` into the settings and (when it exists)
/// the field.
void ReadStandardValuesConst(RunContext& context, SettingsFields& fields, std::string_view entry);

/// Remembers the five paths in section "SysEnviron" of the user INI file. A file that cannot be
/// written is said through Host::WriteDiagnostic; the run goes on.
void WriteStandardValuesIni(RunContext& context);

/// The built-in machine-PC default of `entry` under `install_root`, or "".
std::string DefaultPathOf(std::string_view entry, const std::string& install_root);

}  // namespace orvano

#endif  // ORVANO_APP_SETTINGS_LOADER_H_
