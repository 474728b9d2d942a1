// Facts about the running program: where its executable lies and what it is called. The logs
// and the user INI file live beside the executable and bear its name.

#ifndef ORVANO_APP_PROGRAM_INFO_H_
#define ORVANO_APP_PROGRAM_INFO_H_

#include <string>

namespace orvano {

struct ProgramInfo {
  std::string folder;        // the executable's folder, ending with "/"
  std::string base_name;     // the executable's file name without extension
  std::string version;       // "major.minor.patch"
  std::string install_root;  // the installation root, ending with "/" (build option)

  /// `folder` + `base_name` + "Error.log".
  std::string ErrorLogPath() const { return folder + base_name + "Error.log"; }
  /// `folder` + `base_name` + "_Events.log": the event log before any run has set one.
  std::string DefaultEventLogPath() const { return folder + base_name + "_Events.log"; }
};

/// Describes the executable at `exe_path` (a full path), with the built-in installation root.
ProgramInfo ProgramInfoFor(const std::string& exe_path);

/// Describes the running executable. Falls back to the current folder and "orvano-html" when the
/// system cannot tell.
ProgramInfo CurrentProgramInfo();

}  // namespace orvano

#endif  // ORVANO_APP_PROGRAM_INFO_H_
