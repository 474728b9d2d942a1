// The recently used projects: the five paths of the last runs started from the window, most
// recent first, each set once, at most five. They are kept in section "RecentProjects" of the
// user INI file, one entry per path ("Project1OrvanoDOC", "Project1OrvanoDB",
// "Project1XLCollection", "Project1HTMLSourceFolder", "Project1DestinationFolder", then
// "Project2..."), each value in quotes so that a path keeps blanks at its ends. The window lists
// them in its File menu. The optional outputs (export, comparison, search page) are not part of
// a project: a project is what its pages are made from, the outputs are extras of the next run,
// remembered once (output_fields.h). Choosing a project leaves them as they are, and the list
// keeps the entries older files have.

#ifndef ORVANO_SESSION_RECENT_PROJECTS_H_
#define ORVANO_SESSION_RECENT_PROJECTS_H_

#include <cstddef>
#include <string>
#include <vector>

#include "session/path_fields.h"

namespace orvano {

class FileSystem;
struct RunContext;
struct RunSettings;

/// The section of the user INI file that holds the recent projects.
inline constexpr char kRecentProjectsSection[] = "RecentProjects";
/// How many projects the list keeps.
inline constexpr std::size_t kMostRecentProjects = 5;

/// The five paths of a project, indexed by PathField.
using RecentProject = FieldTexts;

/// `list` with `project` first: an equal project further down is dropped, and the list is cut
/// to kMostRecentProjects.
std::vector<RecentProject> WithRecentProject(std::vector<RecentProject> list,
                                             const RecentProject& project);

/// The projects kept in `user_ini_file`, in the order of their numbers 1 to
/// kMostRecentProjects; a number whose five entries are all absent or empty is skipped. A
/// missing or unreadable file gives none.
std::vector<RecentProject> ReadRecentProjects(FileSystem& fs, const std::string& user_ini_file);

/// Writes `projects` (at most kMostRecentProjects of them) with one write of `user_ini_file`,
/// emptying the entries of the numbers beyond them that the file holds; every other byte of the
/// file stays. Throws as WriteIniEntries does (a path holding a line break cannot be written).
void WriteRecentProjects(FileSystem& fs, const std::string& user_ini_file,
                         const std::vector<RecentProject>& projects);

/// The paths of `settings` as a project.
RecentProject CurrentProject(const RunSettings& settings);

/// The recent projects of the context's user INI file.
std::vector<RecentProject> RecentProjects(RunContext& context);

/// Puts the context's current paths first in the recent projects of its user INI file. A file
/// that cannot be written is said through Host::WriteDiagnostic; nothing else happens then.
void RememberRecentProject(RunContext& context);

/// Fills `fields` with the paths of `project` in field order, each through SetField so that its
/// change rules run. A path the rules cannot take (CanTakeFieldText: it names nothing usable any
/// more) leaves its setting empty, never the path of the project shown before.
void OpenRecentProject(RunContext& context, SettingsFields& fields, const RecentProject& project);

}  // namespace orvano

#endif  // ORVANO_SESSION_RECENT_PROJECTS_H_
