// TextTable: every text of the run's language with its address index, by depth. Entry k holds
// the texts whose address index has k + 1 dots. The address side (the address indices sorted,
// a hash index of each depth so that the index formulas of a large project find their texts in
// constant time, and the row of each one's text) is worked out once per read and shared by
// every language read with it; a language adds only its column of texts.

#ifndef ORVANO_INPUTS_TEXT_TABLE_H_
#define ORVANO_INPUTS_TEXT_TABLE_H_

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "inputs/address_index.h"
#include "inputs/address_list.h"
#include "support/table.h"

namespace orvano {

/// The address side of the texts of one read, the same for every language in it.
struct TextAddresses {
  /// depths[k]: the address indices with k + 1 dots, sorted in code-unit order.
  std::array<AddressList, 5> depths;
  /// text_rows[k][r]: the row of the text rows that holds the text of depths[k]'s row r.
  std::array<std::vector<std::uint32_t>, 5> text_rows;
  /// by_address[k]: each address index of depths[k] with its first row; empty when not built,
  /// and FindText then searches the sorted table.
  std::array<AddressIndex, 5> by_address;
};

struct TextTable {
  std::shared_ptr<const TextAddresses> addresses;
  /// The texts' rows, of every language read together; `column` is this language's.
  std::shared_ptr<const Table> rows;
  std::size_t column = 0;
};

/// A TextTable from tables of two columns (0: address index, 1: the text or null), entry k for
/// the address indices with k + 1 dots, each sorted by column 0 (SortRowsByFirstColumn). Rows
/// whose address is no text are left out: no look-up could find them. With `indexed`, each depth
/// gets its hash index.
TextTable MakeTextTable(std::array<Table, 5> depths, bool indexed = true);

/// Entry `k` of `texts` as a table of two columns (address index, text), in order.
Table DepthRows(const TextTable& texts, std::size_t k);

/// The text cell of the address index `address`, looked up in the entry for its number of dots;
/// the first such row when several are equal. nullptr when the address has no dots or more
/// than five, or no row has it.
const Cell* FindText(const TextTable& texts, std::string_view address);

}  // namespace orvano

#endif  // ORVANO_INPUTS_TEXT_TABLE_H_
