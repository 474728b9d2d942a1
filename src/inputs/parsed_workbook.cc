#include "inputs/parsed_workbook.h"

#include <algorithm>

#include "inputs/biff_format.h"

namespace orvano {

const WorkbookCell* ParsedWorkbook::Find(std::size_t k, std::uint32_t row,
                                         std::uint32_t column) const {
  const Sheet& s = sheets_[k];
  if (row >= s.rows || column >= s.columns) return nullptr;
  const WorkbookCell* first = s.cells.data() + s.row_start[row];
  const WorkbookCell* last = s.cells.data() + s.row_start[row + 1];
  const WorkbookCell* it = std::lower_bound(
      first, last, column, [](const WorkbookCell& c, std::uint32_t col) { return c.column < col; });
  return it != last && it->column == column ? it : nullptr;
}

Cell ParsedWorkbook::Value(const WorkbookCell* cell) const {
  if (cell == nullptr) return Cell{};
  switch (cell->kind) {
    case CellKind::kNumber:
      return Cell{cell->number};
    case CellKind::kText:
      return Cell{std::string(Text(*cell))};
    case CellKind::kBoolean:
      return Cell{std::string(cell->code ? "TRUE" : "FALSE")};
    case CellKind::kError:
      return Cell{ErrorText(cell->code)};
  }
  return Cell{};
}

std::string ParsedWorkbook::ErrorText(std::uint8_t code) {
  switch (code) {
    case biff::kErrorNull:
      return "#NULL!";
    case biff::kErrorDiv0:
      return "#DIV/0!";
    case biff::kErrorValue:
      return "#VALUE!";
    case biff::kErrorRef:
      return "#REF!";
    case biff::kErrorName:
      return "#NAME?";
    case biff::kErrorNum:
      return "#NUM!";
    case biff::kErrorNa:
      return "#N/A";
  }
  return "#ERR" + std::to_string(code);
}

std::uint32_t ParsedWorkbook::AddText(std::string_view utf8) {
  texts_.push_back(
      TextSpan{static_cast<std::uint32_t>(pool_.size()), static_cast<std::uint32_t>(utf8.size())});
  pool_.append(utf8);
  return static_cast<std::uint32_t>(texts_.size() - 1);
}

void ParsedWorkbook::ReserveTexts(std::size_t texts, std::size_t bytes) {
  texts_.reserve(texts_.size() + texts);
  pool_.reserve(pool_.size() + bytes);
}

void ParsedWorkbook::AddSheet(std::string name, std::vector<WorkbookCell> cells) {
  const auto by_key = [](const WorkbookCell& a, const WorkbookCell& b) {
    return a.Key() < b.Key();
  };
  // Writers put cells in row order, so sorting is rarely needed; stable keeps the later of two
  // cells at one position after the earlier one.
  if (!std::is_sorted(cells.begin(), cells.end(), by_key)) {
    std::stable_sort(cells.begin(), cells.end(), by_key);
  }
  std::size_t kept = 0;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (kept > 0 && cells[kept - 1].Key() == cells[i].Key()) {
      cells[kept - 1] = cells[i];
    } else {
      cells[kept++] = cells[i];
    }
  }
  cells.resize(kept);
  cells.shrink_to_fit();

  Sheet sheet;
  sheet.name = std::move(name);
  for (const WorkbookCell& c : cells)
    sheet.columns = std::max<std::uint32_t>(sheet.columns, c.column + 1u);
  sheet.rows = cells.empty() ? 0 : cells.back().row + 1u;
  sheet.row_start.assign(sheet.rows + 1, 0);
  // row_start[r + 1] counts the cells of rows up to r.
  for (const WorkbookCell& c : cells) ++sheet.row_start[c.row + 1u];
  for (std::size_t r = 1; r < sheet.row_start.size(); ++r) {
    sheet.row_start[r] += sheet.row_start[r - 1];
  }
  sheet.cells = std::move(cells);
  sheets_.push_back(std::move(sheet));
}

}  // namespace orvano
