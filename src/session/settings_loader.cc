#include "session/settings_loader.h"

#include <array>

#include "generation/folders.h"
#include "session/command_line.h"
#include "session/path_fields.h"
#include "session/run_context.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "support/host.h"
#include "support/ini_file.h"

namespace orvano {
namespace {

// The procedure texts under which the loader's failures are reported.
constexpr std::string_view kLoadProcedure = "ReadStandardValues";
constexpr std::string_view kCommandLineProcedure = "ReadStandardValuesCommand";
constexpr std::string_view kRememberedPathProcedure = "ReadStandardValuesIni";
constexpr std::string_view kDefaultPathProcedure = "ReadStandardValuesConst";
constexpr std::string_view kRememberPathsProcedure = "WriteStandardValuesIni";
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
    {"PathOrvanoDOC", PathField::kDescriptionFile, false, &RunSettings::description_file},
    {"PathOrvanoDB", PathField::kDatabase, false, &RunSettings::database_file},
    {"PathXLCollection", PathField::kWorkbook, false, &RunSettings::workbook_file},
    {"PathHTMLSourceFolder", PathField::kTemplateFolder, true, &RunSettings::template_folder},
    {"PathDestinationFolder", PathField::kDestinationFolder, true,
     &RunSettings::destination_folder},
}};

const PathEntry* FindEntry(std::string_view name) {
  for (const PathEntry& entry : kPathEntries) {
    if (entry.name == name) return &entry;
  }
  return nullptr;
}

// The existence test of the INI and default loaders: files must exist, the template folder must
// hold a file.
bool PassesExistenceTest(FileSystem& fs, const PathEntry& entry, const std::string& path) {
  if (entry.field == PathField::kTemplateFolder) return FolderHoldsAFile(fs, path);
  return fs.IsFile(path);
}

// Makes sure the destination folder exists: silent runs create it, interactive runs ask first.
// Returns true when the folder exists afterwards. A folder that cannot be created is the program
// error "Path could not be created: " under `procedure`.
bool EnsureDestinationFolder(RunContext& context, std::string_view procedure) {
  const std::string& path = context.settings.destination_folder;
  if (!context.settings.silent && !context.host.AskYesNo("Create Folder? \n\r" + path)) {
    return false;
  }
  bool created = false;
  Guarded(context.errors(), procedure, kWindow, [&] {
    if (!CreateFolderWithParents(context.fs, context.errors(), path)) {
      throw Located(ProgramError("Path could not be created: " + path, std::string(procedure)),
                    path);
    }
    created = true;
  });
  return created && context.fs.IsFolder(path);
}

std::string UserIniPath(const RunContext& context) { return context.program.UserIniPath(); }

}  // namespace

std::string MachinePcDefaultPath(std::string_view entry, const std::string& install_root) {
  std::string root = WithTrailingSlash(install_root);
  if (entry == "PathOrvanoDOC") return root + "Orvano.doc";
  if (entry == "PathOrvanoDB") return root + "Orvano.mdb";
  if (entry == "PathXLCollection") return root + "Schnitt_1_1033.xls";
  if (entry == "PathHTMLSourceFolder") return root + "Tools/Source_HTML/";
  if (entry == "PathDestinationFolder") return root + "InterfaceDescription_HTML/";
  return "";
}

bool TakeCommandLinePaths(RunContext& context, SettingsFields& fields) {
  RunSettings& settings = context.settings;
  std::array<std::string, kPathEntries.size()> given;
  bool any = false;
  for (std::size_t i = 0; i < kPathEntries.size(); ++i) {
    given[i] = CommandLinePath(settings.command_line_args, kPathEntries[i].name);
    if (kPathEntries[i].is_folder) given[i] = WithTrailingSlash(given[i]);
    any = any || !given[i].empty();
  }
  if (!any) return true;

  bool all_usable = true;
  for (std::size_t i = 0; i < kPathEntries.size(); ++i) {
    const PathEntry& entry = kPathEntries[i];
    if (given[i].empty()) continue;
    settings.*entry.setting = given[i];
    bool exists = PathExists(context.fs, given[i]);
    if (!exists && entry.field == PathField::kDestinationFolder) {
      exists = EnsureDestinationFolder(context, kCommandLineProcedure);
    }
    if (exists) {
      fields.SetField(entry.field, given[i]);
    } else {
      settings.*entry.setting = "";
      fields.SetField(entry.field, "");
      all_usable = false;
    }
  }
  return all_usable;
}

void TakeRememberedPath(RunContext& context, SettingsFields& fields, std::string_view entry_name) {
  Guarded(context.errors(), kRememberedPathProcedure, kWindow, [&] {
    context.user_ini_file = UserIniPath(context);
    std::string value = ReadRememberedSetting(context.fs, context.user_ini_file, entry_name);
    RunSettings& settings = context.settings;
    if (entry_name == "PathLanguageDB") {
      if (!value.empty() && context.fs.IsFile(value)) settings.language_database_file = value;
      return;
    }
    const PathEntry* entry = FindEntry(entry_name);
    if (entry == nullptr) return;
    settings.*entry->setting = value;
    if (entry->field == PathField::kDestinationFolder) {
      if (!PathExists(context.fs, value)) settings.*entry->setting = "";
      fields.SetField(entry->field, settings.*entry->setting);
    } else if (PassesExistenceTest(context.fs, *entry, value)) {
      fields.SetField(entry->field, value);
    } else {
      settings.*entry->setting = "";
    }
  });
}

void TakeMachinePcDefault(RunContext& context, SettingsFields& fields,
                          std::string_view entry_name) {
  Guarded(context.errors(), kDefaultPathProcedure, kWindow, [&] {
    const PathEntry* entry = FindEntry(entry_name);
    if (entry == nullptr) return;
    std::string value = MachinePcDefaultPath(entry_name, context.program.install_root);
    context.settings.*entry->setting = value;
    if (entry->field == PathField::kDestinationFolder ||
        PassesExistenceTest(context.fs, *entry, value)) {
      fields.SetField(entry->field, value);
    }
  });
}

void LoadSettings(RunContext& context, SettingsFields& fields) {
  context.user_ini_file = UserIniPath(context);
  bool command_line_ok = Guarded(context.errors(), kLoadProcedure, kWindow, [&] {
    if (!TakeCommandLinePaths(context, fields)) {
      throw ProgramError("Error in Commandline. At least one pathparameter incorrect or missing.",
                         std::string(kLoadProcedure));
    }
  });
  if (!command_line_ok) return;

  RunSettings& settings = context.settings;
  // A path given on the command line wins over the remembered one.
  for (const PathEntry& entry : kPathEntries) {
    bool from_command_line = !CommandLinePath(settings.command_line_args, entry.name).empty();
    if (!from_command_line) TakeRememberedPath(context, fields, entry.name);
    if (entry.field == PathField::kDatabase) {
      TakeRememberedPath(context, fields, "PathLanguageDB");
    }
  }
  if (!settings.is_running_on_machine_pc) return;

  for (const PathEntry& entry : kPathEntries) {
    if ((settings.*entry.setting).empty()) TakeMachinePcDefault(context, fields, entry.name);
  }
  if (!PathExists(context.fs, settings.destination_folder)) {
    static_cast<void>(EnsureDestinationFolder(context, kLoadProcedure));
  }
}

void RememberPaths(RunContext& context) {
  Guarded(context.errors(), kRememberPathsProcedure, kWindow, [&] {
    try {
      for (const PathEntry& entry : kPathEntries) {
        RememberSetting(context.fs, context.user_ini_file, entry.name,
                        context.settings.*entry.setting);
      }
    } catch (const OrvanoError& e) {
      context.host.WriteDiagnostic("cannot remember the paths: " + e.description());
    }
  });
}

}  // namespace orvano
