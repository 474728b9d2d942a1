// The description of a database to write: tables with named, typed columns and rows of values.
// Plain data built by tests, the demo and the mdb_writer command, checked by CheckTables before
// anything is written.

#ifndef ORVANO_TOOLS_MDB_WRITER_MDB_TABLE_H_
#define ORVANO_TOOLS_MDB_WRITER_MDB_TABLE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace orvano::tools {

/// The column types the writer supports.
enum class MdbType { kLongInteger, kInteger, kText, kMemo, kBoolean };

/// One value: null, a whole number (Long Integer, Integer), a UTF-8 text (Text, Memo) or a
/// boolean (Boolean).
using MdbValue = std::variant<std::monostate, std::int64_t, std::string, bool>;

/// How a column changed after rows were written, for files like those a table editor leaves
/// behind: rows keep the columns they were written with.
enum class MdbColumnChange {
  kNone,
  kDeleted,  // every row holds its value, but the table definition no longer lists it
  kAdded,    // the table's first `rows_before_added` rows hold no place for it
};

struct MdbColumn {
  std::string name;  // UTF-8
  MdbType type = MdbType::kText;
  MdbColumnChange change = MdbColumnChange::kNone;
};

struct MdbTable {
  std::string name;  // UTF-8
  std::vector<MdbColumn> columns;
  std::vector<std::vector<MdbValue>> rows;  // each row holds one value per column
  // How many rows, from the first, were written before the added columns existed.
  std::size_t rows_before_added = 0;
};

/// The type's name as the command's table files write it ("Long", "Integer", "Text", "Memo",
/// "Boolean").
std::string_view MdbTypeName(MdbType type);

/// Checks that `tables` can be written: names of tables and columns are 1 to 64 characters
/// without control characters or . ! ` [ ], table names are unique and column names unique in
/// their table (without regard to case), a table has 1 to 255 columns, each row has one value per
/// column of the column's kind, Integer values fit 16 bits and Long Integer values 32 bits, Text
/// values hold at most 255 characters, texts and names are valid UTF-8 without NUL characters or
/// characters beyond U+FFFF (libmdb reads UCS-2 and turns those into "?"), texts do not begin
/// with U+FEFF (readers take that for a compressed text), and a Boolean is never null. Added
/// columns come after all others, at least one column is not deleted, `rows_before_added` is at
/// most the row count, and those rows hold null (also for a Boolean) in every added column.
/// Throws ProgramError naming the table, column and row on the first fault.
void CheckTables(const std::vector<MdbTable>& tables);

}  // namespace orvano::tools

#endif  // ORVANO_TOOLS_MDB_WRITER_MDB_TABLE_H_
