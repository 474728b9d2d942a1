#include "app/path_fields.h"

#include "app/run_context.h"
#include "inputs/languages.h"
#include "support/file_system.h"

namespace orvano {

std::string& PathSetting(RunSettings& settings, PathField field) {
  switch (field) {
    case PathField::kDescriptionFile:
      return settings.path_orvano_doc;
    case PathField::kDatabase:
      return settings.path_orvano_db;
    case PathField::kWorkbook:
      return settings.path_xl_collection;
    case PathField::kTemplateFolder:
      return settings.path_html_source_folder;
    case PathField::kDestinationFolder:
      break;
  }
  return settings.path_destination_folder;
}

bool IsFolderField(PathField field) {
  return field == PathField::kTemplateFolder || field == PathField::kDestinationFolder;
}

bool FolderHoldsAFile(FileSystem& fs, const std::string& path) {
  if (path.empty() || path.back() != '/' || !fs.FolderExists(path)) return false;
  for (const FolderEntry& entry : fs.ListFolder(path)) {
    if (!entry.is_folder) return true;
  }
  return false;
}

bool IsExistingFile(FileSystem& fs, const std::string& path) {
  return !path.empty() && fs.FileExists(path);
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
      settings.path_orvano_db = text;
      LanguageInfo& language = context.language;
      language.language_table = LanguageTableFor(text, language.language_table);
      language.language_list = GetLanguages_Orvano_MDB(context);
      return true;
    }
    case PathField::kTemplateFolder:
      if (!FolderHoldsAFile(fs, text)) return false;
      settings.path_html_source_folder = text;
      return true;
    case PathField::kDestinationFolder:
      if (text.empty() || !fs.FolderExists(text)) return false;
      // Pages are joined to the folder by concatenation: the stored folder ends with "/".
      settings.path_destination_folder = WithTrailingSlash(text);
      return true;
  }
  return false;
}

}  // namespace orvano
