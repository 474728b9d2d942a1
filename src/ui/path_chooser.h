// The choosers behind the browse buttons of the main window: the open-file dialog for the
// description file, the database, the collection workbook and the export to compare with, the
// save-file dialog for the export, and the folder dialog for the template and destination
// folders, which can create a missing folder. The dialogs themselves
// sit behind PathDialogs so that tests answer them without showing anything.

#ifndef ORVANO_UI_PATH_CHOOSER_H_
#define ORVANO_UI_PATH_CHOOSER_H_

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "session/settings_loader.h"

class QWidget;

namespace orvano {
class FileSystem;
struct RunContext;
}  // namespace orvano

namespace orvano::ui {

class QtHost;

/// The dialogs a chooser shows. Each returns nullopt when the user cancels.
struct PathDialogs {
  /// The open-file dialog: `title`, the file to start at (or a folder), the filter as
  /// "display|pattern|display|pattern". Returns the chosen file.
  std::function<std::optional<std::string>(const std::string& title, const std::string& start,
                                           const std::string& filter)>
      open_file;
  /// The save-file dialog, with the same arguments as open_file: the file need not exist, and a
  /// name typed without an ending gets the chosen filter's. Returns the file to write.
  std::function<std::optional<std::string>(const std::string& title, const std::string& start,
                                           const std::string& filter)>
      save_file;
  /// The folder dialog starting at `folder`; `allow_create` lets the user type the name of a
  /// new sub-folder. Returns the chosen folder, ending with "/".
  std::function<std::optional<std::string>(const std::string& folder, bool allow_create)>
      choose_folder;
};

/// The real dialogs over `owner`. `context` and `host` must outlive the result.
PathDialogs QtPathDialogs(QWidget* owner, RunContext& context, QtHost& host);

/// The title and filter of the file chooser of `field`; nullopt for the two folder fields.
struct FileChooser {
  const char* title;
  const char* filter;
};
std::optional<FileChooser> FileChooserFor(PathField field);

/// The choosers of the export and of the earlier export to compare with.
inline constexpr FileChooser kExportChooser{
    "Export the rows as", "Rows as JSON (*.json)|*.json|Rows as CSV (*.csv)|*.csv"};
inline constexpr FileChooser kCompareChooser{"Please select the earlier export",
                                             "Export (*.json)|*.json"};

/// A "display|pattern|..." filter as Qt wants it: the display texts joined by ";;".
QString QtFilterOf(std::string_view filter);

/// Asks for a file, starting at `path` when it names an existing file, else in
/// `program_folder`. Returns the chosen file; on cancel `path` when it names an existing file,
/// else "".
std::string ChooseFile(FileSystem& fs, const PathDialogs& dialogs, const FileChooser& chooser,
                       const std::string& path, const std::string& program_folder);

/// Asks for a file to write, starting at `path` when its folder exists, else in `folder`.
/// Returns the chosen file; nullopt on cancel.
std::optional<std::string> ChooseFileToWrite(FileSystem& fs, const PathDialogs& dialogs,
                                             const FileChooser& chooser, const std::string& path,
                                             const std::string& folder);

/// The folder the folder dialog stands for: `shown` with `typed` appended as a sub-folder
/// (after a "/" when `shown` has none), ending with exactly one "/". "" when `shown` is not an
/// absolute path.
std::string ComposeFolder(const std::string& shown, const std::string& typed);

/// True when `folder` exists; otherwise asks "Directory not found" whether to
/// create it and creates it with its parents on OK. False on Cancel or when it could not be made
/// (the failure has been reported). Throws EndProgram when the program is to end.
bool ConfirmOrCreateFolder(RunContext& context, QtHost& host, const std::string& folder);

}  // namespace orvano::ui

#endif  // ORVANO_UI_PATH_CHOOSER_H_
