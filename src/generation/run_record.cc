#include "generation/run_record.h"

#include <algorithm>
#include <array>
#include <compare>
#include <string_view>
#include <tuple>

namespace orvano {
namespace {

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

bool CountsAgainstPages(const Problem& problem, bool strict) {
  const bool ordinary =
      problem.kind == ProblemKind::kNote || problem.kind == ProblemKind::kAllocationWarning;
  return !ordinary || strict;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsUpperLetter(char c) { return c >= 'A' && c <= 'Z'; }

// The value of the digits `digits` (a short run: a line or row number); saturates.
std::size_t DigitValue(std::string_view digits) {
  std::size_t value = 0;
  for (char c : digits) {
    if (value > 100'000'000'000) return value;
    value = value * 10 + static_cast<std::size_t>(c - '0');
  }
  return value;
}

// What a location sorts by: its file (or whole text), then the position within it. A cell
// ("book.xls:Sheet!C17") sorts by sheet, row and column; a line ("page.htm:42") by its number,
// so that line 9 comes before line 10 and a sheet's rows come in their order.
struct LocationKey {
  std::string_view head;
  std::size_t first = 0;
  std::size_t second = 0;
  auto operator<=>(const LocationKey&) const = default;
};

LocationKey KeyOfLocation(std::string_view location) {
  std::size_t end = location.size();
  std::size_t digits = end;
  while (digits > 0 && IsDigit(location[digits - 1])) --digits;
  if (digits == end || digits == 0) return {location};
  const std::size_t number = DigitValue(location.substr(digits));
  if (location[digits - 1] == ':') return {location.substr(0, digits), number};
  std::size_t letters = digits;
  while (letters > 0 && IsUpperLetter(location[letters - 1])) --letters;
  if (letters == digits || letters == 0 || location[letters - 1] != '!') return {location};
  std::size_t column = 0;
  for (std::size_t i = letters; i < digits; ++i) {
    column = column * 26 + static_cast<std::size_t>(location[i] - 'A' + 1);
  }
  return {location.substr(0, letters), number, column};
}

}  // namespace

std::string_view ProblemKindName(ProblemKind kind) {
  switch (kind) {
    case ProblemKind::kNote:
      return "note";
    case ProblemKind::kWarning:
    case ProblemKind::kAllocationWarning:
      return "warning";
    case ProblemKind::kError:
      return "error";
  }
  return "error";
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

std::string CheckLine::Text() const {
  return location + ": " + std::string(ProblemKindName(kind)) + ": " + text;
}

std::vector<CheckLine> CheckModeProblems(const RunRecord& record) {
  std::vector<CheckLine> lines;
  auto add = [&lines](const ProblemList& list, const std::string& where) {
    for (const Problem& p : list.problems) {
      lines.push_back({p.location.empty() ? where : p.location, p.kind, p.text});
    }
  };
  add(record.run_problems, "orvano-html");
  for (const LanguageRecord& language : record.languages) {
    add(language.problems, "language " + language.id);
  }
  auto before = [](const CheckLine& a, const CheckLine& b) {
    const LocationKey key = KeyOfLocation(a.location);
    const LocationKey other_key = KeyOfLocation(b.location);
    return std::tie(key, a.location, a.kind, a.text) <
           std::tie(other_key, b.location, b.kind, b.text);
  };
  std::sort(lines.begin(), lines.end(), before);
  lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
  return lines;
}

std::string CheckModeSummary(const RunRecord& record, const std::vector<CheckLine>& lines) {
  std::array<int, 3> counts{};
  for (const CheckLine& line : lines) {
    // Both kinds of warning are counted as warnings.
    const ProblemKind kind =
        line.kind == ProblemKind::kAllocationWarning ? ProblemKind::kWarning : line.kind;
    ++counts[static_cast<std::size_t>(kind)];
  }
  auto count = [&counts](ProblemKind kind, std::string_view name) {
    const int n = counts[static_cast<std::size_t>(kind)];
    return std::to_string(n) + " " + std::string(name) + (n == 1 ? "" : "s");
  };
  std::size_t complete = 0;
  for (const LanguageRecord& language : record.languages) complete += language.complete ? 1 : 0;
  return "check: " + count(ProblemKind::kError, "error") + ", " +
         count(ProblemKind::kWarning, "warning") + ", " + count(ProblemKind::kNote, "note") + "; " +
         std::to_string(complete) + " of " + std::to_string(record.languages.size()) +
         (record.languages.size() == 1 ? " language" : " languages") + " built to the end";
}

std::string CheckModeLines(const RunRecord& record) {
  const std::vector<CheckLine> lines = CheckModeProblems(record);
  std::string out;
  for (const CheckLine& line : lines) out += line.Text() + "\n";
  return out + CheckModeSummary(record, lines) + "\n";
}

void RecordingFileSystem::Keep(const std::string& path, std::uint64_t bytes, bool append,
                               bool unchanged) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto [it, inserted] = index_.emplace(path, written_.size());
  if (inserted) {
    written_.push_back({path, bytes, unchanged});
    return;
  }
  WrittenFile& file = written_[it->second];
  file.bytes = append ? file.bytes + bytes : bytes;
  // A file changed by any write of the run has changed.
  file.unchanged = file.unchanged && unchanged;
}

void RecordingFileSystem::WriteFileAtomically(const std::string& path, std::string_view bytes) {
  if (!write_nothing_) target_.WriteFileAtomically(path, bytes);
  Keep(path, bytes.size(), false);
}

WriteOutcome RecordingFileSystem::WriteFileIfChanged(const std::string& path,
                                                     std::string_view bytes) {
  WriteOutcome outcome;
  if (write_nothing_) {
    outcome = target_.HoldsExactly(path, bytes) ? WriteOutcome::kUnchanged : WriteOutcome::kWritten;
  } else {
    outcome = target_.WriteFileIfChanged(path, bytes);
  }
  Keep(path, bytes.size(), false, outcome == WriteOutcome::kUnchanged);
  return outcome;
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

void RecordingFileSystem::MakePrivateFolder(const std::string& path) {
  if (!write_nothing_) target_.MakePrivateFolder(path);
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

WriteOutcome RecordingFileSystem::CopyOver(const std::string& source, const std::string& target) {
  WriteOutcome outcome = WriteOutcome::kWritten;
  if (!write_nothing_) outcome = target_.CopyOver(source, target);
  std::string bytes;
  std::string err;
  const bool read = target_.ReadFile(source, &bytes, &err) == ReadStatus::kOkay;
  if (write_nothing_ && read && target_.HoldsExactly(target, bytes)) {
    outcome = WriteOutcome::kUnchanged;
  }
  Keep(target, read ? bytes.size() : 0, false, outcome == WriteOutcome::kUnchanged);
  return outcome;
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
