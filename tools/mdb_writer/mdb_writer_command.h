// The mdb_writer command: reads table files and writes one Jet 4 database from them. main()
// only passes the arguments, the real file system and the standard streams.

#ifndef ORVANO_TOOLS_MDB_WRITER_MDB_WRITER_COMMAND_H_
#define ORVANO_TOOLS_MDB_WRITER_MDB_WRITER_COMMAND_H_

#include <iosfwd>
#include <string>
#include <vector>

namespace orvano {
class FileSystem;
}

namespace orvano::tools {

/// Runs `mdb_writer <out.mdb> <table-file>...` with `args` (the program name left out): "--help"
/// or "-h" prints the usage and the table file format to `out`. Messages go to `err`.
/// Returns the exit status: 0 database written (or help shown), 1 bad table file or write
/// failure (no file is written then), 2 wrong arguments.
int RunMdbWriter(const std::vector<std::string>& args, FileSystem& fs, std::ostream& out,
                 std::ostream& err);

}  // namespace orvano::tools

#endif  // ORVANO_TOOLS_MDB_WRITER_MDB_WRITER_COMMAND_H_
