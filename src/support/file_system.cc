#include "support/file_system.h"

#include <algorithm>

#include "support/text_case.h"

namespace orvano {

namespace {

class BufferedPendingFile final : public PendingFile {
 public:
  BufferedPendingFile(FileSystem& fs, const std::string& path, bool if_changed)
      : fs_(fs), path_(path), if_changed_(if_changed) {}
  void Append(std::string_view bytes) override { bytes_ += bytes; }
  void Commit() override {
    if (if_changed_) {
      fs_.WriteFileIfChanged(path_, bytes_);
    } else {
      fs_.WriteFileAtomically(path_, bytes_);
    }
  }

 private:
  FileSystem& fs_;
  const std::string path_;
  const bool if_changed_;
  std::string bytes_;
};

}  // namespace

std::unique_ptr<PendingFile> FileSystem::StartFile(const std::string& path) {
  return std::make_unique<BufferedPendingFile>(*this, path, false);
}

std::unique_ptr<PendingFile> FileSystem::StartFileIfChanged(const std::string& path) {
  return std::make_unique<BufferedPendingFile>(*this, path, true);
}

bool FileSystem::HoldsExactly(const std::string&, std::string_view) { return false; }

WriteOutcome FileSystem::WriteFileIfChanged(const std::string& path, std::string_view bytes) {
  if (HoldsExactly(path, bytes)) return WriteOutcome::kUnchanged;
  WriteFileAtomically(path, bytes);
  return WriteOutcome::kWritten;
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
