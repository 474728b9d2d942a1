#include "testing/test_util.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/errors.h"

namespace orvano::testing {

ScopedTempDir::ScopedTempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "orvano-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot create a temporary folder";
  path_ = pattern + "/";
}

ScopedTempDir::~ScopedTempDir() {
  std::error_code ec;
  // Tests may have taken permissions away; give them back so everything can be removed.
  for (auto it = std::filesystem::recursive_directory_iterator(
           path_, std::filesystem::directory_options::skip_permission_denied, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
  }
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

void WriteBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) ADD_FAILURE() << "cannot write " << path;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void MakeFolders(const std::string& path) {
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  if (ec) ADD_FAILURE() << "cannot create " << path << ": " << ec.message();
}

void SetMode(const std::string& path, int mode) { ::chmod(path.c_str(), mode); }

int ModeOf(const std::string& path) {
  struct stat status;
  if (::stat(path.c_str(), &status) != 0) return -1;
  return static_cast<int>(status.st_mode & 07777);
}

void CopyProgramsPortably(const std::vector<std::string>& programs, const std::string& folder) {
  MakeFolders(folder);
  for (const std::string& program : programs) {
    const std::string target = folder + std::filesystem::path(program).filename().string();
    WriteBytes(target, ReadBytes(program));
    SetMode(target, 0755);
  }
  WriteBytes(folder + "orvano-html.ini", "");
}

bool RunningAsRoot() { return ::geteuid() == 0; }

std::optional<std::string> SharedPath(const std::string& name) {
  std::string path = std::string(ORVANO_SHARED_DIR) + "/" + name;
  if (!std::filesystem::exists(path)) return std::nullopt;
  return path;
}

bool RecordingHost::ShowError(std::string_view title, std::string_view text) {
  calls.push_back({"error", std::string(title), std::string(text)});
  return continue_after_error;
}

bool RecordingHost::AskYesNo(std::string_view text) {
  calls.push_back({"ask", "", std::string(text)});
  return answer_yes;
}

void RecordingHost::ShowMessage(std::string_view text) {
  calls.push_back({"message", "", std::string(text)});
}

void RecordingHost::StatusStart(std::string_view text, int maximum, bool) {
  calls.push_back({"status-start", "", std::string(text), maximum});
}

void RecordingHost::StatusTick(std::string_view done) {
  calls.push_back({"tick", "", std::string(done)});
}

void RecordingHost::StatusEnd() { calls.push_back({"status-end", "", ""}); }

void RecordingHost::WriteDiagnostic(std::string_view text) {
  calls.push_back({"diag", "", std::string(text)});
}

std::vector<HostCall> RecordingHost::CallsOf(std::string_view kind) const {
  std::vector<HostCall> found;
  for (const HostCall& call : calls) {
    if (call.kind == kind) found.push_back(call);
  }
  return found;
}

CommandOutcome RunCommand(const std::string& command) {
  CommandOutcome outcome;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return outcome;
  char buffer[65536];
  while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) {
    outcome.output.append(buffer, n);
  }
  const int status = ::pclose(pipe);
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return outcome;
}

std::string FontClassBlock(const std::string& n, const std::string& main,
                           const std::string& opening, const std::string& closing) {
  const std::string m = "\n###FONTBEZUG###";
  std::string text = opening.empty() ? "" : m + "EIN" + n + "\n" + opening;
  return text + m + "HAUPT" + n + "\n" + main + m + "AUS" + n +
         (closing.empty() ? "" : "\n" + closing) + m + "ENDE" + n;
}

void ExpectFailure(const RecordingErrorSink::Failure& failure, std::string_view procedure,
                   int number, std::string_view part) {
  EXPECT_EQ(procedure, failure.procedure) << failure.description;
  EXPECT_EQ(number, failure.number) << failure.description;
  EXPECT_NE(std::string::npos, failure.description.find(part)) << failure.description;
}

FixedClockFileSystem::FixedClockFileSystem(std::time_t now)
    : now_(now), real_(NewPosixFileSystem()) {}

ReadStatus FixedClockFileSystem::ReadFile(const std::string& path, std::string* contents,
                                          std::string* err) {
  return real_->ReadFile(path, contents, err);
}
bool FixedClockFileSystem::HoldsExactly(const std::string& path, std::string_view bytes) {
  return real_->HoldsExactly(path, bytes);
}
void FixedClockFileSystem::WriteFileAtomically(const std::string& path, std::string_view bytes) {
  real_->WriteFileAtomically(path, bytes);
}
void FixedClockFileSystem::AppendToFile(const std::string& path, std::string_view bytes) {
  real_->AppendToFile(path, bytes);
}
bool FixedClockFileSystem::IsFile(const std::string& path) { return real_->IsFile(path); }
bool FixedClockFileSystem::IsFolder(const std::string& path) { return real_->IsFolder(path); }
bool FixedClockFileSystem::CanWrite(const std::string& path) { return real_->CanWrite(path); }
std::vector<FolderEntry> FixedClockFileSystem::ListFolder(const std::string& path) {
  return real_->ListFolder(path);
}
void FixedClockFileSystem::MakeFolder(const std::string& path) { real_->MakeFolder(path); }
void FixedClockFileSystem::MakePrivateFolder(const std::string& path) {
  real_->MakePrivateFolder(path);
}
void FixedClockFileSystem::RemoveFile(const std::string& path) { real_->RemoveFile(path); }
WriteOutcome FixedClockFileSystem::CopyOver(const std::string& source, const std::string& target) {
  return real_->CopyOver(source, target);
}

std::uint64_t GetLe(std::string_view bytes, std::size_t at, int size) {
  std::uint64_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
  return value;
}

void PutLe(std::string& bytes, std::size_t at, std::uint64_t value, int size) {
  for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

std::string WithLe(std::string bytes, std::size_t at, std::uint64_t value, int size) {
  PutLe(bytes, at, value, size);
  return bytes;
}

std::size_t FindBiffRecord(std::string_view file, unsigned id) {
  for (std::size_t at = 512; at + 4 <= file.size(); at += 4 + GetLe(file, at + 2, 2)) {
    if (GetLe(file, at, 2) == id) return at;
  }
  ADD_FAILURE() << "no record " << id;
  return 0;
}

std::time_t TestTime() {
  std::tm tm{};
  tm.tm_sec = 7;
  tm.tm_min = 6;
  tm.tm_hour = 5;
  tm.tm_mday = 4;
  tm.tm_mon = 2;
  tm.tm_year = 126;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

void RecordingErrorSink::ReportFailure(std::string_view procedure) {
  Failure failure{std::string(procedure), err::kInternalError, "Internal error"};
  try {
    throw;
  } catch (const OrvanoError& e) {
    failure.number = e.number();
    failure.description = e.description();
  } catch (const std::exception& e) {
    failure.description = std::string("Internal error: ") + e.what();
  } catch (...) {
  }
  failures.push_back(std::move(failure));
  if (end_on_failure) throw EndProgram{1};
}

}  // namespace orvano::testing
