#include "row_encoder.h"

#include <cstdint>

#include "jet/jet4_format.h"
#include "le_bytes.h"
#include "long_values.h"
#include "row_pages.h"
#include "support/errors.h"
#include "support/text_codec.h"
#include "table_layout.h"

namespace orvano::jet4 {

namespace {

bool IsNullValue(const tools::MdbValue& value) {
  return std::holds_alternative<std::monostate>(value);
}

}  // namespace

std::string EncodeRow(const TableLayout& layout, const std::vector<tools::MdbValue>& values,
                      std::vector<RowPlacer>& long_value_pages) {
  const std::size_t column_count = layout.columns.size();
  const std::size_t mask_size = (column_count + 7) / 8;
  const std::size_t table_size = layout.var_count > 0 ? 2u * layout.var_count + 4u : 0u;

  // Variable columns first as UTF-16LE data, to learn the row's size.
  std::vector<std::string> var_data(layout.var_count);
  std::size_t size = 2 + layout.fixed_size + table_size + mask_size;
  for (const ColumnLayout& column : layout.columns) {
    const auto* text = std::get_if<std::string>(&values[column.number]);
    if (column.is_fixed || text == nullptr) continue;
    var_data[column.var_index] = Utf8ToUtf16Le(*text);
    size += column.type == kTypeMemo ? kMemoFieldSize : var_data[column.var_index].size();
  }
  if (size > kMaxRowSize) {
    throw ProgramError("the row needs " + std::to_string(size) + " bytes, a row holds at most " +
                           std::to_string(kMaxRowSize),
                       "mdb_writer");
  }
  // Short memos stay in the row while it has room; the others move to long-value pages.
  std::size_t room = kMaxRowSize - size;
  for (const ColumnLayout& column : layout.columns) {
    if (column.type != kTypeMemo || IsNullValue(values[column.number])) continue;
    std::string& data = var_data[column.var_index];
    if (data.size() <= kMaxInlineMemoBytes && data.size() <= room) {
      room -= data.size();
      data = InlineMemo(data);
    } else {
      data = StoreMemo(long_value_pages[column.long_value_slot], data);
    }
  }

  std::string row;
  AppendU16(row, static_cast<std::uint16_t>(column_count));
  row.append(layout.fixed_size, '\0');
  std::string null_mask(mask_size, '\0');
  std::vector<std::uint16_t> var_offsets(layout.var_count);
  for (const ColumnLayout& column : layout.columns) {
    const tools::MdbValue& value = values[column.number];
    bool present = !IsNullValue(value);
    if (column.type == kTypeBoolean) {
      present = std::get<bool>(value);
    } else if (column.is_fixed && present) {
      PutLe(row, 2 + column.fixed_offset, static_cast<std::uint64_t>(std::get<std::int64_t>(value)),
            column.length);
    }
    if (present) null_mask[column.number / 8] |= static_cast<char>(1u << (column.number % 8));
  }
  // Variable data in variable-column order; a null column takes no bytes.
  for (std::size_t i = 0; i < var_data.size(); ++i) {
    var_offsets[i] = static_cast<std::uint16_t>(row.size());
    row += var_data[i];
  }
  if (layout.var_count > 0) {
    AppendU16(row, static_cast<std::uint16_t>(row.size()));  // end of the variable data
    for (std::size_t i = var_offsets.size(); i-- > 0;) AppendU16(row, var_offsets[i]);
    AppendU16(row, layout.var_count);
  }
  row += null_mask;
  return row;
}

}  // namespace orvano::jet4
