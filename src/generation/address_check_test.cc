#include "generation/address_check.h"

#include <gtest/gtest.h>

#include "testing/test_util.h"

namespace orvano {
namespace {

AllocationRow Row(std::string machine, std::string position, std::size_t sheet_row,
                  std::vector<std::string> cells, std::vector<std::size_t> address_columns,
                  int block = 0, int repetition = 0) {
  AllocationRow row;
  row.section = "Drives";
  row.machine = std::move(machine);
  row.position = std::move(position);
  row.origin = {"Collection.xls", "Drives", sheet_row, block, repetition};
  row.cells = std::move(cells);
  row.address_columns = std::move(address_columns);
  return row;
}

TEST(AddressCheckTest, WarnsAtEveryLaterCellThatRepeatsAnAddressOfItsMachineAndPosition) {
  const std::vector<AllocationRow> rows = {
      Row("Filler", "1", 12, {"12", "", "A100.1", "Speed"}, {2}),
      Row("Filler", "1", 13, {"12", "", "A100.2", "A100.1"}, {2}),  // another column
      Row("Filler", "1", 14, {"12", "", "", "Note"}, {2}),          // no address
      Row("Filler", "1", 15, {"12", "", "A100.1"}, {}),             // no formula
      Row("Filler", "3", 16, {"12", "", "A100.1"}, {2}),            // another position
      Row("Filler", "1", 17, {"12", "", "A100.1"}, {2}),
      Row("Filler", "1", 20, {"12", "", "A100.2"}, {2}, 2, 3),
      Row("Filler", "1", 21, {"12", "", "A100.1"}, {2, 7}),  // a column past the cells
  };
  testing::RecordingErrorSink sink;
  NoteAddressesGivenTwice(rows, "/p/Collection.xls", sink);
  EXPECT_EQ((std::vector<std::string>{
                "address \"A100.1\" also at Drives!C12 (Filler, position 1)",
                "address \"A100.2\" also at Drives!C13 (Filler, position 1)",
                "address \"A100.1\" also at Drives!C12 (Filler, position 1)",
            }),
            sink.notes);
  EXPECT_EQ(
      (std::vector<std::string>{"/p/Collection.xls:Drives!C17", "/p/Collection.xls:Drives!C20",
                                "/p/Collection.xls:Drives!C21"}),
      sink.note_places);
  for (ProblemKind kind : sink.note_kinds) EXPECT_EQ(ProblemKind::kAllocationWarning, kind);

  // A generated row named as the earlier one says which repetition; a page of no machine has
  // no machine to name.
  sink = {};
  NoteAddressesGivenTwice(
      {Row("", "", 20, {"13", "", "DB1.0"}, {2}, 1, 2), Row("", "", 30, {"13", "", "DB1.0"}, {2})},
      "/p/Collection.xls", sink);
  EXPECT_EQ(
      std::vector<std::string>{"address \"DB1.0\" also at Drives!C20 (block 1, repetition 2)"},
      sink.notes);
}

}  // namespace
}  // namespace orvano
