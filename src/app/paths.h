// The path functions the whole program uses: does a path name something, create a folder with
// its missing parents, and is the program running from the machine PC's tools folder.

#ifndef ORVANO_APP_PATHS_H_
#define ORVANO_APP_PATHS_H_

#include <string>

namespace orvano {

class FileSystem;
struct ErrorContext;

/// True when `path` is not empty and names an existing file or folder (with or without a
/// trailing "/").
bool PathExists(FileSystem& fs, const std::string& path);

/// Creates the folder `path` and every missing folder above it, from the top down. Each
/// creation runs under the common error handling, reported under "CreateDirectory", so a folder
/// that cannot be made (no permission, a file in the way) is reported with its path and reason.
/// Returns true when the folder exists afterwards; false when it could not be created and the
/// user chose to go on. Throws EndProgram when the program is to end.
[[nodiscard]] bool CreateFolderWithParents(FileSystem& fs, const ErrorContext& errors,
                                           const std::string& path);

/// The installation root chosen at build time (default "/opt/orvano/Program/").
std::string InstallRoot();

/// True when `program_folder` (with a trailing "/" added) is the machine PC's tools folder
/// `install_root` + "Tools/", ignoring case.
bool IsRunningFromMachinePcTools(const std::string& program_folder,
                                 const std::string& install_root);

}  // namespace orvano

#endif  // ORVANO_APP_PATHS_H_
