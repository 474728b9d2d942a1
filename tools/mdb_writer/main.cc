// mdb_writer: writes a Jet 4 database from readable table files (see --help).

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "mdb_writer_command.h"
#include "support/file_system.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const std::unique_ptr<orvano::FileSystem> fs = orvano::NewPosixFileSystem();
  return orvano::tools::RunMdbWriter(args, *fs, std::cout, std::cerr);
}
