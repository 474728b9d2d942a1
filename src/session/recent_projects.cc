#include "session/recent_projects.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "generation/run_settings.h"
#include "session/run_context.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "support/host.h"
#include "support/ini_file.h"

namespace orvano {
namespace {

// The end of each path's entry name, in PathField order: the names of the path keys without
// their "Path".
constexpr std::array<std::string_view, 5> kEntryEnds = {"OrvanoDOC", "OrvanoDB", "XLCollection",
                                                        "HTMLSourceFolder", "DestinationFolder"};

std::string EntryName(std::size_t number, std::size_t field) {
  return "Project" + std::to_string(number) + std::string(kEntryEnds[field]);
}

bool IsEmpty(const RecentProject& project) {
  return std::all_of(project.begin(), project.end(),
                     [](const std::string& path) { return path.empty(); });
}

}  // namespace

std::vector<RecentProject> WithRecentProject(std::vector<RecentProject> list,
                                             const RecentProject& project) {
  std::erase(list, project);
  list.insert(list.begin(), project);
  if (list.size() > kMostRecentProjects) list.resize(kMostRecentProjects);
  return list;
}

std::vector<RecentProject> ReadRecentProjects(FileSystem& fs, const std::string& user_ini_file) {
  const IniFile ini = IniFile::Load(fs, user_ini_file);
  std::vector<RecentProject> projects;
  for (std::size_t number = 1; number <= kMostRecentProjects; ++number) {
    RecentProject project;
    for (std::size_t field = 0; field < project.size(); ++field) {
      project[field] = ini.Find(kRecentProjectsSection, EntryName(number, field)).value_or("");
    }
    if (!IsEmpty(project)) projects.push_back(std::move(project));
  }
  return projects;
}

void WriteRecentProjects(FileSystem& fs, const std::string& user_ini_file,
                         const std::vector<RecentProject>& projects) {
  const IniFile ini = IniFile::Load(fs, user_ini_file);
  std::vector<std::pair<std::string, std::string>> entries;
  for (std::size_t number = 1; number <= kMostRecentProjects; ++number) {
    for (std::size_t field = 0; field < kEntryEnds.size(); ++field) {
      std::string name = EntryName(number, field);
      if (number <= projects.size()) {
        // The quotes keep blanks at a path's ends, which a read would trim.
        entries.emplace_back(std::move(name), "\"" + projects[number - 1][field] + "\"");
      } else if (ini.Find(kRecentProjectsSection, name)) {
        entries.emplace_back(std::move(name), "");
      }
    }
  }
  WriteIniEntries(fs, user_ini_file, kRecentProjectsSection, entries);
}

RecentProject CurrentProject(const RunSettings& settings) {
  return {settings.description_file, settings.database_file, settings.workbook_file,
          settings.template_folder, settings.destination_folder};
}

std::vector<RecentProject> RecentProjects(RunContext& context) {
  return ReadRecentProjects(context.fs, context.program.UserIniPath());
}

void RememberRecentProject(RunContext& context) {
  const std::string file = context.program.UserIniPath();
  try {
    WriteRecentProjects(
        context.fs, file,
        WithRecentProject(ReadRecentProjects(context.fs, file), CurrentProject(context.settings)));
  } catch (const OrvanoError& e) {
    context.host.WriteDiagnostic("cannot remember the recent projects: " + e.description());
  }
}

void OpenRecentProject(RunContext& context, SettingsFields& fields, const RecentProject& project) {
  for (PathField field : {PathField::kDescriptionFile, PathField::kDatabase, PathField::kWorkbook,
                          PathField::kTemplateFolder, PathField::kDestinationFolder}) {
    const std::string& path = project[static_cast<std::size_t>(field)];
    fields.SetField(field, path);
    if (!CanTakeFieldText(context.fs, field, path)) PathSetting(context.settings, field).clear();
  }
}

}  // namespace orvano
