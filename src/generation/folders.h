// The folder functions of a run and of the start: does a path name something, and create a
// folder with its missing parents under the common error handling.

#ifndef ORVANO_GENERATION_FOLDERS_H_
#define ORVANO_GENERATION_FOLDERS_H_

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

}  // namespace orvano

#endif  // ORVANO_GENERATION_FOLDERS_H_
