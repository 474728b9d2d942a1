// Shared test support: temporary folders, a recording host, a file system with a pinned clock,
// helpers for the read-only samples in ../shared, and file helpers. Used by every *_test.cc.

#ifndef ORVANO_TESTING_TEST_UTIL_H_
#define ORVANO_TESTING_TEST_UTIL_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "support/byte_reader.h"
#include "support/error_sink.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "support/host.h"

namespace orvano::testing {

/// A fresh folder under the system's temporary folder, removed with its contents at the end of
/// the scope. `path()` ends with "/".
class ScopedTempDir {
 public:
  ScopedTempDir();
  ~ScopedTempDir();
  ScopedTempDir(const ScopedTempDir&) = delete;
  ScopedTempDir& operator=(const ScopedTempDir&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

/// Writes `bytes` to `path` (creating or replacing it); fails the test on error.
void WriteBytes(const std::string& path, std::string_view bytes);
/// The bytes of the file at `path`; "" when it cannot be read.
std::string ReadBytes(const std::string& path);
/// What a shell command did: its exit status (-1 when it did not exit normally) and what it
/// wrote to its standard output.
struct CommandOutcome {
  int status = -1;
  std::string output;
};
/// Runs `command` with /bin/sh; add "2>&1" to collect standard error too.
CommandOutcome RunCommand(const std::string& command);

/// Makes the folder `path` and its parents.
void MakeFolders(const std::string& path);
/// Changes the permission bits of `path` (tests of unwritable files and folders).
void SetMode(const std::string& path, int mode);
/// The permission bits of `path` (as SetMode takes them); -1 when it does not exist.
int ModeOf(const std::string& path);
/// Copies each program of `programs` (full paths) into `folder` (made when missing), executable
/// and under its own name, with an empty "orvano-html.ini" beside them: a portable copy keeps
/// its settings and error log in `folder`, never in the user's home.
void CopyProgramsPortably(const std::vector<std::string>& programs, const std::string& folder);
/// True when the tests run as root, who is not stopped by permission bits.
bool RunningAsRoot();

/// The path of `name` inside the read-only shared sample folder (../shared beside the project),
/// or nullopt when the folder is absent (a user's clone has none). Use with SKIP_IF_NO_SHARED.
std::optional<std::string> SharedPath(const std::string& name);

#define ORVANO_SKIP_IF_NO_SHARED(var, name)                                             \
  auto var##_opt = ::orvano::testing::SharedPath(name);                                 \
  if (!var##_opt) GTEST_SKIP() << "no ../shared folder beside the project: " << (name); \
  const std::string var = *var##_opt

/// One call made to a RecordingHost.
struct HostCall {
  std::string kind;  // "error", "ask", "message", "status-start", "tick", "status-end", "diag"
  std::string title;
  std::string text;
  int number = 0;
  std::thread::id thread = std::this_thread::get_id();  // the thread that made the call
};

/// The template lines of font class `n` around its parts, each part one line (an empty opening
/// or closing part is left out), starting with a line break.
std::string FontClassBlock(const std::string& n, const std::string& main,
                           const std::string& opening = "", const std::string& closing = "");

/// A host that records every call and answers from preset replies.
class RecordingHost final : public Host {
 public:
  bool ShowError(std::string_view title, std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  void ShowMessage(std::string_view text) override;
  void PumpEvents() override { ++pumps; }
  void StatusStart(std::string_view text, int maximum, bool lock) override;
  void StatusTick(std::string_view done) override;
  void StatusEnd() override;
  void WriteDiagnostic(std::string_view text) override;

  /// The calls of one kind, in order.
  std::vector<HostCall> CallsOf(std::string_view kind) const;

  bool continue_after_error = false;  // ShowError's answer
  bool answer_yes = true;             // AskYesNo's answer
  int pumps = 0;
  std::vector<HostCall> calls;
};

/// An error sink that keeps what it is handed: each failure (procedure, error number and
/// description) and each note with its place, in order. Failures let the work go on unless
/// `end_on_failure`.
class RecordingErrorSink final : public ErrorSink {
 public:
  struct Failure {
    std::string procedure;
    int number = 0;
    std::string description;
  };
  void ReportFailure(std::string_view procedure) override;
  void Note(ProblemKind kind, std::string_view text) override {
    notes.emplace_back(text);
    note_kinds.push_back(kind);
    note_places.push_back(PlaceText(place()));
  }
  void KeepResponsive() override { ++keep_responsive_calls; }

  bool end_on_failure = false;
  std::vector<Failure> failures;
  std::vector<std::string> notes;
  std::vector<ProblemKind> note_kinds;   // the kind of each note
  std::vector<std::string> note_places;  // the place of each note, as PlaceText gives it
  int keep_responsive_calls = 0;
};

/// Checks one recorded failure: its procedure, its error number and a part of its description.
void ExpectFailure(const RecordingErrorSink::Failure& failure, std::string_view procedure,
                   int number, std::string_view part = "");

/// A file system that forwards to the real one but reports a pinned time from Now(). Tests that
/// need a fault the real disk cannot give on demand derive from it and override one call
/// (WriteFileIfChanged compares through the real one and writes through WriteFileAtomically).
class FixedClockFileSystem : public FileSystem {
 public:
  explicit FixedClockFileSystem(std::time_t now);

  ReadStatus ReadFile(const std::string& path, std::string* contents, std::string* err) override;
  bool HoldsExactly(const std::string& path, std::string_view bytes) override;
  void WriteFileAtomically(const std::string& path, std::string_view bytes) override;
  void AppendToFile(const std::string& path, std::string_view bytes) override;
  bool IsFile(const std::string& path) override;
  bool IsFolder(const std::string& path) override;
  bool CanWrite(const std::string& path) override;
  std::vector<FolderEntry> ListFolder(const std::string& path) override;
  void MakeFolder(const std::string& path) override;
  void MakePrivateFolder(const std::string& path) override;
  void RemoveFile(const std::string& path) override;
  WriteOutcome CopyOver(const std::string& source, const std::string& target) override;
  std::unique_ptr<FolderLock> LockFolder(const std::string& path) override {
    return real_->LockFolder(path);
  }
  std::time_t Now() override { return now_; }

  std::time_t now_;

 protected:
  std::unique_ptr<FileSystem> real_;
};

/// What `action` threw: an OrvanoError's number and description, or a DataError's text with
/// number 0. Nothing thrown gives number -1 and "(nothing thrown)"; other exceptions pass on.
struct Thrown {
  int number = -1;
  std::string description = "(nothing thrown)";
};
template <typename Action>
Thrown ThrownBy(Action&& action) {
  try {
    action();
  } catch (const OrvanoError& e) {
    return {e.number(), e.description()};
  } catch (const DataError& e) {
    return {0, e.what()};
  }
  return {};
}

/// The description of the ProgramError `action` throws; fails the test when it throws another
/// error or none.
template <typename Action>
std::string ProgramErrorOf(Action&& action) {
  const Thrown thrown = ThrownBy(action);
  EXPECT_EQ(kProgramErrorNumber, thrown.number) << thrown.description;
  return thrown.description;
}

/// The little-endian integer of `size` bytes (at most 8) at `at` of `bytes`, as file formats
/// store them. Requires: the bytes are there.
std::uint64_t GetLe(std::string_view bytes, std::size_t at, int size);
/// Overwrites the `size` bytes at `at` of `bytes` with `value`, little-endian (damage tests).
void PutLe(std::string& bytes, std::size_t at, std::uint64_t value, int size);
/// `bytes` with the `size` bytes at `at` set to `value`, little-endian (damage tests).
std::string WithLe(std::string bytes, std::size_t at, std::uint64_t value, int size);
/// The file offset of the first record `id` of the workbook stream of an .xls file our writer
/// made (the stream starts at offset 512 and lies in one run); 0 and a test failure when the
/// stream holds no such record.
std::size_t FindBiffRecord(std::string_view file, unsigned id);

/// A fixed test time: 2026-03-04 05:06:07 local time.
std::time_t TestTime();

}  // namespace orvano::testing

#endif  // ORVANO_TESTING_TEST_UTIL_H_
