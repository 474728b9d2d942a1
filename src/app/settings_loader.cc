#include "app/settings_loader.h"

#include <array>

#include "app/command_line.h"
#include "support/host.h"
#include "app/paths.h"
#include "app/run_context.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "support/ini_file.h"

namespace orvano {
namespace {

constexpr std::string_view kLoaderProcedure = "ReadStandardValues";
constexpr std::string_view kWindow = "frmMain";

// The settings entries in loading order, with the field that mirrors each and whether the path
// is a folder.
struct PathEntry {
  std::string_view name;
  PathField field;
  bool is_folder;
  std::string RunSettings::*setting;
};

constexpr std::array<PathEntry, 5> kPathEntries = {{
    {"PathOrvanoDOC", PathField::kOrvanoDoc, false, &RunSettings::path_orvano_doc},
    {"PathOrvanoDB", PathField::kOrvanoDb, false, &RunSettings::path_orvano_db},
    {"PathXLCollection", PathField::kXlCollection, false, &RunSettings::path_xl_collection},
    {"PathHTMLSourceFolder", PathField::kHtmlSourceFolder, true,
     &RunSettings::path_html_source_folder},
    {"PathDestinationFolder", PathField::kDestinationFolder, true,
     &RunSettings::path_destination_folder},
}};

const PathEntry* FindEntry(std::string_view name) {
  for (const PathEntry& entry : kPathEntries) {
    if (entry.name == name) return &entry;
  }
  return nullptr;
}

// A folder that exists and holds at least one plain file: what a template folder must be.
bool FolderHoldsAFile(FileSystem& fs, const std::string& path) {
  if (path.empty() || path.back() != '/' || !fs.FolderExists(path)) return false;
  for (const FolderEntry& entry : fs.ListFolder(path)) {
    if (!entry.is_folder) return true;
  }
  return false;
}

// The existence test of the INI and default loaders: files must exist, the template folder must
// hold a file.
bool PassesExistenceTest(FileSystem& fs, const PathEntry& entry, const std::string& path) {
  if (entry.field == PathField::kHtmlSourceFolder) return FolderHoldsAFile(fs, path);
  return fs.FileExists(path);
}

// Makes sure the destination folder exists: silent runs create it, interactive runs ask first.
// Returns true when the folder exists afterwards. A folder that cannot be created is the program
// error "Path could not be created: " under `procedure`.
bool EnsureDestinationFolder(RunContext& context, std::string_view procedure) {
  const std::string& path = context.settings.path_destination_folder;
  if (!context.settings.silent && !context.host.AskYesNo("Create Folder? \n\r" + path)) {
    return false;
  }
  bool created = false;
  Guarded(context.errors(), procedure, kWindow, [&] {
    if (CreateDirectory(context.fs, context.errors(), path) != 1) {
      throw ProgramError("Path could not be created: " + path, std::string(procedure));
    }
    created = true;
  });
  return created && context.fs.FolderExists(path);
}

std::string UserIniPath(const RunContext& context) {
  return GetStandardUserIni(2, context.program.folder + context.program.base_name);
}

}  // namespace

std::string DefaultPathOf(std::string_view entry, const std::string& install_root) {
  std::string root = WithTrailingSlash(install_root);
  if (entry == "PathOrvanoDOC") return root + "Orvano.doc";
  if (entry == "PathOrvanoDB") return root + "Orvano.mdb";
  if (entry == "PathXLCollection") return root + "Schnitt_1_1033.xls";
  if (entry == "PathHTMLSourceFolder") return root + "Tools/Source_HTML/";
  if (entry == "PathDestinationFolder") return root + "InterfaceDescription_HTML/";
  return "";
}

bool ReadStandardValuesCommand(RunContext& context, SettingsFields& fields) {
  RunSettings& settings = context.settings;
  std::array<std::string, kPathEntries.size()> given;
  bool any = false;
  for (std::size_t i = 0; i < kPathEntries.size(); ++i) {
    given[i] = GetCommandLinePath(settings.command_line_args, kPathEntries[i].name);
    if (kPathEntries[i].is_folder) given[i] = WithTrailingSlash(given[i]);
    any = any || !given[i].empty();
  }
  if (!any) return false;

  bool in_error = false;
  for (std::size_t i = 0; i < kPathEntries.size(); ++i) {
    const PathEntry& entry = kPathEntries[i];
    if (given[i].empty()) continue;
    settings.*entry.setting = given[i];
    bool exists = strFullPath(context.fs, given[i]);
    if (!exists && entry.field == PathField::kDestinationFolder) {
      exists = EnsureDestinationFolder(context, "ReadStandardValuesCommand");
    }
    if (exists) {
      fields.SetField(entry.field, given[i]);
    } else {
      settings.*entry.setting = "";
      fields.SetField(entry.field, "");
      in_error = true;
    }
  }
  return in_error;
}

void ReadStandardValuesIni(RunContext& context, SettingsFields& fields,
                           std::string_view entry_name) {
  Guarded(context.errors(), "ReadStandardValuesIni", kWindow, [&] {
    context.user_ini_file = UserIniPath(context);
    std::string value = GetINIEnviron(std::string(entry_name), context.user_ini_file, context.fs);
    RunSettings& settings = context.settings;
    if (entry_name == "PathLanguageDB") {
      if (!value.empty() && context.fs.FileExists(value)) settings.path_language_db = value;
      return;
    }
    const PathEntry* entry = FindEntry(entry_name);
    if (entry == nullptr) return;
    settings.*entry->setting = value;
    if (entry->field == PathField::kDestinationFolder) {
      if (!strFullPath(context.fs, value)) settings.*entry->setting = "";
      fields.SetField(entry->field, settings.*entry->setting);
    } else if (PassesExistenceTest(context.fs, *entry, value)) {
      fields.SetField(entry->field, value);
    } else {
      settings.*entry->setting = "";
    }
  });
}

void ReadStandardValuesConst(RunContext& context, SettingsFields& fields,
                             std::string_view entry_name) {
  Guarded(context.errors(), "ReadStandardValuesConst", kWindow, [&] {
    const PathEntry* entry = FindEntry(entry_name);
    if (entry == nullptr) return;
    std::string value = DefaultPathOf(entry_name, context.program.install_root);
    context.settings.*entry->setting = value;
    if (entry->field == PathField::kDestinationFolder ||
        PassesExistenceTest(context.fs, *entry, value)) {
      fields.SetField(entry->field, value);
    }
  });
}

void ReadStandardValues(RunContext& context, SettingsFields& fields) {
  context.user_ini_file = UserIniPath(context);
  bool command_line_ok = Guarded(context.errors(), kLoaderProcedure, kWindow, [&] {
    if (ReadStandardValuesCommand(context, fields)) {
      throw ProgramError("Error in Commandline. At least one pathparameter incorrect or missing.",
                         std::string(kLoaderProcedure));
    }
  });
  if (!command_line_ok) return;

  RunSettings& settings = context.settings;
  // A path given on the command line wins over the remembered one.
  for (const PathEntry& entry : kPathEntries) {
    bool from_command_line = !GetCommandLinePath(settings.command_line_args, entry.name).empty();
    if (!from_command_line) ReadStandardValuesIni(context, fields, entry.name);
    if (entry.field == PathField::kOrvanoDb) {
      ReadStandardValuesIni(context, fields, "PathLanguageDB");
    }
  }
  if (!settings.running_on_machine_pc) return;

  for (const PathEntry& entry : kPathEntries) {
    if ((settings.*entry.setting).empty()) ReadStandardValuesConst(context, fields, entry.name);
  }
  if (!strFullPath(context.fs, settings.path_destination_folder)) {
    EnsureDestinationFolder(context, kLoaderProcedure);
  }
}

void WriteStandardValuesIni(RunContext& context) {
  Guarded(context.errors(), "WriteStandardValuesIni", kWindow, [&] {
    for (const PathEntry& entry : kPathEntries) {
      std::string err;
      if (!SetINIEnviron(std::string(entry.name), context.settings.*entry.setting,
                         context.user_ini_file, context.fs, &err)) {
        context.host.WriteDiagnostic("cannot remember the paths: " + err);
        return;
      }
    }
  });
}

}  // namespace orvano
