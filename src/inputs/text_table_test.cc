#include "inputs/text_table.h"

#include <gtest/gtest.h>

#include "support/string_helpers.h"

namespace orvano {
namespace {

TEST(TextTable, IndexFindsWhatTheSortedSearchFinds) {
  TextTable texts;
  texts.depths[0] = Table(2, 0);
  for (const auto& [address, text] : {std::pair<Cell, Cell>{Cell(), "null address"},
                                      {5.0, "number address"},
                                      {"A.b", "first"},
                                      {"A.a", Cell()},
                                      {"A.b", "second"},
                                      {"B.\xF0\x9F\x98\x80", "emoji"},
                                      {"B.\xEE\x80\x80", "private use"}}) {
    texts.depths[0].AddRow({address, text});
  }
  SortRowsByFirstColumn(texts.depths[0]);
  texts.depths[1] = Table(2, 0);
  texts.depths[1].AddRow({"A.b.c", "deep"});

  const std::vector<std::string> keys = {
      "A.b", "A.a",           "A.c", "B.\xF0\x9F\x98\x80", "B.\xEE\x80\x80", "A.b.c", "5", "",
      "x",   "a.b.c.d.e.f.g", "A.B"};
  std::vector<const Cell*> searched;
  for (const std::string& key : keys) searched.push_back(FindText(texts, key));
  IndexTextTable(&texts);
  EXPECT_EQ(4u, texts.by_address[0].size());  // text addresses only, equal ones once
  for (std::size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(searched[i], FindText(texts, keys[i])) << keys[i];
  }
  ASSERT_NE(nullptr, FindText(texts, "A.b"));
  EXPECT_EQ("first", CellText(*FindText(texts, "A.b")));  // the first of equal addresses
  EXPECT_TRUE(IsNull(*FindText(texts, "A.a")));
  EXPECT_EQ(nullptr, FindText(texts, "5"));  // a number address is no text address

  {
    // A copy keeps a working index; a new index follows changed tables.
    TextTable copy = texts;
    EXPECT_EQ("deep", CellText(*FindText(copy, "A.b.c")));
    copy.depths[1].AddRow({"A.b.d", "added"});
    IndexTextTable(&copy);
    EXPECT_EQ("added", CellText(*FindText(copy, "A.b.d")));
  }
}

}  // namespace
}  // namespace orvano
