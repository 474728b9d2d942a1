#include "app/program_info.h"

#include "app/paths.h"
#include "support/file_system.h"

#ifndef ORVANO_VERSION
#define ORVANO_VERSION "0.0.0"
#endif

namespace orvano {

ProgramInfo ProgramInfoFor(const std::string& exe_path) {
  ProgramInfo info;
  info.folder = FolderOf(exe_path);
  std::string name = FileNameOf(exe_path);
  auto dot = name.rfind('.');
  info.base_name = (dot == std::string::npos || dot == 0) ? name : name.substr(0, dot);
  info.version = ORVANO_VERSION;
  info.install_root = InstallRoot();
  return info;
}

}  // namespace orvano
