// The five path fields of a run (description file, database, workbook, template folder,
// destination folder) and the rules that decide when a typed or loaded path is taken. The window
// and the windowless run both use these rules; the window adds only what it shows.

#ifndef ORVANO_SESSION_PATH_FIELDS_H_
#define ORVANO_SESSION_PATH_FIELDS_H_

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace orvano {

class FileSystem;
struct RunContext;
struct RunSettings;

enum class PathField {
  kDescriptionFile,
  kDatabase,
  kWorkbook,
  kTemplateFolder,
  kDestinationFolder
};

/// The fields the settings loader fills. Setting a field runs the field's change handling.
class SettingsFields {
 public:
  virtual ~SettingsFields() = default;
  virtual void SetField(PathField field, const std::string& text) = 0;
};

/// The setting that `field` edits.
std::string& PathSetting(RunSettings& settings, PathField field);

/// True for the template and destination folders.
bool IsFolderField(PathField field);

/// True when `path` ends with "/" and names a folder that holds at least one plain file: what a
/// template folder must be.
bool FolderHoldsAFile(FileSystem& fs, const std::string& path);

/// True when `path` is not empty and names an existing file.
bool IsExistingFile(FileSystem& fs, const std::string& path);

/// True when the database at `path` cannot be written (the window refuses such a database).
bool IsReadOnlyDatabase(FileSystem& fs, const std::string& path);

/// True when the change handling takes `text` into `field`'s setting: a file field an existing
/// file, the template folder a folder that holds a file (FolderHoldsAFile), the destination an
/// existing folder.
bool CanTakeFieldText(FileSystem& fs, PathField field, const std::string& text);

/// The change handling of a field whose text became `text`: a file field takes an existing
/// file; the template folder a folder that holds a file; the destination an existing folder
/// (stored with its final "/"). A database that is taken also chooses the language table by its
/// ending and loads the project's languages. Returns true when the setting took `text`.
bool TakeFieldText(RunContext& context, PathField field, const std::string& text);

/// What the window shows after the change rules of a field ran.
struct FieldChange {
  /// What becomes of the Language box.
  enum class Languages {
    kKeep,   // stays as it is
    kClear,  // is emptied
    kList,   // lists the context's languages anew ("All languages" first when there are any)
  };
  bool taken = false;        // the setting took the text
  bool clear_field = false;  // the field is to be emptied
  Languages languages = Languages::kKeep;
};

/// The window's change rules of a field whose text became `text`: TakeFieldText, except that
/// a database that cannot be written is refused: the error "Database is READONLY!" (3051,
/// from "DAO.Workspace" in "TextOrvanoDB_Change") is reported through the common error
/// handling, the database setting is emptied, and so are the field and the Language box. A
/// database that is taken refills the Language box. Throws EndProgram when the user ends the
/// program at the error.
FieldChange ApplyFieldChange(RunContext& context, PathField field, const std::string& text);

/// The texts of the five fields, indexed by PathField.
using FieldTexts = std::array<std::string, 5>;

/// What the window says when a run's inputs are not all there.
inline constexpr std::string_view kCompleteInputMessage = "Please complete input!";

/// The first of the four input fields (description file, database, workbook, template folder)
/// whose text in `texts` names nothing existing, or nullopt when they all do. A run (Start or
/// Check) needs them: the window then says kCompleteInputMessage, empties that field and
/// focuses it.
std::optional<PathField> FirstIncompleteInput(RunContext& context, const FieldTexts& texts);

/// What a field keeps when it is left with the text `text`: a file field takes an existing
/// file; a folder written without its final "/" gets it when the folder exists (the template
/// folder) or always (a non-empty destination), and is taken as TakeFieldText takes it; a
/// destination that does not exist gives way to the current setting. Returns the text the
/// field is to show.
std::string TakeFieldTextOnLeaving(RunContext& context, PathField field, std::string text);

}  // namespace orvano

#endif  // ORVANO_SESSION_PATH_FIELDS_H_
