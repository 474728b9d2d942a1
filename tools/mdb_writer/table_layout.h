// Where each column of a table lives in the file: its type code and number, its place in the
// fixed part of a row or in the variable-column table, and its declared length. Shared by the
// table definition page and the row encoder, so both agree on every offset.

#ifndef ORVANO_TOOLS_MDB_WRITER_TABLE_LAYOUT_H_
#define ORVANO_TOOLS_MDB_WRITER_TABLE_LAYOUT_H_

#include <cstdint>
#include <string>
#include <vector>

namespace orvano::jet4 {

/// A column to lay out: its name and Jet type code (kTypeBoolean, kTypeText, ...). A deleted
/// column keeps its number and its place in rows but is left out of the table definition.
struct ColumnSpec {
  std::string name;
  std::uint8_t type = 0;
  bool is_deleted = false;
};

struct ColumnLayout {
  std::string name;
  std::uint8_t type = 0;
  std::uint16_t number = 0;  // position in the table, also its bit in the null mask
  bool is_fixed = false;
  bool is_deleted = false;         // in rows, but not in the table definition
  std::uint16_t fixed_offset = 0;  // fixed columns: offset inside the fixed part of a row
  std::uint16_t var_index = 0;     // variable columns: index in the row's offset table
  std::uint16_t length = 0;        // bytes (Text: 2 per character; Boolean, Memo, OLE: 0)
  int long_value_slot = -1;        // Memo columns: 0, 1, ... in column order; else -1
};

struct TableLayout {
  bool is_system = false;
  std::vector<ColumnLayout> columns;
  std::uint16_t fixed_size = 0;  // bytes of the fixed part of every row
  std::uint16_t var_count = 0;
  int long_value_columns = 0;  // number of Memo columns
};

/// Lays out `columns` in their order: fixed columns (Boolean, Integer, Long Integer) packed one
/// after another, variable columns (Text, Memo, OLE) numbered in order. The layout of the first
/// columns of a list is the same as the layout of the first columns alone.
/// Requires: each type is one of the codes above.
TableLayout MakeTableLayout(const std::vector<ColumnSpec>& columns, bool is_system);

}  // namespace orvano::jet4

#endif  // ORVANO_TOOLS_MDB_WRITER_TABLE_LAYOUT_H_
