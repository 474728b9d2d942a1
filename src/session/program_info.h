// Facts about the running program: where its executable lies, what it is called, and where it
// keeps its per-user files. A portable copy keeps the user INI file and the error log beside
// the executable; an installed program keeps them in the XDG base directories.

#ifndef ORVANO_SESSION_PROGRAM_INFO_H_
#define ORVANO_SESSION_PROGRAM_INFO_H_

#include <string>
#include <vector>

namespace orvano {

class FileSystem;

/// The licence, as --version and the about box name it.
inline constexpr char kLicenceNotice[] = "Licensed under the Apache License, Version 2.0";

struct ProgramInfo {
  std::string folder;        // the executable's folder, ending with "/"
  std::string base_name;     // the executable's file name without extension
  std::string version;       // "major.minor.patch"
  std::string install_root;  // the installation root, ending with "/" (build option)

  // Where an installed program keeps the user INI file ("$XDG_CONFIG_HOME/orvano-html/") and
  // its error log ("$XDG_STATE_HOME/orvano-html/"); "" for a portable copy, whose files lie
  // beside the executable.
  std::string config_folder = {};
  std::string state_folder = {};
  // The installed program's read-only data folder ("<prefix>/share/orvano-html/"); "" for a
  // portable copy.
  std::string data_folder = {};

  /// True when the files are kept beside the executable.
  bool IsPortable() const { return config_folder.empty(); }
  /// The user INI file: `base_name` + ".ini" in the config folder, or beside the executable.
  std::string UserIniPath() const;
  /// `base_name` + "Error.log" in the state folder, or beside the executable.
  std::string ErrorLogPath() const;
  /// `base_name` + "_Events.log" beside the error log: the event log before any run has set one.
  std::string DefaultEventLogPath() const;
  /// The folders searched in order for the language database (outside the machine PC): the
  /// executable's folder; for an installed program then the config folder, "/etc/orvano-html/"
  /// and the data folder.
  std::vector<std::string> LanguageDatabaseFolders() const;
};

/// The environment variables that place per-user files ("" when unset).
struct UserEnvironment {
  std::string home;             // $HOME (or the account's home folder)
  std::string xdg_config_home;  // $XDG_CONFIG_HOME
  std::string xdg_state_home;   // $XDG_STATE_HOME
};

/// Describes the executable at `exe_path` (a full path) as a portable copy, with the built-in
/// installation root.
ProgramInfo ProgramInfoFor(const std::string& exe_path);

/// Describes the executable at `exe_path` as it lies on disk. It is a portable copy when its
/// folder holds its user INI file (`base_name` + ".ini") or lies under the installation root;
/// else it is installed and keeps its files in "$XDG_CONFIG_HOME/orvano-html/" (default
/// "~/.config/orvano-html/") and "$XDG_STATE_HOME/orvano-html/" (default
/// "~/.local/state/orvano-html/"). An XDG variable that is not an absolute path is ignored; with
/// no absolute home either, the files stay beside the executable.
ProgramInfo LocateProgram(FileSystem& fs, const std::string& exe_path, const UserEnvironment& env);

/// Describes the running executable from its own link and the process environment. Falls back
/// to the current folder and "orvano-html" when the system cannot tell.
ProgramInfo CurrentProgramInfo();

/// Makes the installed program's config and state folders when missing (nothing for a portable
/// copy). Returns one line per folder that could not be made, naming it and why; the program
/// goes on and its writes there fail with their own messages.
std::vector<std::string> MakeUserFolders(FileSystem& fs, const ProgramInfo& program);

/// What "--paths" prints: whether the program is portable or installed, its user INI file and
/// error log, and every place the language database and the database reader are looked for,
/// in order, with the one found.
std::string DescribeFileLocations(FileSystem& fs, const ProgramInfo& program);

}  // namespace orvano

#endif  // ORVANO_SESSION_PROGRAM_INFO_H_
