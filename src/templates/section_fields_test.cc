#include "templates/section_fields.h"

#include <gtest/gtest.h>

#include "app/run_context.h"
#include "fonts/font_classes.h"
#include "support/text_codec.h"
#include "testing/run_context_test.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using testing::FontClassBlock;

struct SectionFieldsTest : public testing::RunContextTest {
  void SetUp() override {
    context.workbook.sheet_list = {{"CommonDirect", 0}, {"STANDARD", 0}, {"Drives", 1}};
    context.page.sheet_index = 1;
    context.direct_cells = Table(5, 12);
    context.direct_cells.At(3, 10) = "  Line 3 ";
    context.direct_cells.At(1, 2) = 42.0;
    context.direct_cells.At(2, 2) = "x###DIREKT###2,2";  // leads back to itself
  }
  std::string Log() { return EventLog(); }
  bool Logged(const std::string& note) { return Log().find(note + "\r\n") != std::string::npos; }

  // Classes 11 and 12 with all three parts, from a small template.
  FontClassTable Classes() {
    LineList lines =
        SplitLines("t.htm\nc###FONTCLASS###11\nc###FONTCLASS###12" +
                   FontClassBlock("11", "A ###ZELLE###2 [###ZELLE###3]", "<a>", "</a>") +
                   FontClassBlock("12", "B ###ZELLE###2", "<b>", "</b>"));
    return GetHTMLFontClasses(context, &lines);
  }
};

Table Rows(std::vector<std::vector<Cell>> rows, std::size_t columns = 5) {
  Table table(columns, 1);
  for (auto& row : rows) table.AddRow(std::move(row));
  return table;
}

TEST_F(SectionFieldsTest, ReplacesDirectCellReferences) {
  EXPECT_EQ("a Line 3|42b", GetDirectExcelCell(context, "a ###DIREKT###3,10|###DIREKT###1,2b"));
  EXPECT_EQ("42x", GetDirectExcelCell(context, "###DIREKT###1,2x"));
  EXPECT_EQ("plain", GetDirectExcelCell(context, "plain"));
  EXPECT_TRUE(Log().empty());
  // Malformed references are noted once each and left; the well-formed one is still done.
  EXPECT_EQ("###DIREKT###3;10 ###DIREKT###x ###DIREKT###3;10 42",
            GetDirectExcelCell(context,
                               "###DIREKT###3;10 ###DIREKT###x ###DIREKT###3;10 "
                               "###DIREKT###1,2"));
  const std::string note = "Direct cell reference not valid: ###DIREKT###3;10 (sheet";
  ASSERT_NE(std::string::npos, Log().find(note));
  EXPECT_EQ(Log().find(note), Log().rfind(note));
  EXPECT_TRUE(Logged("Direct cell reference not valid: ###DIREKT###x (sheet \"CommonDirect\")"));
  // A cell outside the sheet is reported and left.
  EXPECT_EQ("<###DIREKT###9,99>", GetDirectExcelCell(context, "<###DIREKT###9,99>"));
  EXPECT_EQ(1u, host.CallsOf("error").size());
  // A cell that leads back to itself ends after 1000 rounds.
  std::string endless = GetDirectExcelCell(context, "###DIREKT###2,2");
  EXPECT_EQ(std::string(1000, 'x') + "###DIREKT###2,2", endless);
  EXPECT_TRUE(Logged("Direct cell reference does not end: ###DIREKT###2,2"));
}

TEST_F(SectionFieldsTest, PutsRangeBlocksInPlaceOfTheirRanges) {
  context.build.range_blocks.assign(3, Table());
  context.build.range_blocks[2] = Rows({{13.0, "b1"}, {13.0, "b2"}, {13.0, "b3"}});
  Table section = Rows({{Cell(), "trailing"}, {"", "trailing"}});
  for (const char* text : {"r1", "r2", "r3", "###SDR[REJ]2", "r5", "r6", "###EDR[REJ]2", "r8"}) {
    section.rows().insert(section.rows().end() - 2, {12.0, text, Cell(), Cell(), Cell()});
  }
  auto column1 = [](const Table& table) {
    std::string all;
    for (std::size_t r = 1; r < table.row_count(); ++r) all += table.TextAt(1, r) + " ";
    return all;
  };
  EXPECT_EQ("r1 r2 r3 b1 b2 b3 r8 ", column1(GetSectionFieldXL(context, section)));
  context.page.sheet_index = 2;  // any other sheet: copied unchanged, trailing rows cut
  EXPECT_EQ("r1 r2 r3 ###SDR[REJ]2 r5 r6 ###EDR[REJ]2 r8 ",
            column1(GetSectionFieldXL(context, section)));
  context.page.sheet_index = 1;
  {  // an end marker without a number drops the range; one with junk is reported
    Table fields = GetSectionFieldXL(
        context, Rows({{12.0, "###SDR[WAR]"}, {12.0, "x"}, {12.0, "###EDR[WAR]"}, {12.0, "y"}}));
    EXPECT_EQ("y ", column1(fields));
    EXPECT_TRUE(host.calls.empty());
    fields = GetSectionFieldXL(context, Rows({{12.0, "###SDR[ALA]"}, {12.0, "###EDR[ALA]z"}}));
    ASSERT_EQ(1u, host.CallsOf("error").size());
    EXPECT_NE(std::string::npos, host.calls[0].text.find("GetSectionFieldXL"));
  }
}

TEST_F(SectionFieldsTest, WritesRowsThroughTheirFontClasses) {
  const FontClassTable classes = Classes();
  auto transfer = [&](const Table& fields) {
    LineList out;
    TransferXLFieldToSectionHTML(context, fields, &out, classes);
    std::string all;
    for (const std::string& line : out) all += line + "\n";
    return all;
  };
  // Groups A, A, B; a blank row is as if absent; a text class equals its number.
  EXPECT_EQ("<a>\nA 1 [x]\nA 2 []\n</a>\n<b>\nB 3\n</b>\n<a>\nA 4 []\nA 5 []\n</a>\n",
            transfer(Rows({{11.0, "1", "x"},
                           {Cell(), "blank"},
                           {"11", " 2 "},
                           {12.0, "3"},
                           {"", "blank"},
                           {11.0, "4"},
                           {11.0, "5"}})));
  EXPECT_EQ("Following Fontclass not defined: 99\n<b>\nB z\n</b>\n",
            transfer(Rows({{99.0, "x"}, {"99", "y"}, {12.0, "z"}})));
  EXPECT_TRUE(host.calls.empty());
}

TEST_F(SectionFieldsTest, FillsCellPlaceholdersByTheirWholeNumber) {
  const Table fields = Rows({{11.0, "one", "two", "three", "four"}});
  EXPECT_EQ("one|11|",
            FillCellPlaceholders(context, "###ZELLE###2|###ZELLE###1|###ZELLE###7", fields, 1));
  EXPECT_EQ("[]11[11]",
            FillCellPlaceholders(context, "[###ZELLE###12]###ZELLE###1[###ZELLE###1]", fields, 1));
  EXPECT_EQ("###ZELLE###",
            FillCellPlaceholders(context, "###ZELLE###2", Rows({{1.0, "###ZELLE###"}}),
                                 1));  // inserted text is not filled again
  EXPECT_EQ("###ZELLE###x four ###ZELLE###0",
            FillCellPlaceholders(context, "###ZELLE###x ###ZELLE###5 ###ZELLE###0", fields, 1));
  EXPECT_TRUE(Logged("Cell placeholder not valid in sheet \"STANDARD\", row 1: ###ZELLE###x"));
  EXPECT_TRUE(Logged("Cell placeholder not valid in sheet \"STANDARD\", row 1: ###ZELLE###0"));
}

TEST_F(SectionFieldsTest, AppendsRowsAfterTheDestination) {
  Table destination = Rows({{1.0}, {2.0}, {3.0}, {4.0}, {5.0}}, 2);
  AppendTextField(context, Rows({{6.0}, {7.0}, {8.0, "a", "b", "c", "d", "e"}}, 6), &destination);
  EXPECT_EQ("9x6 8|e", std::to_string(destination.row_count()) + "x" +
                           std::to_string(destination.column_count()) + " " +
                           destination.TextAt(0, 8) + "|" + destination.TextAt(5, 8));
  Table initial(7, 1);  // the driver's start: row 0 only
  AppendTextField(context, Rows({{1.0}, {2.0}, {3.0}, {4.0}}, 2), &initial);
  EXPECT_EQ("5 4", std::to_string(initial.row_count()) + " " + initial.TextAt(0, 4));
}

}  // namespace
}  // namespace orvano
