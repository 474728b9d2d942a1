// The one door to files and folders. Everything that touches the disk goes through FileSystem;
// PosixFileSystem (file_system_posix.cc) is the only code that calls the operating system.
// Paths use "/"; folder paths keep their trailing "/" and are joined by plain concatenation.

#ifndef ORVANO_SUPPORT_FILE_SYSTEM_H_
#define ORVANO_SUPPORT_FILE_SYSTEM_H_

#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvano {

/// Outcome of reading a whole file: absence is expected, not an error.
enum class ReadStatus { kOkay, kNotFound, kOtherError };

/// One entry of a folder listing.
struct FolderEntry {
  std::string name;
  bool is_folder = false;
};

/// What a write did to its file.
enum class WriteOutcome {
  kWritten,    // the file was replaced (or made)
  kUnchanged,  // the file already held exactly those bytes and was left as it was
};

/// An exclusive lock on a folder, held for as long as the object lives (and at most as long as
/// the process).
class FolderLock {
 public:
  virtual ~FolderLock() = default;
};

/// A file written part by part and put in place whole (FileSystem::StartFile).
class PendingFile {
 public:
  /// Throws away what was written unless Commit() was called: nothing of it remains.
  virtual ~PendingFile() = default;
  /// Appends `bytes`. Throws UnexpectedError naming the path.
  virtual void Append(std::string_view bytes) = 0;
  /// Puts the file in place as WriteFileAtomically does. Throws UnexpectedError naming the path;
  /// the old file is then left as it was.
  virtual void Commit() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  /// Reads the whole file at `path` into `*contents`. On kNotFound / kOtherError fills `*err`
  /// with a message naming the path.
  virtual ReadStatus ReadFile(const std::string& path, std::string* contents, std::string* err) = 0;

  /// Replaces the file at `path` with `bytes`: written to a temporary file in the same folder,
  /// then renamed over `path`, so readers see the old file or the whole new one. The bytes
  /// are not forced to disk.
  /// Throws UnexpectedError (70, 75, 76) naming the path on failure; no partial file remains.
  virtual void WriteFileAtomically(const std::string& path, std::string_view bytes) = 0;

  /// True when `path` names a regular file (not a link to one) that holds exactly `bytes`.
  /// Anything else, or a file that cannot be read, gives false. This default always gives
  /// false, so that WriteFileIfChanged writes.
  virtual bool HoldsExactly(const std::string& path, std::string_view bytes);

  /// Writes `bytes` to `path` as WriteFileAtomically does, unless HoldsExactly(path, bytes):
  /// that file is then left untouched, its content and modification time, so that tools
  /// which watch modification times see only the files that changed. Returns which was done.
  /// Throws what WriteFileAtomically throws.
  virtual WriteOutcome WriteFileIfChanged(const std::string& path, std::string_view bytes);

  /// Starts replacing the file at `path` as WriteFileAtomically does, with bytes given part by
  /// part while other work goes on, so that a large file need not be held in memory. Nothing
  /// changes at `path` before PendingFile::Commit. This default keeps the parts in memory and
  /// writes them with WriteFileAtomically. Throws UnexpectedError naming the path.
  virtual std::unique_ptr<PendingFile> StartFile(const std::string& path);

  /// Starts replacing the file at `path` as StartFile does, but as WriteFileIfChanged writes:
  /// when the bytes given are exactly the file's, Commit leaves it untouched. The bytes are
  /// compared as they come, and written only from the first that differs. This default keeps
  /// the parts in memory and writes them with WriteFileIfChanged.
  virtual std::unique_ptr<PendingFile> StartFileIfChanged(const std::string& path);

  /// Appends `bytes` to the file at `path`, creating it when missing. Throws UnexpectedError.
  virtual void AppendToFile(const std::string& path, std::string_view bytes) = 0;

  /// True when a file (not a folder) of that name exists.
  virtual bool IsFile(const std::string& path) = 0;
  /// True when a folder of that name exists; a trailing "/" is allowed.
  virtual bool IsFolder(const std::string& path) = 0;

  /// True when the existing file `path` may be written by this process (a read-only file gives
  /// false; a missing file gives true when its folder is writable).
  virtual bool CanWrite(const std::string& path) = 0;

  /// The entries of the folder `path` ("." and ".." left out), in no set order; empty when the
  /// folder is missing or unreadable.
  virtual std::vector<FolderEntry> ListFolder(const std::string& path) = 0;

  /// Creates one folder whose parent exists. Throws UnexpectedError naming the path on failure
  /// (a file in the way, no permission, missing parent).
  virtual void MakeFolder(const std::string& path) = 0;
  /// As MakeFolder, but only its owner may read, enter or change the new folder (mode 0700):
  /// for the user's own settings and logs.
  virtual void MakePrivateFolder(const std::string& path) = 0;

  /// Deletes the file at `path`. Throws UnexpectedError naming the path on failure.
  virtual void RemoveFile(const std::string& path) = 0;

  /// Makes `target` a byte copy of `source` as WriteFileIfChanged writes it: a target that
  /// already holds those bytes is left untouched, another one is replaced atomically. Returns
  /// which was done. Throws UnexpectedError naming the failing path.
  virtual WriteOutcome CopyOver(const std::string& source, const std::string& target) = 0;

  /// Takes an exclusive lock on the folder `path` itself (no file is added to it), without
  /// waiting. Returns the lock; nullptr when another process (or another lock of this one)
  /// holds it. A folder that cannot be opened gives a lock that holds nothing: writing into
  /// it reports the fault.
  virtual std::unique_ptr<FolderLock> LockFolder(const std::string& path) = 0;

  /// The current time; tests pin it so logs are byte-stable.
  virtual std::time_t Now() = 0;
};

/// The real file system. One instance serves the whole program.
std::unique_ptr<FileSystem> NewPosixFileSystem();

/// The path of `name` inside `folder` (which ends with "/"): the exact name when it exists,
/// else the first entry whose name equals `name` without regard to letter case (projects come
/// from Windows). nullopt when neither exists.
std::optional<std::string> FindFileInFolder(FileSystem& fs, const std::string& folder,
                                            const std::string& name);

/// `path` with a trailing "/" added when it has none (and is not empty).
std::string WithTrailingSlash(std::string path);

/// The folder part of `path` up to and including its last "/", or "" when it has none.
std::string FolderOf(const std::string& path);

/// The file name part of `path` after its last "/".
std::string FileNameOf(const std::string& path);

/// The folder `relative` (a path without a leading "/", whose leading "../" steps go up) seen
/// from `folder` (which ends with "/"), ending with "/": ("/usr/bin/", "../libexec/x") gives
/// "/usr/libexec/x/". Steps above the root stay at "/".
std::string FolderRelativeTo(const std::string& folder, std::string_view relative);

}  // namespace orvano

#endif  // ORVANO_SUPPORT_FILE_SYSTEM_H_
