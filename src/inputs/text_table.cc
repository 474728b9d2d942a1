#include "inputs/text_table.h"

#include <algorithm>
#include <string>
#include <utility>

namespace orvano {

TextTable MakeTextTable(std::array<Table, 5> depths, bool indexed) {
  auto addresses = std::make_shared<TextAddresses>();
  auto rows = std::make_shared<Table>(1, 0);
  for (std::size_t k = 0; k < depths.size(); ++k) {
    if (depths[k].column_count() < 2) continue;
    for (std::vector<Cell>& row : depths[k].rows()) {
      const auto* address = std::get_if<std::string>(&row[0]);
      if (address == nullptr) continue;
      addresses->text_rows[k].push_back(static_cast<std::uint32_t>(rows->row_count()));
      addresses->depths[k].Add(*address);
      rows->AddRow({std::move(row[1])});
    }
    if (indexed) addresses->by_address[k].Build(addresses->depths[k]);
  }
  return {std::move(addresses), std::move(rows), 0};
}

Table DepthRows(const TextTable& texts, std::size_t k) {
  const AddressList& addresses = texts.addresses->depths[k];
  Table result(2, 0);
  for (std::size_t r = 0; r < addresses.size(); ++r) {
    result.AddRow({std::string(addresses[r]),
                   texts.rows->At(texts.column, texts.addresses->text_rows[k][r])});
  }
  return result;
}

const Cell* FindText(const TextTable& texts, std::string_view address) {
  auto dots = std::count(address.begin(), address.end(), '.');
  if (dots < 1 || dots > 5 || texts.addresses == nullptr) return nullptr;
  const auto k = static_cast<std::size_t>(dots - 1);
  const AddressList& list = texts.addresses->depths[k];
  const AddressIndex& index = texts.addresses->by_address[k];
  const std::optional<std::size_t> row =
      index.empty() ? list.FindInOrder(address) : index.Find(list, address);
  if (!row) return nullptr;
  return &texts.rows->rows()[texts.addresses->text_rows[k][*row]][texts.column];
}

}  // namespace orvano
