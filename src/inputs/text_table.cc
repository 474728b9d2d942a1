#include "inputs/text_table.h"

#include <algorithm>

#include "support/string_helpers.h"

namespace orvano {

void IndexTextTable(TextTable* texts) {
  for (std::size_t k = 0; k < texts->depths.size(); ++k) {
    const Table& table = texts->depths[k];
    if (table.column_count() < 2) {
      texts->by_address[k].Clear();
    } else {
      texts->by_address[k].Build(table);
    }
  }
}

const Cell* FindText(const TextTable& texts, std::string_view address) {
  auto dots = std::count(address.begin(), address.end(), '.');
  if (dots < 1 || dots > 5) return nullptr;
  const Table& table = texts.depths[dots - 1];
  if (table.column_count() < 2) return nullptr;
  const auto& index = texts.by_address[dots - 1];
  if (!index.empty()) {
    const std::optional<std::size_t> row = index.Find(table, address);
    return row ? &table.At(1, *row) : nullptr;
  }
  const std::optional<std::size_t> row = FindRowInSortedTable(table, 0, address);
  return row ? &table.At(1, *row) : nullptr;
}

}  // namespace orvano
