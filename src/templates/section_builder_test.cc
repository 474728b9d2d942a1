#include "templates/section_builder.h"

#include <gtest/gtest.h>

#include "support/errors.h"
#include "templates/page_state.h"
#include "templates/run_inputs.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using testing::RecordingErrorSink;

struct SectionBuilderTest : public ::testing::Test {
  SectionBuilderTest() {
    inputs.sheets.entries = {{"Drives", true}, {"standard", false}};
    page.sheet_index = 1;
    page.machine_name = "M1";
    page.position = "3";
  }
  Table Build(const Table& part) { return BuildSectionTable(inputs, page, part, errors); }

  RunInputs inputs;
  PageState page;
  RecordingErrorSink errors;
};

// A part table: row 0 empty, then `rows` (column 0 the class).
Table Part(std::vector<std::vector<Cell>> rows) {
  Table table(3, 1);
  for (auto& row : rows) table.AddRow(std::move(row));
  return table;
}

TEST_F(SectionBuilderTest, ReplacesWildcardsOutsideColumnAndRowZero) {
  Table part = Part({{"###FLD", "Pos ###FLD", "###FLD/###FLD"}, {12.0, "###MNR###OVERVIEW"}});
  part.At(1, 0) = "###FLD";
  Table out = Build(part);
  EXPECT_EQ("###FLD|###FLD", out.TextAt(0, 1) + "|" + out.TextAt(1, 0));
  EXPECT_EQ("Pos 3|3/3|M1", out.TextAt(1, 1) + "|" + out.TextAt(2, 1) + "|" + out.TextAt(1, 2));
  EXPECT_EQ("Pos ###FLD", part.TextAt(1, 1));  // the caller's table is not changed
  EXPECT_EQ("M1", page.wildcards[0].second);
  EXPECT_EQ("3", page.wildcards[1].second);
}

TEST_F(SectionBuilderTest, ExpandsRangesOnlyOnTheStandardSheet) {
  const Table part = Part({{13.0, "###SDR[REJ]", "head"},
                           {13.0, "R###FLD", "###ADDR:10+1[FREJ]:ADDR"},
                           {14.0, "S", "###ADDR:20+2[FREJ]:ADDR"},
                           {13.0, "###EDR[REJ]", "###ADDR:1+1[FLD]:ADDR"}});
  {
    inputs.description.reject_count = 60;  // (60 - 50) / 2 + 1 = 6 repetitions of 2 rows
    Table out = Build(part);
    ASSERT_EQ(2u, page.range_blocks.size());
    const Table& block = page.range_blocks[1];
    ASSERT_EQ(13u, block.row_count());
    for (std::size_t k = 1; k <= 6; ++k) {
      EXPECT_EQ("13", block.TextAt(0, 2 * k - 1));
      EXPECT_EQ("R3", block.TextAt(1, 2 * k - 1));
      EXPECT_EQ(std::to_string(10 + k), block.TextAt(2, 2 * k - 1));
      EXPECT_EQ(std::to_string(20 + 2 * k), block.TextAt(2, 2 * k));
    }
    EXPECT_EQ("###SDR[REJ]1", out.TextAt(1, 1));
    EXPECT_EQ("###EDR[REJ]1", out.TextAt(1, 4));
    EXPECT_EQ("###ADDR:10+1[FREJ]:ADDR", out.TextAt(2, 2));  // inside: left for the block
    EXPECT_EQ("4", out.TextAt(2, 4));  // the end marker row is evaluated again
    EXPECT_EQ(6, page.block_number);   // the last repetition
  }
  {
    inputs.description.reject_count = 50;
    Table out = Build(part);
    EXPECT_EQ(1u, page.range_blocks.size());
    EXPECT_EQ("###SDR[REJ]", out.TextAt(1, 1));
    EXPECT_EQ("###EDR[REJ]", out.TextAt(1, 4));
  }
  inputs.description.reject_count = 51;  // 1.5 repetitions round to 2
  Build(part);
  EXPECT_EQ(5u, page.range_blocks.at(1).row_count());
  for (std::optional<std::size_t> sheet :
       {std::optional<std::size_t>(0), std::optional<std::size_t>()}) {
    page.sheet_index = sheet;  // another sheet, or no sheet: plain text
    page.block_number = 5;     // kept between calls
    Table out = Build(part);
    EXPECT_EQ(1u, page.range_blocks.size());
    EXPECT_EQ("15", out.TextAt(2, 2));
  }
  EXPECT_TRUE(errors.failures.empty());
}

TEST_F(SectionBuilderTest, WarningAndFaultBlocksKeepTheirClass) {
  inputs.description.warning_count = 257;  // 2 repetitions
  inputs.description.fault_count = 258;    // 3 repetitions
  Table out = Build(Part({{14.0, "###SDR[WAR]"},
                          {14.0, "W ###ADDR:0+1[FWAR]:ADDR"},
                          {14.0, "###EDR[WAR]"},
                          {15.0, "###SDR[ALA]"},
                          {15.0, "A"},
                          {15.0, "###EDR[ALA]"}}));
  ASSERT_EQ(3u, page.range_blocks.size());
  const Table& warnings = page.range_blocks[1];
  EXPECT_EQ("14|W 2|15", warnings.TextAt(0, 2) + "|" + warnings.TextAt(1, 2) + "|" +
                             page.range_blocks[2].TextAt(0, 3));
  EXPECT_EQ("###EDR[ALA]2", out.TextAt(1, 6));
}

TEST_F(SectionBuilderTest, RangesWithoutRowsMakeNoBlock) {
  inputs.description.reject_count = 60;
  // The end marker on the row after the start marker, or on the start marker's own row (no
  // wrapped row count): each reported under "GetHTMLFromXL", no block.
  for (const Table& part : {Part({{13.0, "###SDR[REJ]"}, {13.0, "###EDR[REJ]"}}),
                            Part({{13.0, "###SDR[REJ]", "###EDR[REJ]"}, {13.0, "x"}}),
                            Part({{13.0, "###SDR[REJ]###EDR[REJ]"}})}) {
    Build(part);
    EXPECT_EQ(1u, page.range_blocks.size());
  }
  ASSERT_EQ(3u, errors.failures.size());
  for (const RecordingErrorSink::Failure& failure : errors.failures) {
    EXPECT_EQ("GetHTMLFromXL", failure.procedure);
    EXPECT_EQ(err::kDivisionByZero, failure.number);
  }
}

}  // namespace
}  // namespace orvano
