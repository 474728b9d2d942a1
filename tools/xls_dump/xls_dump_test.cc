#include "xls_dump/xls_dump.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inputs/biff_reader.h"
#include "inputs/parsed_workbook.h"
#include "support/byte_reader.h"
#include "testing/test_util.h"
#include "xls_writer/xls_writer.h"

namespace orvano {
namespace {

TEST(XlsDumpTest, WritesNumbersAsTheDumpsDo) {
  EXPECT_EQ(NumberJson(42), "42.0");
  EXPECT_EQ(NumberJson(-7), "-7.0");
  EXPECT_EQ(NumberJson(-0.0), "-0.0");
  EXPECT_EQ(NumberJson(0.1), "0.1");
  EXPECT_EQ(NumberJson(12.3456), "12.3456");
  EXPECT_EQ(NumberJson(0.0001), "0.0001");
  EXPECT_EQ(NumberJson(0.00001), "1e-05");
  EXPECT_EQ(NumberJson(1.5e-7), "1.5e-07");
  EXPECT_EQ(NumberJson(1e15), "1000000000000000.0");
  EXPECT_EQ(NumberJson(1e16), "1e+16");
  EXPECT_EQ(NumberJson(1.2345678901234567e17), "1.2345678901234566e+17");
  EXPECT_EQ(NumberJson(1e300), "1e+300");
  EXPECT_EQ(StringJson("a\"b\\c\n\x01\xCE\xB1"), "\"a\\\"b\\\\c\\n\\u0001\xCE\xB1\"");
}

// Every .xls beside its dump (written by other programs) reads as the dump says, byte for byte
// from the sheets on (the file and reader names before them differ).
TEST(XlsDumpTest, MatchesTheRealWorldDumps) {
  ORVANO_SKIP_IF_NO_SHARED(folder, "realworld/");
  auto fs = NewPosixFileSystem();
  const auto sheets = [](const std::string& json) { return json.substr(json.find("\"sheets\"")); };
  int compared = 0;
  for (const FolderEntry& entry : fs->ListFolder(folder)) {
    const std::string& name = entry.name;
    if (name.size() < 4 || name.substr(name.size() - 4) != ".xls") continue;
    SCOPED_TRACE(name);
    const std::string expected = testing::ReadBytes(folder + name + ".json");
    ASSERT_NE(expected.find("\"sheets\""), std::string::npos);
    EXPECT_EQ(sheets(expected),
              sheets(WorkbookToJson(*ReadWorkbookFile(*fs, folder + name), name)));
    ++compared;
  }
  EXPECT_GE(compared, 6);
}

TEST(XlsDumpTest, DumpsEveryCellKindOfOurWriter) {
  XlsWorkbook book;
  XlsSheet& s = book.AddSheet("Kinds");
  s.Set(0, 0, XlsCell::Text("t\"x"));
  s.Set(0, 1, XlsCell::Number(0.5));
  s.Set(1, 0, XlsCell::Bool(true));
  s.Set(1, 1, XlsCell::Error(XlsError::kDiv0));
  s.Set(2, 0, XlsCell::Formula(std::string("f")));
  s.Set(2, 3, XlsCell::Blank());
  book.AddSheet("Empty");
  const std::string bytes = BuildXlsBytes(book);
  const auto workbook = ParseWorkbookBytes(AsBytes(bytes), "k.xls");
  EXPECT_EQ(WorkbookToJson(*workbook, "dir/k.xls"),
            "{\"file\": \"k.xls\", \"reader\": \"orvano xls_dump\", \"sheets\": [\n"
            " {\"tab\": \"Kinds\", \"rows\": 3, \"columns\": 2, \"cells\": [\n"
            "   [0, 0, \"text\", \"t\\\"x\"],\n"
            "   [0, 1, \"number\", 0.5],\n"
            "   [1, 0, \"boolean\", 1],\n"
            "   [1, 1, \"error\", 7],\n"
            "   [2, 0, \"text\", \"f\"]\n"
            "  ]},\n"
            " {\"tab\": \"Empty\", \"rows\": 0, \"columns\": 0, \"cells\": [\n"
            "\n"
            "  ]}\n"
            "]}\n");
}

}  // namespace
}  // namespace orvano
