#include "session/paths.h"

#include "support/file_system.h"
#include "support/text_case.h"

#ifndef ORVANO_INSTALL_ROOT
#define ORVANO_INSTALL_ROOT "/opt/orvano/Program/"
#endif

namespace orvano {

std::string InstallRoot() { return WithTrailingSlash(ORVANO_INSTALL_ROOT); }

bool IsRunningFromMachinePcTools(const std::string& program_folder,
                                 const std::string& install_root) {
  return EqualsIgnoringCase(WithTrailingSlash(program_folder),
                            WithTrailingSlash(install_root) + "Tools/");
}

}  // namespace orvano
