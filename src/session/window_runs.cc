#include "session/window_runs.h"

#include "generation/generation_driver.h"
#include "generation/languages_page.h"
#include "generation/navigation_pages.h"
#include "session/output_fields.h"
#include "session/recent_projects.h"
#include "session/run_context.h"
#include "session/settings_loader.h"
#include "support/file_system.h"

namespace orvano {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// `place` without a final ":<line>".
std::string_view WithoutLine(std::string_view place) {
  std::size_t digits = place.size();
  while (digits > 0 && IsDigit(place[digits - 1])) --digits;
  if (digits == place.size() || digits == 0 || place[digits - 1] != ':') return place;
  return place.substr(0, digits - 1);
}

// `path` when it is one of `files`.
std::optional<std::string> FindWritten(const std::vector<WrittenFile>& files,
                                       const std::string& path) {
  for (const auto& file : files) {
    if (file.path == path) return path;
  }
  return std::nullopt;
}

}  // namespace

WindowRunOutcome GenerateFromWindow(RunContext& context) {
  RememberPaths(context);
  RememberOutputs(context);
  RememberRecentProject(context);
  RunRecord record;
  static_cast<void>(
      GeneratePages(context.settings, context.languages.languages, context.seams(), &record));
  return WindowRunOutcome{PageToOpen(record)};
}

WindowCheckOutcome CheckFromWindow(RunContext& context) {
  RunRecord record;
  record.check_only = true;
  record.strict = context.settings.strict;
  // The run's own problems (a language that cannot be selected) are listed too, not asked.
  record.run_problems.keep_going = true;
  // The outputs are Start's: a check from the window writes nothing, not even the export.
  RunSettings settings = context.settings;
  settings.export_file.clear();
  settings.compare_file.clear();
  settings.search = false;
  static_cast<void>(GeneratePages(settings, context.languages.languages, context.seams(), &record));
  WindowCheckOutcome outcome;
  const std::vector<CheckLine> lines = CheckModeProblems(record);
  outcome.summary = CheckModeSummary(record, lines);
  for (const CheckLine& line : lines) {
    std::optional<std::string> file =
        TemplateFileOfPlace(context.fs, context.settings.template_folder, line.location);
    outcome.problems.push_back({line, file.value_or("")});
  }
  return outcome;
}

std::optional<std::string> PageToOpen(const RunRecord& record) {
  for (const auto& file : record.files) {
    if (FileNameOf(file.path) == kLanguagesPageName) return file.path;
  }
  for (const LanguageRecord& language : record.languages) {
    if (auto page = FindWritten(language.files, language.destination_folder + kIndexPageName)) {
      return page;
    }
  }
  return std::nullopt;
}

std::optional<std::string> TemplateFileOfPlace(FileSystem& fs, const std::string& template_folder,
                                               std::string_view place) {
  if (template_folder.empty()) return std::nullopt;
  std::string file(WithoutLine(place));
  if (file.empty()) return std::nullopt;
  if (file.front() != '/') file = template_folder + file;
  if (FolderOf(file) != template_folder || !fs.IsFile(file)) return std::nullopt;
  return file;
}

}  // namespace orvano
