#include "templates/shown_rows.h"

#include <gtest/gtest.h>

#include "templates/page_state.h"
#include "templates/run_inputs.h"
#include "templates/section_fields.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

Table Rows(std::vector<std::vector<Cell>> rows, std::size_t columns = 4) {
  Table table(columns, 1);
  for (auto& row : rows) table.AddRow(std::move(row));
  return table;
}

// The rows of a Standard page keep where they came from: the part's own rows their row, the
// rows a range generated their block, repetition and the range row they copy.
TEST(ShownRowsTest, RowsKeepTheirOriginsCellsAndAddressCells) {
  RunInputs inputs;
  inputs.sheets.entries = {{"Standard", false}};
  PageState page;
  page.sheet_index = 0;
  page.range_blocks.assign(2, Table());
  page.range_blocks[1] = Rows({{13.0, "", "DB1.0"}, {13.0, "", "DB1.1"}, {13.0, "", "DB2.0"}});
  page.range_spans.assign(2, PageState::RangeSpan());
  page.range_spans[1] = {3, 2};  // a range of two rows from part row 3, repeated
  const Table part = Rows({{11.0, "", " Heading ", Cell()},
                           {Cell(), "###SDR[REJ]1"},
                           {13.0, "", "DB###ADDR:0+1[FREJ]:ADDR.0"},
                           {13.0, "", "DB###ADDR:0+1[FREJ]:ADDR.1"},
                           {Cell(), "###EDR[REJ]1"},
                           {"", "skipped: no class"},
                           {12.0, "", "E###ADDR:1:ADDR.0", 7.5}});
  // The section table as the builder leaves it: formulas worked out.
  Table section = part;
  section.At(2, 7) = "E1.0";
  testing::RecordingErrorSink errors;
  std::vector<PartRowOrigin> origins;
  auto fields =
      std::make_shared<const Table>(CollectSectionFields(inputs, page, section, errors, &origins));
  ASSERT_EQ(fields->row_count() - 1, origins.size());

  AddressCellsOfPart address_cells(part);
  struct Shown {
    std::string position;
    PartRowOrigin origin;
    std::string font_class;
    std::vector<std::string> cells;
    std::vector<std::size_t> address_columns;
  };
  std::vector<Shown> shown;
  ShownRowGroup(fields, origins, "2", address_cells).ForEachRow([&](const ShownRowView& row) {
    shown.push_back(
        {std::string(row.position), row.origin, std::string(row.font_class),
         std::vector<std::string>(row.cells.begin(), row.cells.end()),
         std::vector<std::size_t>(row.address_columns.begin(), row.address_columns.end())});
  });
  ASSERT_EQ(5U, shown.size());
  EXPECT_EQ((std::vector<std::string>{"11", "", "Heading"}), shown[0].cells);
  EXPECT_EQ(1U, shown[0].origin.part_row);
  EXPECT_TRUE(shown[0].address_columns.empty());
  const int expected[][3] = {{3, 1, 1}, {4, 1, 1}, {3, 1, 2}};
  for (int k = 0; k < 3; ++k) {
    const PartRowOrigin& origin = shown[1 + k].origin;
    EXPECT_EQ(expected[k][0], static_cast<int>(origin.part_row)) << k;
    EXPECT_EQ(expected[k][1], origin.block) << k;
    EXPECT_EQ(expected[k][2], origin.repetition) << k;
    EXPECT_EQ(std::vector<std::size_t>{2}, shown[1 + k].address_columns) << k;
  }
  EXPECT_EQ("DB2.0", shown[3].cells[2]);
  EXPECT_EQ((std::vector<std::string>{"12", "", "E1.0", "7.5"}), shown[4].cells);
  EXPECT_EQ(7U, shown[4].origin.part_row);
  EXPECT_EQ("2", shown[4].position);
  EXPECT_EQ("12", shown[4].font_class);
}

}  // namespace
}  // namespace orvano
