#include "inputs/text_table.h"

#include <algorithm>
#include <utility>

#include "support/string_helpers.h"

namespace orvano {

TextTable MakeTextTable(std::array<Table, 5> depths, bool indexed) {
  auto addresses = std::make_shared<TextAddresses>();
  auto rows = std::make_shared<Table>(1, 0);
  for (std::size_t k = 0; k < depths.size(); ++k) {
    Table& addresses_k = addresses->depths[k];
    if (depths[k].column_count() < 2) continue;
    addresses_k = Table(1, 0);
    for (std::vector<Cell>& row : depths[k].rows()) {
      addresses->text_rows[k].push_back(static_cast<std::uint32_t>(rows->row_count()));
      rows->AddRow({std::move(row[1])});
      addresses_k.AddRow({std::move(row[0])});
    }
    if (indexed) addresses->by_address[k].Build(addresses_k);
  }
  return {std::move(addresses), std::move(rows), 0};
}

Table DepthRows(const TextTable& texts, std::size_t k) {
  const Table& addresses = texts.addresses->depths[k];
  Table result(2, 0);
  for (std::size_t r = 0; r < addresses.row_count(); ++r) {
    result.AddRow({addresses.At(0, r),
                   texts.rows->At(texts.column, texts.addresses->text_rows[k][r])});
  }
  return result;
}

const Cell* FindText(const TextTable& texts, std::string_view address) {
  auto dots = std::count(address.begin(), address.end(), '.');
  if (dots < 1 || dots > 5 || texts.addresses == nullptr) return nullptr;
  const auto k = static_cast<std::size_t>(dots - 1);
  const Table& table = texts.addresses->depths[k];
  if (table.column_count() < 1) return nullptr;
  const AddressIndex& index = texts.addresses->by_address[k];
  const std::optional<std::size_t> row =
      index.empty() ? FindRowInSortedTable(table, 0, address) : index.Find(table, address);
  if (!row) return nullptr;
  return &texts.rows->rows()[texts.addresses->text_rows[k][*row]][texts.column];
}

}  // namespace orvano
