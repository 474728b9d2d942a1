#include "table_file.h"

#include <gtest/gtest.h>

#include "support/errors.h"
#include "testing/test_util.h"

namespace orvano::tools {
namespace {

using Row = std::vector<MdbValue>;

TEST(TableFileTest, ReadsTypesNullsAndEscapes) {
  const MdbTable table = ParseTableFile(
      "\xEF\xBB\xBFTtexts\r\n"
      "Id:Long\tSmall:integer\tName:Text\tBody:Memo\tOn:Boolean\tA:b:Text\r\n"
      "-5\t7\ta\\tb\\nc\\rd\\\\e\t\\N\ttrue\t\r\n"
      "\\N\t\\N\t\\\\N\tx\tFALSE\t:\n"
      "0\t-0\t\\N\t\t1\tz",
      "t.txt");
  EXPECT_EQ(table.name, "Ttexts");
  ASSERT_EQ(table.columns.size(), 6u);
  EXPECT_EQ(table.columns[1].type, MdbType::kInteger);
  EXPECT_EQ(table.columns[4].type, MdbType::kBoolean);
  EXPECT_EQ(table.columns[5].name, "A:b");  // the type follows the last ":"
  const std::vector<Row> expected = {
      Row{std::int64_t{-5}, std::int64_t{7}, "a\tb\nc\rd\\e", std::monostate{}, true, ""},
      Row{std::monostate{}, std::monostate{}, "\\N", "x", false, ":"},
      Row{std::int64_t{0}, std::int64_t{0}, std::monostate{}, "", true, "z"},
  };
  EXPECT_EQ(table.rows, expected);

  // Formatting a field and reading it back gives the value again.
  for (const Row& row : expected) {
    std::string line;
    for (std::size_t c = 0; c < row.size(); ++c)
      line += (c ? "\t" : "") + FormatTableFileField(row[c]);
    const std::string file = "T\nA:Long\tB:Long\tC:Text\tD:Memo\tE:Boolean\tF:Text\n" + line;
    EXPECT_EQ(ParseTableFile(file, "f").rows, std::vector<Row>{row});
  }
}

TEST(TableFileTest, ReportsFileLineAndColumn) {
  auto fault = [](std::string_view text) {
    return testing::ProgramErrorOf([&] { ParseTableFile(text, "t.txt"); });
  };
  EXPECT_EQ(fault(""), "t.txt:1: the first line must name the table");
  EXPECT_EQ(fault("T\nA:Date\n"),
            "t.txt:2: unknown column type \"Date\" (known: Long, Integer, Text, Memo, Boolean)");
  EXPECT_EQ(fault("T\nA:Long\tB:Text\n1\tx\n2\n"), "t.txt:4: the row has 1 fields for 2 columns");
  EXPECT_EQ(fault("T\nA:Long\n12x\n"), "t.txt:3: column \"A\": \"12x\" is not a whole number");
  EXPECT_EQ(fault("T\nA:Text\na\\x\n"),
            "t.txt:3: unknown escape \\x (known: \\t \\n \\r \\\\ \\N)");
}

}  // namespace
}  // namespace orvano::tools
