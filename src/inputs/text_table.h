// TextTable: every text of the run's language with its address index, by depth. Entry k holds
// the texts whose address index has k + 1 dots, as a table of two columns (0: address index,
// 1: the text or null), sorted by column 0 for FindRowInSortedTable, and a hash index of each
// table so that the index formulas of a large project find their texts in constant time.

#ifndef ORVANO_INPUTS_TEXT_TABLE_H_
#define ORVANO_INPUTS_TEXT_TABLE_H_

#include <array>
#include <string_view>

#include "inputs/address_index.h"
#include "support/table.h"

namespace orvano {

struct TextTable {
  /// depths[k]: texts with k + 1 dots in their address index; a table without rows when none.
  std::array<Table, 5> depths;
  /// by_address[k]: each address index of depths[k] with its first row, made by IndexTextTable
  /// from the tables as they are; empty when not made, and FindText then searches the table.
  std::array<AddressIndex, 5> by_address;
};

/// Fills `texts->by_address` from `texts->depths` (text cells of column 0; the first row of
/// equal ones). Call it again after changing the tables.
void IndexTextTable(TextTable* texts);

/// The text cell (column 1) of the row whose address index equals `address` exactly, looked up
/// in the entry for its number of dots; the first such row when several are equal. nullptr when
/// the address has no dots or more than five, or no row has it.
const Cell* FindText(const TextTable& texts, std::string_view address);

}  // namespace orvano

#endif  // ORVANO_INPUTS_TEXT_TABLE_H_
