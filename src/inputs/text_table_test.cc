#include "inputs/text_table.h"

#include <gtest/gtest.h>

#include "support/string_helpers.h"

namespace orvano {
namespace {

std::array<Table, 5> Depths() {
  std::array<Table, 5> depths;
  depths[0] = Table(2, 0);
  for (const auto& [address, text] : {std::pair<Cell, Cell>{Cell(), "null address"},
                                      {5.0, "number address"},
                                      {"A.b", "first"},
                                      {"A.a", Cell()},
                                      {"A.b", "second"},
                                      {"B.\xF0\x9F\x98\x80", "emoji"},
                                      {"B.\xEE\x80\x80", "private use"}}) {
    depths[0].AddRow({address, text});
  }
  SortRowsByFirstColumn(depths[0]);
  depths[1] = Table(2, 0);
  depths[1].AddRow({"A.b.c", "deep"});
  return depths;
}

TEST(TextTable, IndexFindsWhatTheSortedSearchFinds) {
  const TextTable searched = MakeTextTable(Depths(), false);
  const TextTable indexed = MakeTextTable(Depths(), true);
  EXPECT_TRUE(searched.addresses->by_address[0].empty());
  EXPECT_EQ(4u, indexed.addresses->by_address[0].size());  // text addresses only, equal ones once
  // Rows whose address is no text are left out; the others keep their order.
  std::vector<std::vector<Cell>> text_rows = Depths()[0].rows();
  std::erase_if(text_rows, [](const std::vector<Cell>& row) { return !IsText(row[0]); });
  EXPECT_EQ(DepthRows(searched, 0).rows(), text_rows);

  for (const std::string key : {"A.b", "A.a", "A.c", "B.\xF0\x9F\x98\x80", "B.\xEE\x80\x80",
                                "A.b.c", "5", "", "x", "a.b.c.d.e.f.g", "A.B"}) {
    const Cell* by_search = FindText(searched, key);
    const Cell* by_index = FindText(indexed, key);
    ASSERT_EQ(by_search == nullptr, by_index == nullptr) << key;
    if (by_search != nullptr) {
      EXPECT_EQ(*by_search, *by_index) << key;
    }
  }
  ASSERT_NE(nullptr, FindText(indexed, "A.b"));
  EXPECT_EQ("first", CellText(*FindText(indexed, "A.b")));  // the first of equal addresses
  EXPECT_TRUE(IsNull(*FindText(indexed, "A.a")));
  EXPECT_EQ(nullptr, FindText(indexed, "5"));  // a number address is no text address
  EXPECT_EQ(nullptr, FindText(TextTable(), "A.b"));
}

TEST(TextTable, LanguagesShareTheAddressesAndReadTheirOwnColumn) {
  TextTable first = MakeTextTable(Depths());
  auto rows = std::make_shared<Table>(2, 0);
  for (const auto& row : first.rows->rows()) rows->AddRow({row[0], "other " + CellText(row[0])});
  const TextTable second{first.addresses, rows, 1};
  EXPECT_EQ("first", CellText(*FindText(first, "A.b")));
  EXPECT_EQ("other first", CellText(*FindText(second, "A.b")));
  EXPECT_EQ("other deep", CellText(*FindText(second, "A.b.c")));
}

}  // namespace
}  // namespace orvano
