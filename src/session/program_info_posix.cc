// Where the running executable lies, from the process's own link, and the environment that
// places per-user files.

#include <limits.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "session/program_info.h"
#include "support/file_system.h"

namespace orvano {
namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// $HOME, or the account's home folder when HOME is unset or not an absolute path.
std::string HomeFolder() {
  std::string home = Variable("HOME");
  if (!home.empty() && home.front() == '/') return home;
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
      found != nullptr && found->pw_dir != nullptr) {
    return found->pw_dir;
  }
  return "";
}

std::string ExecutablePath() {
  char buffer[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n > 0) return std::string(buffer, static_cast<std::size_t>(n));
  char cwd[PATH_MAX];
  std::string folder = ::getcwd(cwd, sizeof cwd) != nullptr ? cwd : ".";
  return folder + "/orvano-html";
}

}  // namespace

ProgramInfo CurrentProgramInfo() {
  std::unique_ptr<FileSystem> fs = NewPosixFileSystem();
  UserEnvironment env{HomeFolder(), Variable("XDG_CONFIG_HOME"), Variable("XDG_STATE_HOME")};
  return LocateProgram(*fs, ExecutablePath(), env);
}

}  // namespace orvano
