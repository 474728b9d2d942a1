#include "table_layout.h"

#include "jet/jet4_format.h"

namespace orvano::jet4 {

namespace {

// Bytes a fixed column takes in a row; Booleans live only in the null mask.
std::uint16_t FixedSize(std::uint8_t type) {
  switch (type) {
    case kTypeInteger:
      return 2;
    case kTypeLongInteger:
      return 4;
    default:
      return 0;
  }
}

bool IsFixed(std::uint8_t type) {
  return type == kTypeBoolean || type == kTypeInteger || type == kTypeLongInteger;
}

}  // namespace

TableLayout MakeTableLayout(const std::vector<ColumnSpec>& columns, bool is_system) {
  TableLayout layout;
  layout.is_system = is_system;
  for (const ColumnSpec& spec : columns) {
    ColumnLayout column;
    column.name = spec.name;
    column.type = spec.type;
    column.number = static_cast<std::uint16_t>(layout.columns.size());
    column.is_fixed = IsFixed(spec.type);
    column.is_deleted = spec.is_deleted;
    if (column.is_fixed) {
      column.fixed_offset = layout.fixed_size;
      column.length = FixedSize(spec.type);
      layout.fixed_size += column.length;
    } else {
      column.var_index = layout.var_count++;
      column.length = spec.type == kTypeText ? 2 * kMaxTextCharacters : 0;
      if (spec.type == kTypeMemo) column.long_value_slot = layout.long_value_columns++;
    }
    layout.columns.push_back(column);
  }
  return layout;
}

}  // namespace orvano::jet4
