#include "support/file_system.h"

#include <algorithm>

#include "support/text_case.h"

namespace orvano {

void FileSystem::WritePiecesAtomically(const std::string& path,
                                       std::span<const std::string_view> pieces) {
  std::string bytes;
  for (std::string_view piece : pieces) bytes += piece;
  WriteFileAtomically(path, bytes);
}

std::optional<std::string> FindFileInFolder(FileSystem& fs, const std::string& folder,
                                            const std::string& name) {
  std::string exact = folder + name;
  if (fs.IsFile(exact)) return exact;
  for (const FolderEntry& entry : fs.ListFolder(folder)) {
    if (!entry.is_folder && EqualsIgnoringCase(entry.name, name)) return folder + entry.name;
  }
  return std::nullopt;
}

std::string WithTrailingSlash(std::string path) {
  if (!path.empty() && path.back() != '/') path += '/';
  return path;
}

std::string FolderOf(const std::string& path) {
  auto slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

std::string FileNameOf(const std::string& path) {
  auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderRelativeTo(const std::string& folder, std::string_view relative) {
  std::string base = WithTrailingSlash(folder);
  while (relative.substr(0, 3) == "../" || relative == "..") {
    if (base.size() > 1) base = FolderOf(base.substr(0, base.size() - 1));
    relative.remove_prefix(std::min<std::size_t>(3, relative.size()));
  }
  return WithTrailingSlash(base + std::string(relative));
}

}  // namespace orvano
