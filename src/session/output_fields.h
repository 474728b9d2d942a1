// The optional outputs the window offers beside the five paths: the export of the rows (key
// Export), the earlier export to list the changes against (key Compare) and the search page
// (key Search). An empty field is off; none of them holds a run back. Their rules decide what a
// typed text does; the window remembers them in section "SysEnviron" of the user INI file
// ("PathExport", "PathCompare", "SearchPage") and loads them at its start, a key given on the
// command line winning over the remembered entry.

#ifndef ORVANO_SESSION_OUTPUT_FIELDS_H_
#define ORVANO_SESSION_OUTPUT_FIELDS_H_

#include <string>
#include <string_view>

namespace orvano {

class FileSystem;
struct RunContext;
struct RunSettings;

enum class OutputField { kExportFile, kCompareFile };

/// The user INI entries of the outputs.
inline constexpr std::string_view kExportEntry = "PathExport";
inline constexpr std::string_view kCompareEntry = "PathCompare";
inline constexpr std::string_view kSearchPageEntry = "SearchPage";

/// The setting that `field` edits.
std::string& OutputSetting(RunSettings& settings, OutputField field);

/// Why `text` cannot be taken into `field`, or "" when it can: an export must end with .json or
/// .csv and go into an existing folder; a compare file must exist. An empty text can always be
/// taken: it turns the output off.
std::string OutputFieldProblem(FileSystem& fs, OutputField field, const std::string& text);

/// The change handling of an output field whose text became `text`: the setting takes the text
/// when OutputFieldProblem has nothing against it, else it is emptied, so that a run never
/// writes to or reads from a path the field does not show. Returns the problem ("" when taken).
std::string TakeOutputFieldText(RunContext& context, OutputField field, const std::string& text);

/// What the window's output controls show.
struct OutputTexts {
  std::string export_file;
  std::string compare_file;
  bool search = false;
};

/// The outputs at the window's start: a key the command line gives keeps the command line's
/// value (shown even when its rule refuses it, so that the field can say why); a key it does not
/// give takes the remembered entry when the entry's rule takes it, else stays off. Fills the
/// settings by the rules and returns what the controls show. A run without a window does not
/// load them: it writes what its command line asks and nothing a window once remembered.
OutputTexts LoadWindowOutputs(RunContext& context);

/// Remembers the outputs of the settings in the user INI file with one write. A file that
/// cannot be written is said through Host::WriteDiagnostic; the run goes on.
void RememberOutputs(RunContext& context);

}  // namespace orvano

#endif  // ORVANO_SESSION_OUTPUT_FIELDS_H_
