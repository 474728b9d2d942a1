// Where the program is installed: the installation root chosen at build time, and whether the
// program runs from the machine PC's tools folder below it (which makes it silent).

#ifndef ORVANO_SESSION_PATHS_H_
#define ORVANO_SESSION_PATHS_H_

#include <string>

namespace orvano {

/// The installation root chosen at build time (default "/opt/orvano/Program/").
std::string InstallRoot();

/// True when `program_folder` (with a trailing "/" added) is the machine PC's tools folder
/// `install_root` + "Tools/", ignoring case.
bool IsRunningFromMachinePcTools(const std::string& program_folder,
                                 const std::string& install_root);

}  // namespace orvano

#endif  // ORVANO_SESSION_PATHS_H_
