#include "app/run_record.h"

#include <algorithm>
#include <array>
#include <tuple>

namespace orvano {
namespace {

// The notes of parts a project may leave out; what the pages show without them is still right.
constexpr std::array<std::string_view, 2> kOrdinaryNotePrefixes = {"Table not found: ",
                                                                   "Indextext not found: "};

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

bool CountsAgainstPages(const Problem& problem, bool strict) {
  return problem.kind != ProblemKind::kNote || strict;
}

}  // namespace

std::string_view ProblemKindName(ProblemKind kind) {
  switch (kind) {
    case ProblemKind::kNote:
      return "note";
    case ProblemKind::kWarning:
      return "warning";
    case ProblemKind::kError:
      return "error";
  }
  return "error";
}

ProblemKind KindOfNote(std::string_view text) {
  for (std::string_view prefix : kOrdinaryNotePrefixes) {
    if (text.starts_with(prefix)) return ProblemKind::kNote;
  }
  return ProblemKind::kWarning;
}

int ExitStatusOf(const RunRecord& record, bool complete) {
  if (!complete) return kExitStopped;
  auto counts = [&record](const ProblemList& list) {
    return std::any_of(list.problems.begin(), list.problems.end(), [&record](const Problem& p) {
      return CountsAgainstPages(p, record.strict);
    });
  };
  if (counts(record.run_problems)) return kExitOutputWrong;
  for (const LanguageRecord& language : record.languages) {
    if (counts(language.problems)) return kExitOutputWrong;
  }
  return kExitPagesWritten;
}

std::string CheckModeLines(const RunRecord& record) {
  struct Line {
    std::string location;
    ProblemKind kind;
    std::string text;
    bool operator<(const Line& other) const {
      return std::tie(location, kind, text) < std::tie(other.location, other.kind, other.text);
    }
    bool operator==(const Line& other) const = default;
  };
  std::vector<Line> lines;
  auto add = [&lines](const ProblemList& list, const std::string& where) {
    for (const Problem& p : list.problems) {
      lines.push_back({p.location.empty() ? where : p.location, p.kind, p.text});
    }
  };
  add(record.run_problems, "orvano-html");
  for (const LanguageRecord& language : record.languages) {
    add(language.problems, "language " + language.id);
  }
  std::sort(lines.begin(), lines.end());
  lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
  std::array<int, 3> counts{};
  std::string out;
  for (const Line& line : lines) {
    ++counts[static_cast<std::size_t>(line.kind)];
    out += line.location + ": " + std::string(ProblemKindName(line.kind)) + ": " + line.text + "\n";
  }
  auto count = [&counts](ProblemKind kind, std::string_view name) {
    const int n = counts[static_cast<std::size_t>(kind)];
    return std::to_string(n) + " " + std::string(name) + (n == 1 ? "" : "s");
  };
  std::size_t complete = 0;
  for (const LanguageRecord& language : record.languages) complete += language.complete ? 1 : 0;
  out += "check: " + count(ProblemKind::kError, "error") + ", " +
         count(ProblemKind::kWarning, "warning") + ", " + count(ProblemKind::kNote, "note") + "; " +
         std::to_string(complete) + " of " + std::to_string(record.languages.size()) +
         (record.languages.size() == 1 ? " language" : " languages") + " built to the end\n";
  return out;
}

void RecordingFileSystem::Keep(const std::string& path, std::uint64_t bytes, bool append) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto [it, inserted] = index_.emplace(path, written_.size());
  if (inserted) {
    written_.push_back({path, bytes});
  } else if (append) {
    written_[it->second].bytes += bytes;
  } else {
    written_[it->second].bytes = bytes;
  }
}

void RecordingFileSystem::WriteFileAtomically(const std::string& path, std::string_view bytes) {
  if (!write_nothing_) target_.WriteFileAtomically(path, bytes);
  Keep(path, bytes.size(), false);
}

void RecordingFileSystem::AppendToFile(const std::string& path, std::string_view bytes) {
  if (!write_nothing_) target_.AppendToFile(path, bytes);
  Keep(path, bytes.size(), true);
}

bool RecordingFileSystem::IsFolder(const std::string& path) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (folders_made_.count(WithoutTrailingSlash(path))) return true;
  }
  return target_.IsFolder(path);
}

void RecordingFileSystem::MakeFolder(const std::string& path) {
  if (!write_nothing_) target_.MakeFolder(path);
  std::lock_guard<std::mutex> lock(mutex_);
  folders_made_.insert(WithoutTrailingSlash(path));
}

void RecordingFileSystem::RemoveFile(const std::string& path) {
  if (!write_nothing_) target_.RemoveFile(path);
  std::lock_guard<std::mutex> lock(mutex_);
  // A removed file is no longer among those written (unless it is written again).
  auto it = index_.find(path);
  if (it == index_.end()) return;
  written_[it->second].path.clear();
  index_.erase(it);
}

void RecordingFileSystem::CopyOver(const std::string& source, const std::string& target) {
  if (!write_nothing_) target_.CopyOver(source, target);
  std::string bytes;
  std::string err;
  const std::uint64_t size =
      target_.ReadFile(source, &bytes, &err) == ReadStatus::kOkay ? bytes.size() : 0;
  Keep(target, size, false);
}

std::vector<WrittenFile> RecordingFileSystem::FilesWrittenIn(const std::string& folder) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<WrittenFile> files;
  for (const WrittenFile& file : written_) {
    if (!file.path.empty() && file.path.starts_with(folder)) files.push_back(file);
  }
  return files;
}

}  // namespace orvano
