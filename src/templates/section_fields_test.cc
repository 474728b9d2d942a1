#include "templates/section_fields.h"

#include <gtest/gtest.h>

#include "fonts/font_classes.h"
#include "support/errors.h"
#include "support/text_codec.h"
#include "templates/page_state.h"
#include "templates/run_inputs.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using testing::FontClassBlock;
using testing::RecordingErrorSink;

Table Rows(std::vector<std::vector<Cell>> rows, std::size_t columns = 5) {
  Table table(columns, 1);
  for (auto& row : rows) table.AddRow(std::move(row));
  return table;
}

// Rows as their column 1, each followed by a blank.
std::string Column1(const Table& table) {
  std::string all;
  for (std::size_t r = 1; r < table.row_count(); ++r) all += table.TextAt(1, r) + " ";
  return all;
}

TEST(DirectCellsTest, ReplacesDirectCellReferences) {
  Table direct(5, 12);
  direct.At(3, 10) = "  Line 3 ";
  direct.At(1, 2) = 42.0;
  direct.At(2, 2) = "x###DIREKT###2,2";  // leads back to itself
  direct.At(4, 1) = "\xC3\x8F\xC3\xB0";
  RecordingErrorSink errors;
  auto expand = [&](std::string_view text, std::optional<int> code_page = 1252) {
    return ExpandDirectCellReferences(direct, code_page, text, errors);
  };
  EXPECT_EQ("a Line 3|42b", expand("a ###DIREKT###3,10|###DIREKT###1,2b"));
  EXPECT_EQ("42x", expand("###DIREKT###1,2x"));
  EXPECT_EQ("plain", expand("plain"));
  EXPECT_EQ("\xD0\x9F\xD1\x80", expand("###DIREKT###4,1", 1251));  // through the code page
  EXPECT_TRUE(errors.notes.empty());
  // Malformed references are noted once each and left; the well-formed one is still done.
  EXPECT_EQ("###DIREKT###3;10 ###DIREKT###x ###DIREKT###3;10 42",
            expand("###DIREKT###3;10 ###DIREKT###x ###DIREKT###3;10 ###DIREKT###1,2"));
  EXPECT_EQ(std::vector<std::string>(
                {"Direct cell reference not valid: ###DIREKT###3;10 (sheet \"CommonDirect\")",
                 "Direct cell reference not valid: ###DIREKT###x (sheet \"CommonDirect\")"}),
            errors.notes);
  // A cell outside the sheet is reported and left.
  EXPECT_EQ("<###DIREKT###9,99>", expand("<###DIREKT###9,99>"));
  ASSERT_EQ(1u, errors.failures.size());
  testing::ExpectFailure(errors.failures[0], "GetDirectExcelCell", err::kSubscriptOutOfRange);
  // A cell that leads back to itself ends after 1000 rounds.
  errors.notes.clear();
  EXPECT_EQ(std::string(1000, 'x') + "###DIREKT###2,2", expand("###DIREKT###2,2"));
  EXPECT_EQ(std::vector<std::string>{"Direct cell reference does not end: ###DIREKT###2,2"},
            errors.notes);
}

TEST(SectionFieldsTest, PutsRangeBlocksInPlaceOfTheirRanges) {
  RunInputs inputs;
  inputs.sheets.entries = {{"CommonDirect", false}, {"STANDARD", false}, {"Drives", true}};
  PageState page;
  page.sheet_index = 1;
  page.range_blocks.assign(3, Table());
  page.range_blocks[2] = Rows({{13.0, "b1"}, {13.0, "b2"}, {13.0, "b3"}});
  RecordingErrorSink errors;
  Table section = Rows({{Cell(), "trailing"}, {"", "trailing"}});
  for (const char* text : {"r1", "r2", "r3", "###SDR[REJ]2", "r5", "r6", "###EDR[REJ]2", "r8"}) {
    section.rows().insert(section.rows().end() - 2, {12.0, text, Cell(), Cell(), Cell()});
  }
  EXPECT_EQ("r1 r2 r3 b1 b2 b3 r8 ", Column1(CollectSectionFields(inputs, page, section, errors)));
  page.sheet_index = 2;  // any other sheet: copied unchanged, trailing rows cut
  EXPECT_EQ("r1 r2 r3 ###SDR[REJ]2 r5 r6 ###EDR[REJ]2 r8 ",
            Column1(CollectSectionFields(inputs, page, section, errors)));
  page.sheet_index = 1;
  // An end marker without a number drops the range; one with junk is reported, and so is one
  // whose block is not there.
  EXPECT_EQ(
      "y ",
      Column1(CollectSectionFields(
          inputs, page,
          Rows({{12.0, "###SDR[WAR]"}, {12.0, "x"}, {12.0, "###EDR[WAR]"}, {12.0, "y"}}), errors)));
  EXPECT_TRUE(errors.failures.empty());
  for (const char* end : {"###EDR[ALA]z", "###EDR[ALA]3"}) {
    CollectSectionFields(inputs, page, Rows({{12.0, "###SDR[ALA]"}, {12.0, end}}), errors);
  }
  ASSERT_EQ(2u, errors.failures.size());
  testing::ExpectFailure(errors.failures[0], "GetSectionFieldXL", err::kTypeMismatch);
  testing::ExpectFailure(errors.failures[1], "GetSectionFieldXL", err::kSubscriptOutOfRange);
}

TEST(SectionFieldsTest, WritesRowsThroughTheirFontClasses) {
  RecordingErrorSink errors;
  // Classes 11 and 12 with all three parts, from a small template.
  LineList lines = SplitLines("t.htm\nc###FONTCLASS###11\nc###FONTCLASS###12" +
                              FontClassBlock("11", "A ###ZELLE###2 [###ZELLE###3]", "<a>", "</a>") +
                              FontClassBlock("12", "B ###ZELLE###2", "<b>", "</b>"));
  const FontClassTable classes = CollectFontClasses({"Arial", "1280"}, &lines, errors);
  auto transfer = [&](const Table& fields) {
    LineList out;
    AppendFieldRowsAsHtml(fields, classes, "Drives", &out, errors);
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
  EXPECT_TRUE(errors.failures.empty());
  EXPECT_TRUE(errors.notes.empty());
}

TEST(SectionFieldsTest, CellPlaceholdersTakeTheirWholeDigitRunAndNoteWhatIsNone) {
  RecordingErrorSink errors;
  const Table fields = Rows({{11.0, "one", "two", "three", "four"}});
  auto fill = [&](const std::string& line) {
    return CellPlaceholderLine(line).Fill(fields, 1, "Drives", errors);
  };
  EXPECT_EQ("one|11|11", fill("###ZELLE###2|###ZELLE###1|###ZELLE###1"));
  // Inserted text is not filled again.
  EXPECT_EQ("###ZELLE###",
            CellPlaceholderLine("###ZELLE###2").Fill(Rows({{1.0, "###ZELLE###"}}), 1, "X", errors));
  // Leading zeros do not count, however many there are.
  EXPECT_EQ("[two][two]", fill("[###ZELLE###0000000003][###ZELLE###003]"));
  EXPECT_EQ("[four]", fill("[###ZELLE###" + std::string(40, '0') + "5]"));
  // A number beyond the last column is no cell: nothing, and no note.
  EXPECT_EQ("[][][]",
            fill("[###ZELLE###99999999999999999999][###ZELLE###6][###ZELLE###1000000000]"));
  EXPECT_EQ("[]", fill("[###ZELLE###18446744073709551617]"));  // past 64 bits
  EXPECT_TRUE(errors.notes.empty());
  // Only no digits at all, or the number 0, is not valid.
  EXPECT_EQ("###ZELLE###0000000000", fill("###ZELLE###0000000000"));
  EXPECT_EQ("###ZELLE###x four", fill("###ZELLE###x ###ZELLE###5"));
  EXPECT_EQ(std::vector<std::string>(
                {"Cell placeholder not valid in sheet \"Drives\", row 1: ###ZELLE###0000000000",
                 "Cell placeholder not valid in sheet \"Drives\", row 1: ###ZELLE###x"}),
            errors.notes);
  // A note quotes the whole character after a bad placeholder, however many bytes it has.
  errors.notes.clear();
  const std::string line =
      "###ZELLE###\xC3\xA9 ###ZELLE###\xD0\x96 ###ZELLE###\xE2\x82\xAC "
      "###ZELLE###\xF0\x9F\x98\x80 ###ZELLE###";
  EXPECT_EQ(line, fill(line));
  const std::string prefix = "Cell placeholder not valid in sheet \"Drives\", row 1: ###ZELLE###";
  EXPECT_EQ(
      std::vector<std::string>({prefix + "\xC3\xA9", prefix + "\xD0\x96", prefix + "\xE2\x82\xAC",
                                prefix + "\xF0\x9F\x98\x80", prefix}),
      errors.notes);
  for (const std::string& note : errors.notes) EXPECT_TRUE(IsValidUtf8(note)) << note;
}

TEST(SectionFieldsTest, AppendsRowsAfterTheDestination) {
  Table destination = Rows({{1.0}, {2.0}, {3.0}, {4.0}, {5.0}}, 2);
  AppendRows(Rows({{6.0}, {7.0}, {8.0, "a", "b", "c", "d", "e"}}, 6), 3, &destination);
  EXPECT_EQ("9x6 8|e", std::to_string(destination.row_count()) + "x" +
                           std::to_string(destination.column_count()) + " " +
                           destination.TextAt(0, 8) + "|" + destination.TextAt(5, 8));
  Table initial(7, 1);  // the driver's start: row 0 only
  AppendRows(Rows({{1.0}, {2.0}, {3.0}, {4.0}}, 2), 0, &initial);
  EXPECT_EQ("5x7 4", std::to_string(initial.row_count()) + "x" +
                         std::to_string(initial.column_count()) + " " + initial.TextAt(0, 4));
  Table narrow(2, 1);  // one wider than the workbook's widest sheet
  AppendRows(Rows({{1.0}}, 2), 9, &narrow);
  EXPECT_EQ(10u, narrow.column_count());
}

}  // namespace
}  // namespace orvano
