// Where the running executable lies, from the process's own link.

#include <limits.h>
#include <unistd.h>

#include "app/program_info.h"

namespace orvano {

ProgramInfo CurrentProgramInfo() {
  char buffer[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) {
    char cwd[PATH_MAX];
    std::string folder = ::getcwd(cwd, sizeof cwd) != nullptr ? cwd : ".";
    return ProgramInfoFor(folder + "/orvano-html");
  }
  return ProgramInfoFor(std::string(buffer, static_cast<std::size_t>(n)));
}

}  // namespace orvano
