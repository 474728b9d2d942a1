#include "generation/folders.h"

#include "generation/error_reporting.h"
#include "support/errors.h"
#include "support/file_system.h"

namespace orvano {
namespace {

constexpr std::string_view kCreateFolderProcedure = "CreateDirectory";

}  // namespace

bool PathExists(FileSystem& fs, const std::string& path) {
  if (path.empty()) return false;
  if (fs.IsFolder(path)) return true;
  return path.back() != '/' && fs.IsFile(path);
}

bool CreateFolderWithParents(FileSystem& fs, const ErrorContext& errors, const std::string& path) {
  // Every prefix that ends at a "/" is one level; the whole path is the last level when it does
  // not end with "/". The root "/" itself is never created.
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    std::string level = slash == std::string::npos ? path : path.substr(0, slash + 1);
    if (level.empty() || level == "/") break;
    if (!fs.IsFolder(level)) {
      bool made = Guarded(errors, kCreateFolderProcedure, [&] {
        if (fs.IsFile(level.back() == '/' ? level.substr(0, level.size() - 1) : level)) {
          throw UnexpectedError(err::kPathFileAccess,
                                "cannot create folder '" + level + "': a file is in the way",
                                std::string(kCreateFolderProcedure));
        }
        fs.MakeFolder(level);
      });
      if (!made) return false;
    }
    if (slash == std::string::npos || slash + 1 == path.size()) break;
  }
  return true;
}

}  // namespace orvano
