// Where a column's value lies in one stored Jet row. A row keeps the columns it was written
// with: its column count and null mask cover the columns of that time (deleted ones included),
// its offset table the variable columns of that time. So a column is found by its number, fixed
// offset and variable index, and a column added after the row was written is null in it. Used
// by the database reader process; pure functions over bytes.

#ifndef ORVANO_JET_JET_ROW_H_
#define ORVANO_JET_JET_ROW_H_

#include <cstddef>
#include <span>
#include <vector>

namespace orvano {

/// Jet 3 rows count columns and variable offsets in single bytes (with a jump table for rows
/// over 256 bytes); Jet 4 and later in two bytes.
enum class JetVersion { kJet3, kJet4 };

/// A column as the table definition places it in rows.
struct JetRowColumn {
  unsigned number = 0;  // its bit in the null mask; numbers of deleted columns stay taken
  bool is_fixed = false;
  std::size_t fixed_offset = 0;  // fixed columns: from the end of the row's column count
  std::size_t fixed_size = 0;    // fixed columns: bytes (Yes/No: 0, the value is the mask bit)
  unsigned var_index = 0;        // variable columns: entry in the row's offset table
};

/// What one row holds for one column.
struct JetField {
  bool is_set = false;     // its mask bit: has a value (Yes/No: is Yes)
  std::size_t offset = 0;  // where the value starts in the row (when set)
  std::size_t size = 0;
};

/// The fields of `columns` in the stored `row`: one per column, in their order. A column whose
/// number is not below the row's column count was added after the row was written and is not
/// set. Throws DataError naming the fault when the row is too short for its column count, null
/// mask or offset table, or a set value lies outside the row's data (before its offset table and
/// null mask), or a variable column with a value has no entry in the offset table.
std::vector<JetField> CrackJetRow(std::span<const std::byte> row, JetVersion version,
                                  std::span<const JetRowColumn> columns);

}  // namespace orvano

#endif  // ORVANO_JET_JET_ROW_H_
