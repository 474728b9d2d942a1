// RunRecord: the account of one run that build jobs read: per language the files written and
// every note and error, the durations of reading and building, and from these the exit status.
// The error handling and the file system of a run add to it as they go; check mode reads it to
// print the problems, the run report is written from it.

#ifndef ORVANO_GENERATION_RUN_RECORD_H_
#define ORVANO_GENERATION_RUN_RECORD_H_

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "support/error_sink.h"
#include "support/file_system.h"

namespace orvano {

/// The exit statuses of the program.
enum ExitStatus : int {
  kExitPagesWritten = 0,  // every page written; nothing but ordinary notes
  kExitStopped = 1,       // an error stopped the run (or a language of it)
  kExitCommandLine = 2,   // the command line is not valid (or no window can be shown)
  kExitOutputWrong = 3,   // finished, but a page was refused or abandoned, or its output is wrong
};

/// The name of `kind` in the run report and in check mode's lines.
std::string_view ProblemKindName(ProblemKind kind);

struct Problem {
  ProblemKind kind = ProblemKind::kNote;
  std::string location;  // where it comes from ("" when not known)
  std::string text;
};

/// The problems of one language (or of the run itself), kept in the order they were reported.
/// Used by one thread at a time.
struct ProblemList {
  /// Check mode: failures are kept here only (no log, no stderr) and the work goes on.
  bool keep_going = false;
  std::vector<Problem> problems;

  void AddNote(ProblemKind kind, std::string_view text, std::string location = "") {
    problems.push_back({kind, std::move(location), std::string(text)});
  }
  void AddError(std::string location, std::string text) {
    problems.push_back({ProblemKind::kError, std::move(location), std::move(text)});
  }
};

/// A file the run wrote, and its size.
struct WrittenFile {
  std::string path;
  std::uint64_t bytes = 0;
  /// Every write of the run found the file holding its bytes already and left it as it was
  /// (in a check: a run would leave it).
  bool unchanged = false;
};

/// What one language of the run did.
struct LanguageRecord {
  std::string id;
  std::string destination_folder;
  bool complete = false;  // every page written
  double reading_seconds = 0;
  double building_seconds = 0;
  ProblemList problems;
  std::vector<WrittenFile> files;  // in the destination folder, in the order first written
};

/// One input file of the run.
struct InputFile {
  std::string role;  // "description", "database", "workbook", "templates", "languages"
  std::string path;
  std::string format;
  std::uint64_t bytes = 0;
};

struct RunRecord {
  bool check_only = false;
  bool strict = false;
  double reading_seconds = 0;  // the inputs all languages share
  std::vector<InputFile> inputs;
  ProblemList run_problems;        // the run's own (language selection, the languages page)
  std::vector<WrittenFile> files;  // the run's own files (the languages page)
  std::vector<LanguageRecord> languages;
  int exit_status = kExitPagesWritten;
};

/// The exit status of a run that ended (`complete`: GeneratePages said every page was
/// written): 1 when not complete; 3 when a problem counts against the pages (an error or
/// warning, and with `record.strict` any note); else 0.
int ExitStatusOf(const RunRecord& record, bool complete);

/// One problem as check mode lists it.
struct CheckLine {
  std::string location;  // "language <id>" or "orvano-html" when the problem has none
  ProblemKind kind = ProblemKind::kNote;
  std::string text;

  /// The line as check mode prints it, without line end: "<location>: <kind>: <text>".
  std::string Text() const;
  bool operator==(const CheckLine&) const = default;
};

/// Every problem of `record` ("language <id>" standing for an unknown location, and
/// "orvano-html" for the run's own problems), sorted by file and then position (a sheet's
/// cells row by row, a file's lines by number), each distinct line once.
std::vector<CheckLine> CheckModeProblems(const RunRecord& record);

/// Check mode's summary of `record` whose problems are `lines` (as CheckModeProblems gives
/// them), without line end: "check: 1 error, 2 warnings, 0 notes; 1 of 2 languages built to
/// the end".
std::string CheckModeSummary(const RunRecord& record, const std::vector<CheckLine>& lines);

/// Check mode's lines: the Text() of every CheckModeProblems line, one per line as compilers
/// print them, then the CheckModeSummary line.
std::string CheckModeLines(const RunRecord& record);

/// A file system that passes everything on to `target` and keeps the files written: pages
/// replaced (WriteFileAtomically, WriteFileIfChanged), files copied and appended to, each
/// marked unchanged when it was left as it was. With `write_nothing` it writes, appends,
/// copies, removes and makes nothing, but answers as if it had: a folder it "made" exists,
/// and the files it "wrote" have their sizes kept, marked unchanged when `target` holds their
/// bytes already. Safe to use from several threads.
class RecordingFileSystem final : public FileSystem {
 public:
  RecordingFileSystem(FileSystem& target, bool write_nothing)
      : target_(target), write_nothing_(write_nothing) {}

  ReadStatus ReadFile(const std::string& path, std::string* contents, std::string* err) override {
    return target_.ReadFile(path, contents, err);
  }
  bool HoldsExactly(const std::string& path, std::string_view bytes) override {
    return target_.HoldsExactly(path, bytes);
  }
  void WriteFileAtomically(const std::string& path, std::string_view bytes) override;
  WriteOutcome WriteFileIfChanged(const std::string& path, std::string_view bytes) override;
  void AppendToFile(const std::string& path, std::string_view bytes) override;
  bool IsFile(const std::string& path) override { return target_.IsFile(path); }
  bool IsFolder(const std::string& path) override;
  bool CanWrite(const std::string& path) override { return target_.CanWrite(path); }
  std::vector<FolderEntry> ListFolder(const std::string& path) override {
    return target_.ListFolder(path);
  }
  void MakeFolder(const std::string& path) override;
  void MakePrivateFolder(const std::string& path) override;
  void RemoveFile(const std::string& path) override;
  WriteOutcome CopyOver(const std::string& source, const std::string& target) override;
  std::unique_ptr<FolderLock> LockFolder(const std::string& path) override {
    return target_.LockFolder(path);
  }
  std::time_t Now() override { return target_.Now(); }

  /// The files written so far whose path begins with `folder`, in the order first written.
  std::vector<WrittenFile> FilesWrittenIn(const std::string& folder) const;

 private:
  void Keep(const std::string& path, std::uint64_t bytes, bool append, bool unchanged = false);

  FileSystem& target_;
  const bool write_nothing_;
  mutable std::mutex mutex_;
  std::vector<WrittenFile> written_;
  std::map<std::string, std::size_t> index_;  // path -> its place in written_
  std::set<std::string> folders_made_;
};

}  // namespace orvano

#endif  // ORVANO_GENERATION_RUN_RECORD_H_
