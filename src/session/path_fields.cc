#include "session/path_fields.h"

#include "inputs/languages.h"
#include "session/run_context.h"
#include "support/file_system.h"

namespace orvano {
namespace {

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

bool TakeFieldText(RunContext& context, PathField field, const std::string& text) {
  FileSystem& fs = context.fs;
  RunSettings& settings = context.settings;
  switch (field) {
    case PathField::kDescriptionFile:
    case PathField::kWorkbook:
      if (!IsExistingFile(fs, text)) return false;
      PathSetting(settings, field) = text;
      return true;
    case PathField::kDatabase: {
      if (!IsExistingFile(fs, text)) return false;
      settings.database_file = text;
      ProjectLanguageList& list = context.languages;
      list.table_name = LanguageTableFor(text, list.table_name);
      LoadProjectLanguages(context);
      return true;
    }
    case PathField::kTemplateFolder:
      if (!FolderHoldsAFile(fs, text)) return false;
      settings.template_folder = text;
      return true;
    case PathField::kDestinationFolder:
      if (text.empty() || !fs.IsFolder(text)) return false;
      // Pages are joined to the folder by concatenation: the stored folder ends with "/".
      settings.destination_folder = WithTrailingSlash(text);
      return true;
  }
  return false;
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
