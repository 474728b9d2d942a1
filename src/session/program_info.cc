#include "session/program_info.h"

#include "inputs/languages.h"
#include "jet/jet_database.h"
#include "session/paths.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "support/ini_file.h"
#include "support/text_case.h"

#ifndef ORVANO_VERSION
#define ORVANO_VERSION "0.0.0"
#endif
// Where an installation puts the read-only data, seen from the executable's folder.
#ifndef ORVANO_DATA_FOLDER_FROM_BIN
#define ORVANO_DATA_FOLDER_FROM_BIN "../share/orvano-html/"
#endif

namespace orvano {
namespace {

// The name of the per-user and system folders; it stays the same when the executable is
// renamed.
constexpr std::string_view kAppFolderName = "orvano-html/";
constexpr std::string_view kSystemConfigFolder = "/etc/orvano-html/";

bool IsAbsolute(const std::string& path) { return !path.empty() && path.front() == '/'; }

// The XDG base folder: the variable's value when it is an absolute path, else `fallback` under
// the home folder; "" without either.
std::string BaseFolder(const std::string& variable, const std::string& home,
                       std::string_view fallback) {
  if (IsAbsolute(variable)) return WithTrailingSlash(variable);
  if (IsAbsolute(home)) return WithTrailingSlash(home) + std::string(fallback);
  return "";
}

bool LiesUnderInstallRoot(const std::string& folder, const std::string& install_root) {
  const std::string root = WithTrailingSlash(install_root);
  return !root.empty() && folder.size() >= root.size() &&
         EqualsIgnoringCase(folder.substr(0, root.size()), root);
}

// "<path>" and, when it names a file, " (present)"; else " (not yet written)".
std::string WithPresence(FileSystem& fs, const std::string& path) {
  return path + (fs.IsFile(path) ? " (present)" : " (not yet written)");
}

// The lines of one search: each place, then the one found (or "none").
std::string DescribeSearch(const std::vector<std::string>& places,
                           const std::optional<std::string>& found, std::string_view if_none) {
  std::string text;
  for (const std::string& place : places) text += "  " + place + "\n";
  text += "  found: " + (found ? *found : "none, " + std::string(if_none)) + "\n";
  return text;
}

}  // namespace

std::string ProgramInfo::UserIniPath() const {
  return UserIniPathBeside((IsPortable() ? folder : config_folder) + base_name);
}

std::string ProgramInfo::ErrorLogPath() const {
  return (state_folder.empty() ? folder : state_folder) + base_name + "Error.log";
}

std::string ProgramInfo::DefaultEventLogPath() const {
  return (state_folder.empty() ? folder : state_folder) + base_name + "_Events.log";
}

std::vector<std::string> ProgramInfo::LanguageDatabaseFolders() const {
  if (IsPortable()) return {folder};
  std::vector<std::string> folders = {folder, config_folder, std::string(kSystemConfigFolder)};
  if (!data_folder.empty()) folders.push_back(data_folder);
  return folders;
}

ProgramInfo ProgramInfoFor(const std::string& exe_path) {
  ProgramInfo info;
  info.folder = FolderOf(exe_path);
  std::string name = FileNameOf(exe_path);
  auto dot = name.rfind('.');
  info.base_name = (dot == std::string::npos || dot == 0) ? name : name.substr(0, dot);
  info.version = ORVANO_VERSION;
  info.install_root = InstallRoot();
  return info;
}

ProgramInfo LocateProgram(FileSystem& fs, const std::string& exe_path, const UserEnvironment& env) {
  ProgramInfo info = ProgramInfoFor(exe_path);
  if (fs.IsFile(info.UserIniPath()) || LiesUnderInstallRoot(info.folder, info.install_root)) {
    return info;
  }
  const std::string config = BaseFolder(env.xdg_config_home, env.home, ".config/");
  const std::string state = BaseFolder(env.xdg_state_home, env.home, ".local/state/");
  if (config.empty() || state.empty()) return info;
  info.config_folder = config + std::string(kAppFolderName);
  info.state_folder = state + std::string(kAppFolderName);
  info.data_folder = FolderRelativeTo(info.folder, ORVANO_DATA_FOLDER_FROM_BIN);
  return info;
}

std::vector<std::string> MakeUserFolders(FileSystem& fs, const ProgramInfo& program) {
  std::vector<std::string> failures;
  for (const std::string& folder : {program.config_folder, program.state_folder}) {
    if (folder.empty() || fs.IsFolder(folder)) continue;
    // Every prefix that ends at a "/" is one level, made from the top down. What the program
    // makes here is the user's alone, as the XDG base directories want; folders that exist
    // keep their mode.
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1)) {
      const std::string level = folder.substr(0, slash + 1);
      if (fs.IsFolder(level)) continue;
      try {
        fs.MakePrivateFolder(level);
      } catch (const OrvanoError& e) {
        failures.push_back("cannot create the folder " + folder + ": " + e.description());
        break;
      }
    }
  }
  return failures;
}

std::string DescribeFileLocations(FileSystem& fs, const ProgramInfo& program) {
  std::string text = program.base_name + " in " + program.folder + ": ";
  text += program.IsPortable() ? "a portable copy; its files lie beside it\n"
                               : "installed; its files follow the XDG base directories\n";
  text += "remembered settings: " + WithPresence(fs, program.UserIniPath()) + "\n";
  text += "error log: " + WithPresence(fs, program.ErrorLogPath()) + "\n";

  std::vector<std::string> folders =
      IsRunningFromMachinePcTools(program.folder, program.install_root)
          ? std::vector<std::string>{program.install_root}
          : program.LanguageDatabaseFolders();
  std::vector<std::string> places;
  std::optional<std::string> found;
  for (const std::string& folder : folders) {
    places.push_back(folder + kLanguageDbName);
    if (!found) found = FindLanguageDatabase(fs, folder);
  }
  text += "language database, looked for in order:\n" +
          DescribeSearch(places, found, "languages show as their ids");

  places = DatabaseReaderPlaces(program.folder);
  found.reset();
  for (const std::string& place : places) {
    if (!found && fs.IsFile(place)) found = place;
  }
  text += "database reader, looked for in order:\n" +
          DescribeSearch(places, found, "no database can be read");
  return text;
}

}  // namespace orvano
