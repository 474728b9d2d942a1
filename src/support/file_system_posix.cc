// The real file system: the only code of the program that calls POSIX file functions.

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <memory>
#include <utility>

#include "support/errors.h"
#include "support/file_system.h"

namespace orvano {
namespace {

// The one place where errno becomes an error number of the program.
UnexpectedError PosixError(const std::string& what, const std::string& path, int error) {
  int number;
  switch (error) {
    case ENOENT:
      number = err::kFileNotFound;
      break;
    case ENOTDIR:
      number = err::kPathNotFound;
      break;
    case EACCES:
    case EPERM:
    case EROFS:
      number = err::kPermissionDenied;
      break;
    default:
      number = err::kPathFileAccess;
      break;
  }
  return UnexpectedError(number, what + " '" + path + "': " + std::strerror(error), "FileSystem");
}

// Writes all of `bytes` to `fd`; returns false with errno set on failure.
bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// True when the next bytes read from `fd` are exactly `bytes`; `buffer` has room for `part`.
// Stops at the first part that differs.
bool ReadsNext(int fd, std::string_view bytes, char* buffer, std::size_t part) {
  while (!bytes.empty()) {
    const ssize_t n = ::read(fd, buffer, std::min(part, bytes.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    const auto got = static_cast<std::size_t>(n);
    if (std::memcmp(buffer, bytes.data(), got) != 0) return false;
    bytes.remove_prefix(got);
  }
  return true;
}

// True when `fd` stands at the end of its file.
bool AtEnd(int fd) {
  char byte;
  for (;;) {
    const ssize_t n = ::read(fd, &byte, 1);
    if (n < 0 && errno == EINTR) continue;
    return n == 0;
  }
}

// True when reading `fd` from where it stands gives exactly `bytes` and then the end of the
// file.
bool ReadsExactly(int fd, std::string_view bytes) {
  const std::size_t part = std::min(std::size_t{1} << 18, bytes.size());
  const auto buffer = std::make_unique_for_overwrite<char[]>(part);
  return ReadsNext(fd, bytes, buffer.get(), part) && AtEnd(fd);
}

// Opens the regular file at `path` for reading into `*st`; -1 for anything else. A link is not
// followed (the rename of a write replaces the link itself, so the file it points to is no
// reason to leave it) and a FIFO is not waited on.
int OpenRegularFile(const std::string& path, struct stat* st) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  if (::fstat(fd, st) == 0 && S_ISREG(st->st_mode)) return fd;
  ::close(fd);
  return -1;
}

// The process's umask may take bits away from `mode`, never add any.
void MakeFolderWithMode(const std::string& path, mode_t mode) {
  if (::mkdir(path.c_str(), mode) != 0) throw PosixError("cannot create folder", path, errno);
}

// The lock goes with the descriptor: closing it releases the lock.
struct PosixFolderLock final : FolderLock {
  int fd = -1;
  ~PosixFolderLock() override {
    if (fd >= 0) ::close(fd);
  }
};

// True when `a` and `b` describe the same file, not written to between them.
bool SameFileUntouched(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

// A temporary file beside the file it is to replace, renamed over it on Commit.
class PosixPendingFile final : public PendingFile {
 public:
  // With `if_changed`, the bytes are compared with those of the regular file at `path` as they
  // come, and written only from the first that differs: a file that holds them all is left.
  PosixPendingFile(const std::string& path, bool if_changed)
      : path_(path), temp_(FolderOf(path) + "." + FileNameOf(path) + ".XXXXXX") {
    fd_ = ::mkstemp(temp_.data());
    if (fd_ < 0) throw PosixError("cannot create a file beside", path, errno);
    // Keep the permissions of the file being replaced; a new file gets the usual ones.
    struct stat old;
    ::fchmod(fd_, ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644);
    if (if_changed) StartComparing();
  }

  ~PosixPendingFile() override {
    if (old_fd_ >= 0) ::close(old_fd_);
    if (fd_ >= 0) ::close(fd_);
    if (!committed_) ::unlink(temp_.c_str());
  }

  void Append(std::string_view bytes) override {
    if (old_fd_ >= 0) {
      if (ReadsNext(old_fd_, bytes, buffer_.get(), kPart)) {
        same_ += bytes.size();
        return;
      }
      StopComparing();
    }
    if (!WriteAll(fd_, bytes)) throw PosixError("cannot write", path_, errno);
  }

  // No fsync: a run writes hundreds of pages, and flushing each one costs more than the whole
  // page build. The rename still makes every reader see the old file or the complete new one;
  // what a power failure may cost is the newest pages, which the next run writes again.
  void Commit() override {
    if (old_fd_ >= 0 && AtEnd(old_fd_) && StillUntouched(old_fd_)) {
      // The file holds exactly the bytes given: it stays as it is.
      ::close(std::exchange(old_fd_, -1));
      ::close(std::exchange(fd_, -1));
      ::unlink(temp_.c_str());
      committed_ = true;
      return;
    }
    if (old_fd_ >= 0) StopComparing();  // the bytes given are only the start of the file's
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0) throw PosixError("cannot write", path_, errno);
    if (::rename(temp_.c_str(), path_.c_str()) != 0) {
      throw PosixError("cannot replace", path_, errno);
    }
    committed_ = true;
  }

 private:
  static constexpr std::size_t kPart = std::size_t{1} << 18;

  // Opens the file at `path` for comparing when it is a regular file.
  void StartComparing() {
    old_fd_ = OpenRegularFile(path_, &old_);
    if (old_fd_ >= 0) buffer_ = std::make_unique_for_overwrite<char[]>(kPart);
  }

  // True when `old_fd` (the file at `path_`) was not written to since it was opened.
  bool StillUntouched(int old_fd) const {
    struct stat now;
    return ::fstat(old_fd, &now) == 0 && SameFileUntouched(old_, now);
  }

  // Writes the bytes found equal so far, which were not written, from the file at `path`, and
  // stops comparing. A file that another program changed meanwhile cannot give them.
  void StopComparing() {
    const int old_fd = std::exchange(old_fd_, -1);
    for (std::size_t at = 0; at < same_;) {
      const ssize_t n =
          ::pread(old_fd, buffer_.get(), std::min(kPart, same_ - at), static_cast<off_t>(at));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        const int error = n < 0 ? errno : EIO;
        ::close(old_fd);
        throw PosixError("cannot read", path_, error);
      }
      if (!WriteAll(fd_, std::string_view(buffer_.get(), static_cast<std::size_t>(n)))) {
        const int error = errno;
        ::close(old_fd);
        throw PosixError("cannot write", path_, error);
      }
      at += static_cast<std::size_t>(n);
    }
    const bool untouched = StillUntouched(old_fd);
    ::close(old_fd);
    if (!untouched) {
      throw UnexpectedError(err::kPathFileAccess,
                            "cannot replace '" + path_ + "': another program changed it meanwhile",
                            "FileSystem");
    }
  }

  const std::string path_;
  std::string temp_;
  int fd_ = -1;
  bool committed_ = false;
  int old_fd_ = -1;       // the file at `path_` while its bytes equal those given
  struct stat old_ {};    // that file as it was opened
  std::size_t same_ = 0;  // the bytes given so far, all equal to the file's and not written
  std::unique_ptr<char[]> buffer_;
};

class PosixFileSystem final : public FileSystem {
 public:
  ReadStatus ReadFile(const std::string& path, std::string* contents, std::string* err) override {
    contents->clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      int error = errno;
      *err = PosixError("cannot open", path, error).description();
      return error == ENOENT ? ReadStatus::kNotFound : ReadStatus::kOtherError;
    }
    struct stat st;
    const bool known = ::fstat(fd, &st) == 0;
    if (known && S_ISDIR(st.st_mode)) {
      ::close(fd);
      *err = "cannot read '" + path + "': it is a folder";
      return ReadStatus::kOtherError;
    }
    // Room for the whole file at once: growing step by step copied a large file several times.
    if (known && S_ISREG(st.st_mode)) contents->reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
      ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n < 0) {
        if (errno == EINTR) continue;
        int error = errno;
        ::close(fd);
        *err = PosixError("cannot read", path, error).description();
        contents->clear();
        return ReadStatus::kOtherError;
      }
      if (n == 0) break;
      contents->append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return ReadStatus::kOkay;
  }

  bool HoldsExactly(const std::string& path, std::string_view bytes) override {
    // A size that differs settles it without opening the file.
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::uint64_t>(st.st_size) != bytes.size()) {
      return false;
    }
    const int fd = OpenRegularFile(path, &st);
    if (fd < 0) return false;
    const bool same = ReadsExactly(fd, bytes);
    ::close(fd);
    return same;
  }

  void WriteFileAtomically(const std::string& path, std::string_view bytes) override {
    const std::unique_ptr<PendingFile> file = StartFile(path);
    file->Append(bytes);
    file->Commit();
  }

  std::unique_ptr<PendingFile> StartFile(const std::string& path) override {
    return std::make_unique<PosixPendingFile>(path, false);
  }

  std::unique_ptr<PendingFile> StartFileIfChanged(const std::string& path) override {
    return std::make_unique<PosixPendingFile>(path, true);
  }

  void AppendToFile(const std::string& path, std::string_view bytes) override {
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) throw PosixError("cannot open for appending", path, errno);
    if (!WriteAll(fd, bytes)) {
      int error = errno;
      ::close(fd);
      throw PosixError("cannot append to", path, error);
    }
    if (::close(fd) != 0) throw PosixError("cannot append to", path, errno);
  }

  bool IsFile(const std::string& path) override {
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
  }

  bool IsFolder(const std::string& path) override {
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }

  bool CanWrite(const std::string& path) override {
    if (::access(path.c_str(), F_OK) == 0) return ::access(path.c_str(), W_OK) == 0;
    std::string folder = FolderOf(path);
    return ::access(folder.empty() ? "." : folder.c_str(), W_OK) == 0;
  }

  std::vector<FolderEntry> ListFolder(const std::string& path) override {
    std::vector<FolderEntry> entries;
    DIR* dir = ::opendir(path.empty() ? "." : path.c_str());
    if (dir == nullptr) return entries;
    std::string folder = WithTrailingSlash(path);
    while (dirent* entry = ::readdir(dir)) {
      std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      entries.push_back({name, IsFolder(folder + name)});
    }
    ::closedir(dir);
    return entries;
  }

  void MakeFolder(const std::string& path) override { MakeFolderWithMode(path, 0755); }
  void MakePrivateFolder(const std::string& path) override { MakeFolderWithMode(path, 0700); }

  std::unique_ptr<FolderLock> LockFolder(const std::string& path) override {
    auto lock = std::make_unique<PosixFolderLock>();
    lock->fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (lock->fd < 0) return lock;
    while (::flock(lock->fd, LOCK_EX | LOCK_NB) != 0) {
      if (errno == EINTR) continue;
      if (errno == EWOULDBLOCK) return nullptr;
      break;  // a file system without locks: run unlocked, as before locks existed
    }
    return lock;
  }

  void RemoveFile(const std::string& path) override {
    if (::unlink(path.c_str()) != 0) throw PosixError("cannot delete", path, errno);
  }

  WriteOutcome CopyOver(const std::string& source, const std::string& target) override {
    std::string bytes;
    std::string error;
    if (ReadFile(source, &bytes, &error) != ReadStatus::kOkay) {
      throw UnexpectedError(IsFile(source) ? err::kPathFileAccess : err::kFileNotFound, error,
                            "FileSystem");
    }
    return WriteFileIfChanged(target, bytes);
  }

  std::time_t Now() override { return std::time(nullptr); }
};

}  // namespace

std::unique_ptr<FileSystem> NewPosixFileSystem() { return std::make_unique<PosixFileSystem>(); }

}  // namespace orvano
