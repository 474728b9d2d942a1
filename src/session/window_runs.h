// The runs the window starts on its current settings: a generation (Start) and a check (Check,
// which reads every input and builds every page in memory, as Check=TRUE does, and writes
// nothing), and what the window offers after each: the page to open, the problems to list.

#ifndef ORVANO_SESSION_WINDOW_RUNS_H_
#define ORVANO_SESSION_WINDOW_RUNS_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "generation/run_record.h"

namespace orvano {

class FileSystem;
struct RunContext;

/// What a generation from the window wrote.
struct WindowRunOutcome {
  /// The page a reader starts from (PageToOpen); nullopt when the run wrote none.
  std::optional<std::string> page_to_open;
};

/// Remembers the paths (RememberPaths), the outputs (RememberOutputs) and the project
/// (RememberRecentProject), then generates the pages of the context's settings (with the
/// export, search page and comparison they ask for), its errors asked through the host. Throws
/// EndProgram when the user ends the program at an error.
WindowRunOutcome GenerateFromWindow(RunContext& context);

/// One problem of a check from the window.
struct CheckedProblem {
  CheckLine line;
  /// The template file the problem's place names (TemplateFileOfPlace); "" when none.
  std::string template_file;
};

/// What a check from the window found.
struct WindowCheckOutcome {
  std::vector<CheckedProblem> problems;  // as CheckModeProblems sorts them
  std::string summary;                   // CheckModeSummary
};

/// Checks the project of the context's settings as Check=TRUE does: builds every page in
/// memory and writes nothing, neither pages nor logs nor the outputs the settings ask for (the
/// export, the search page, the changes). Every problem, the run's own included, is kept for
/// the list instead of being asked or logged, and the check goes on. Remembers nothing.
WindowCheckOutcome CheckFromWindow(RunContext& context);

/// The page that shows what the run of `record` wrote: the languages page when the run wrote
/// one (several languages), else the "Index.htm" a language wrote into its destination;
/// nullopt when neither was written.
std::optional<std::string> PageToOpen(const RunRecord& record);

/// The file in `template_folder` that the problem place `place` names, with or without its
/// line (".../Source_Main.htm:21" or "Source_Main.htm:21"); nullopt when the place names no
/// existing file of that folder (a workbook cell, a description file's key, a language).
std::optional<std::string> TemplateFileOfPlace(FileSystem& fs, const std::string& template_folder,
                                               std::string_view place);

}  // namespace orvano

#endif  // ORVANO_SESSION_WINDOW_RUNS_H_
