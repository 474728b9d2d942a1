#include "inputs/address_index.h"

#include <gtest/gtest.h>

#include <string>

namespace orvano {
namespace {

// The first row holding `address` in column 0, found by looking at every row.
std::optional<std::size_t> LinearFind(const Table& table, const std::string& address) {
  for (std::size_t r = 0; r < table.row_count(); ++r) {
    const auto* text = std::get_if<std::string>(&table.At(0, r));
    if (text != nullptr && *text == address) return r;
  }
  return std::nullopt;
}

TEST(AddressIndex, FindsTheFirstRowOfEveryAddressAndNothingElse) {
  // Enough rows to fill the table's probe runs and wrap around its end; every seventh address
  // repeats an earlier one, every eleventh row has a number or null instead.
  Table table(2, 0);
  for (int i = 0; i < 5000; ++i) {
    Cell address = "G" + std::to_string(i % 97) + ".t" + std::to_string(i % 7 == 0 ? i / 7 : i);
    if (i % 11 == 0) address = i % 2 == 0 ? Cell(static_cast<double>(i)) : Cell();
    table.AddRow({address, static_cast<double>(i)});
  }
  AddressIndex index;
  EXPECT_FALSE(index.Find(table, "G0.t0"));  // not built yet
  index.Build(table);
  EXPECT_GT(index.size(), 3000u);
  for (int i = 0; i < 6000; ++i) {
    const std::string address = "G" + std::to_string(i % 97) + ".t" + std::to_string(i);
    EXPECT_EQ(LinearFind(table, address), index.Find(table, address)) << address;
  }
  EXPECT_FALSE(index.Find(table, "22"));  // number addresses are not indexed
  EXPECT_FALSE(index.Find(table, ""));

  // Rows removed after building are not found (the table must be indexed again).
  const std::string last = "G" + std::to_string(4999 % 97) + ".t4999";
  ASSERT_TRUE(index.Find(table, last));
  table.Resize(2, 10);
  EXPECT_FALSE(index.Find(table, last));
  index.Clear();
  EXPECT_TRUE(index.empty());
}

}  // namespace
}  // namespace orvano
