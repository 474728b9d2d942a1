// The Jet 4 database writer: turns table descriptions into an .mdb (or .vws) file that readers
// built on libmdb open like one made on Windows. A fixture tool for tests, the demo and the
// benchmarks; no indexes, no relationships, text stored as uncompressed UTF-16.

#ifndef ORVANO_TOOLS_MDB_WRITER_MDB_WRITER_H_
#define ORVANO_TOOLS_MDB_WRITER_MDB_WRITER_H_

#include <string>
#include <vector>

#include "mdb_table.h"

namespace orvano {
class FileSystem;
}

namespace orvano::tools {

/// The bytes of a database holding `tables` in their order. Equal input gives equal bytes.
/// Throws ProgramError naming the table (and row) for what CheckTables refuses or a row longer
/// than a page holds.
std::string BuildMdb(const std::vector<MdbTable>& tables);

/// Writes the database of `tables` to `path` through `fs`: into a temporary file beside it,
/// renamed over `path` once complete, so no reader ever sees half a database.
/// Throws ProgramError as BuildMdb (nothing is written then), UnexpectedError when the file
/// cannot be written.
void WriteMdb(FileSystem& fs, const std::string& path, const std::vector<MdbTable>& tables);

/// WriteMdb through the real file system.
void WriteMdb(const std::string& path, const std::vector<MdbTable>& tables);

}  // namespace orvano::tools

#endif  // ORVANO_TOOLS_MDB_WRITER_MDB_WRITER_H_
