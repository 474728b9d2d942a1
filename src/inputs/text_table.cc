#include "inputs/text_table.h"

#include <algorithm>

#include "support/string_helpers.h"

namespace orvano {

void IndexTextTable(TextTable* texts) {
  for (std::size_t k = 0; k < texts->depths.size(); ++k) {
    auto& index = texts->by_address[k];
    index.clear();
    const Table& table = texts->depths[k];
    if (table.column_count() < 2) continue;
    index.reserve(table.row_count());
    for (std::size_t r = 0; r < table.row_count(); ++r) {
      if (const auto* address = std::get_if<std::string>(&table.At(0, r))) {
        index.emplace(*address, r);  // keeps the first of equal addresses
      }
    }
  }
}

const Cell* FindText(const TextTable& texts, std::string_view address) {
  auto dots = std::count(address.begin(), address.end(), '.');
  if (dots < 1 || dots > 5) return nullptr;
  const Table& table = texts.depths[dots - 1];
  if (table.column_count() < 2) return nullptr;
  const auto& index = texts.by_address[dots - 1];
  std::int32_t row = -1;
  if (!index.empty()) {
    auto it = index.find(address);
    if (it != index.end()) row = static_cast<std::int32_t>(it->second);
  } else {
    row = FindStringInArray(address, table, 0);
  }
  return row < 0 ? nullptr : &table.At(1, static_cast<std::size_t>(row));
}

}  // namespace orvano
