#include "session/path_fields.h"

#include "generation/error_reporting.h"
#include "generation/folders.h"
#include "inputs/languages.h"
#include "session/run_context.h"
#include "support/errors.h"
#include "support/file_system.h"

namespace orvano {
namespace {

// The read-only database's report: the window's procedure that refuses it.
constexpr std::string_view kDatabaseChangeProcedure = "TextOrvanoDB_Change";
constexpr std::string_view kReadOnlySource = "DAO.Workspace";
constexpr std::string_view kWindow = "frmMain";

// Loads the languages of the database setting, with their names from the language database
// (looked for under the install root on the machine PC, else beside the program and, for an
// installed program, in its config and data folders).
void LoadProjectLanguages(RunContext& context) {
  RunSettings& settings = context.settings;
  const std::vector<std::string> folders =
      settings.is_running_on_machine_pc ? std::vector<std::string>{context.program.install_root}
                                        : context.program.LanguageDatabaseFolders();
  std::optional<std::string> names;
  for (const std::string& folder : folders) {
    names = FindLanguageDatabase(context.fs, folder);
    if (names) break;
  }
  settings.language_database_file = names.value_or("");
  context.languages.languages = ReadProjectLanguages(
      settings.database_file, context.languages.table_name, names, context.sink());
}

}  // namespace

std::string& PathSetting(RunSettings& settings, PathField field) {
  switch (field) {
    case PathField::kDescriptionFile:
      return settings.description_file;
    case PathField::kDatabase:
      return settings.database_file;
    case PathField::kWorkbook:
      return settings.workbook_file;
    case PathField::kTemplateFolder:
      return settings.template_folder;
    case PathField::kDestinationFolder:
      break;
  }
  return settings.destination_folder;
}

bool IsFolderField(PathField field) {
  return field == PathField::kTemplateFolder || field == PathField::kDestinationFolder;
}

bool FolderHoldsAFile(FileSystem& fs, const std::string& path) {
  if (path.empty() || path.back() != '/' || !fs.IsFolder(path)) return false;
  for (const FolderEntry& entry : fs.ListFolder(path)) {
    if (!entry.is_folder) return true;
  }
  return false;
}

bool IsExistingFile(FileSystem& fs, const std::string& path) {
  return !path.empty() && fs.IsFile(path);
}

bool IsReadOnlyDatabase(FileSystem& fs, const std::string& path) { return !fs.CanWrite(path); }

bool CanTakeFieldText(FileSystem& fs, PathField field, const std::string& text) {
  switch (field) {
    case PathField::kDescriptionFile:
    case PathField::kWorkbook:
    case PathField::kDatabase:
      return IsExistingFile(fs, text);
    case PathField::kTemplateFolder:
      return FolderHoldsAFile(fs, text);
    case PathField::kDestinationFolder:
      break;
  }
  return !text.empty() && fs.IsFolder(text);
}

bool TakeFieldText(RunContext& context, PathField field, const std::string& text) {
  if (!CanTakeFieldText(context.fs, field, text)) return false;
  RunSettings& settings = context.settings;
  switch (field) {
    case PathField::kDatabase: {
      settings.database_file = text;
      ProjectLanguageList& list = context.languages;
      list.table_name = LanguageTableFor(text, list.table_name);
      LoadProjectLanguages(context);
      return true;
    }
    case PathField::kDestinationFolder:
      // Pages are joined to the folder by concatenation: the stored folder ends with "/".
      settings.destination_folder = WithTrailingSlash(text);
      return true;
    case PathField::kDescriptionFile:
    case PathField::kWorkbook:
    case PathField::kTemplateFolder:
      break;
  }
  PathSetting(settings, field) = text;
  return true;
}

FieldChange ApplyFieldChange(RunContext& context, PathField field, const std::string& text) {
  FieldChange change;
  if (field != PathField::kDatabase) {
    change.taken = TakeFieldText(context, field, text);
    return change;
  }
  if (!IsExistingFile(context.fs, text)) return change;
  if (IsReadOnlyDatabase(context.fs, text)) {
    // The language table follows the file's ending even when the database is refused.
    ProjectLanguageList& list = context.languages;
    list.table_name = LanguageTableFor(text, list.table_name);
    const ErrorReport report{err::kDbCannotOpen, std::string(kReadOnlySource),
                             "Database is READONLY!", std::string(kDatabaseChangeProcedure),
                             std::string(kWindow)};
    if (ReportError(report, context.errors()) != ErrorAnswer::kContinue) throw EndProgram{1};
    context.settings.database_file.clear();
    change.clear_field = true;
    change.languages = FieldChange::Languages::kClear;
    return change;
  }
  change.taken = TakeFieldText(context, field, text);
  change.languages = FieldChange::Languages::kList;
  return change;
}

std::optional<PathField> FirstIncompleteInput(RunContext& context, const FieldTexts& texts) {
  for (PathField field : {PathField::kDescriptionFile, PathField::kDatabase, PathField::kWorkbook,
                          PathField::kTemplateFolder}) {
    if (!PathExists(context.fs, texts[static_cast<std::size_t>(field)])) return field;
  }
  return std::nullopt;
}

std::string TakeFieldTextOnLeaving(RunContext& context, PathField field, std::string text) {
  FileSystem& fs = context.fs;
  RunSettings& settings = context.settings;
  switch (field) {
    case PathField::kDescriptionFile:
    case PathField::kWorkbook:
    case PathField::kDatabase:
      if (IsExistingFile(fs, text)) PathSetting(settings, field) = text;
      break;
    case PathField::kTemplateFolder:
      if (!text.empty() && text.back() != '/' && fs.IsFolder(text)) text += '/';
      if (FolderHoldsAFile(fs, text)) settings.template_folder = text;
      break;
    case PathField::kDestinationFolder:
      // An empty field stays empty: a lone "/" would name the root folder.
      if (!text.empty() && text.back() != '/') text += '/';
      if (!text.empty() && fs.IsFolder(text)) {
        settings.destination_folder = text;
      } else {
        text = settings.destination_folder;
      }
      break;
  }
  return text;
}

}  // namespace orvano
