#include "jet/jet_row.h"

#include <algorithm>
#include <string>

#include "support/byte_reader.h"

namespace orvano {
namespace {

using Bytes = std::span<const std::byte>;

std::string Size(std::size_t bytes) { return std::to_string(bytes) + " bytes"; }

// A reader from `at` to the end of `row`.
ByteReader ReaderAt(Bytes row, std::size_t at) {
  if (at > row.size()) {
    throw DataError("offset " + std::to_string(at) + " lies beyond the row of " + Size(row.size()));
  }
  return ByteReader(row.subspan(at), at);
}

// The offset table of a Jet 4 row, which ends at `table_end` (where the null mask starts): the
// variable-column count (2 bytes) last, before it the start of each variable column's value and,
// first, the end of the variable data, each 2 bytes, stored from the last entry down. Returns the
// entries in column order followed by the end, and sets `*table_start`.
std::vector<std::size_t> ReadJet4Offsets(Bytes row, std::size_t table_end,
                                         std::size_t* table_start) {
  if (table_end < 4) throw DataError("the row of " + Size(row.size()) + " has no offset table");
  const std::size_t count = ReaderAt(row, table_end - 2).U16();
  const std::size_t table_size = 2 + 2 * (count + 1);
  if (table_size > table_end) {
    throw DataError("the offset table of " + std::to_string(count) +
                    " variable columns does not fit in the row of " + Size(row.size()));
  }
  *table_start = table_end - table_size;
  std::vector<std::size_t> offsets(count + 1);
  ByteReader entries = ReaderAt(row, *table_start);
  for (std::size_t i = count + 1; i-- > 0;) offsets[i] = entries.U16();
  return offsets;
}

// The offset table of a Jet 3 row: the count and offsets take 1 byte each, so a row longer than
// 256 bytes adds a jump table between them, listing (from the count down) the first variable
// column whose offset lies in each next 256-byte block; its size follows from the row's length,
// and its last entry may be a filler.
std::vector<std::size_t> ReadJet3Offsets(Bytes row, std::size_t table_end,
                                         std::size_t* table_start) {
  if (table_end < 2) throw DataError("the row of " + Size(row.size()) + " has no offset table");
  const std::size_t count = ReaderAt(row, table_end - 1).U8();
  const std::size_t jumps_stored = (row.size() - 1) / 256;
  const std::size_t table_size = 1 + jumps_stored + count + 1;
  if (table_size > table_end) {
    throw DataError("the offset table of " + std::to_string(count) +
                    " variable columns does not fit in the row of " + Size(row.size()));
  }
  *table_start = table_end - table_size;
  const std::size_t first_entry = table_end - 1 - jumps_stored - 1;  // of column 0
  // The offsets before the table need fewer jumps than the row's length suggests.
  std::size_t jumps = jumps_stored;
  if (jumps > 0 && (first_entry - count) / 256 < jumps) --jumps;
  std::vector<std::size_t> offsets(count + 1);
  std::size_t jumps_passed = 0;
  for (std::size_t i = 0; i <= count; ++i) {
    while (jumps_passed < jumps && ReaderAt(row, table_end - 2 - jumps_passed).U8() == i) {
      ++jumps_passed;
    }
    offsets[i] = ReaderAt(row, first_entry - i).U8() + 256 * jumps_passed;
  }
  return offsets;
}

std::string ColumnName(const JetRowColumn& column) {
  return "column number " + std::to_string(column.number);
}

}  // namespace

std::vector<JetField> CrackJetRow(Bytes row, JetVersion version,
                                  std::span<const JetRowColumn> columns) {
  const bool is_jet3 = version == JetVersion::kJet3;
  const std::size_t count_size = is_jet3 ? 1 : 2;
  ByteReader head(row);
  if (row.size() < count_size) throw DataError("the row of " + Size(row.size()) + " is empty");
  const std::size_t column_count = is_jet3 ? head.U8() : head.U16();
  const std::size_t mask_size = (column_count + 7) / 8;
  if (count_size + mask_size > row.size()) {
    throw DataError("the row of " + Size(row.size()) + " cannot hold the null mask of " +
                    std::to_string(column_count) + " columns");
  }
  const Bytes mask = row.subspan(row.size() - mask_size);
  std::size_t data_end = row.size() - mask_size;

  // Rows of a table without variable columns have no offset table. A row holding none of the
  // variable columns it is read for needs none either (they were added after it was written).
  const bool needs_offsets = std::any_of(columns.begin(), columns.end(), [&](const auto& column) {
    return !column.is_fixed && column.number < column_count;
  });
  std::vector<std::size_t> offsets;
  if (needs_offsets) {
    std::size_t table_start = 0;
    offsets = is_jet3 ? ReadJet3Offsets(row, data_end, &table_start)
                      : ReadJet4Offsets(row, data_end, &table_start);
    data_end = table_start;
  }

  std::vector<JetField> fields;
  fields.reserve(columns.size());
  for (const JetRowColumn& column : columns) {
    JetField field;
    if (column.number < column_count) {
      const auto bits = static_cast<unsigned>(mask[column.number / 8]);
      field.is_set = ((bits >> (column.number % 8)) & 1u) != 0;
    }
    if (field.is_set && column.is_fixed && column.fixed_size > 0) {
      field.offset = CheckedAdd(count_size, column.fixed_offset, "fixed column offset");
      field.size = column.fixed_size;
      if (field.offset > data_end || field.size > data_end - field.offset) {
        throw DataError(ColumnName(column) + ": its " + Size(field.size) + " at offset " +
                        std::to_string(field.offset) +
                        " lie beyond the row's data, which ends at " + std::to_string(data_end));
      }
    } else if (field.is_set && !column.is_fixed) {
      if (column.var_index + 1 >= offsets.size()) {
        throw DataError(ColumnName(column) + " has a value but the row has no entry " +
                        std::to_string(column.var_index) + " in its offset table of " +
                        std::to_string(offsets.empty() ? 0 : offsets.size() - 1) + " entries");
      }
      const std::size_t start = offsets[column.var_index];
      const std::size_t end = offsets[column.var_index + 1];
      if (start < count_size || start > end || end > data_end) {
        throw DataError(ColumnName(column) + ": its value from offset " + std::to_string(start) +
                        " to " + std::to_string(end) + " lies outside the row's data, from " +
                        std::to_string(count_size) + " to " + std::to_string(data_end));
      }
      field.offset = start;
      field.size = end - start;
    }
    fields.push_back(field);
  }
  return fields;
}

}  // namespace orvano
