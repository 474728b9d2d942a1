#include "generation/address_check.h"

#include <map>
#include <tuple>

#include "support/error_sink.h"

namespace orvano {
namespace {

// A cell's place as the warning names the earlier one: "Drives!C12", for a generated row with
// its block and repetition, then the machine and position when the page has them.
std::string EarlierPlace(const AllocationRow& row, std::size_t column) {
  const SourcePlace cell{row.origin.sheet, {}, row.origin.sheet_row, column, 0};
  std::string text = row.origin.sheet_row != 0 ? PlaceText(cell) : row.origin.sheet;
  if (row.origin.block != 0) {
    text += " (block " + std::to_string(row.origin.block) + ", repetition " +
            std::to_string(row.origin.repetition) + ")";
  }
  if (!row.machine.empty()) text += " (" + row.machine + ", position " + row.position + ")";
  return text;
}

}  // namespace

void NoteAddressesGivenTwice(const std::vector<AllocationRow>& rows,
                             const std::string& workbook_path, ErrorSink& sink) {
  // (machine, position, column, address) -> the row that gave it first.
  std::map<std::tuple<std::string_view, std::string_view, std::size_t, std::string_view>,
           const AllocationRow*>
      first;
  for (const AllocationRow& row : rows) {
    for (std::size_t column : row.address_columns) {
      if (column >= row.cells.size() || row.cells[column].empty()) continue;
      const std::string& address = row.cells[column];
      auto [it, inserted] = first.try_emplace({row.machine, row.position, column, address}, &row);
      if (inserted) continue;
      PlaceScope at(sink, {row.origin.sheet, workbook_path, row.origin.sheet_row, column, 0});
      sink.Note(ProblemKind::kAllocationWarning,
                "address \"" + address + "\" also at " + EarlierPlace(*it->second, column));
    }
  }
}

}  // namespace orvano
