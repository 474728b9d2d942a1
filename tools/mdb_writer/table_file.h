// The readable table file of the mdb_writer command: one table per file, line 1 its name, line 2
// the tab-separated "Name:Type" headers, then one tab-separated row per line, "\N" for null and
// backslash escapes for tab, line feed, carriage return and backslash.

#ifndef ORVANO_TOOLS_MDB_WRITER_TABLE_FILE_H_
#define ORVANO_TOOLS_MDB_WRITER_TABLE_FILE_H_

#include <string>
#include <string_view>

#include "mdb_table.h"

namespace orvano::tools {

/// The table described by `text` (UTF-8, a byte-order mark is skipped; lines end at LF, CR LF or
/// CR). Types are Long, Integer, Text, Memo and Boolean (any case); Boolean values are true,
/// false, 1 or 0; whole numbers are decimal with an optional "-". Values are not range-checked
/// here (CheckTables does that).
/// Throws ProgramError naming `file_name`, the line and the column on the first fault: missing
/// name or header line, a header without ":" or with an unknown type, a row with the wrong number
/// of fields, an unknown escape, a value that does not read as its column's kind.
MdbTable ParseTableFile(std::string_view text, const std::string& file_name);

/// `value` escaped for a table file field: "\N" for null, backslash escapes in texts, "true" or
/// "false", decimal numbers. The inverse of what ParseTableFile reads.
std::string FormatTableFileField(const MdbValue& value);

}  // namespace orvano::tools

#endif  // ORVANO_TOOLS_MDB_WRITER_TABLE_FILE_H_
