#include "generation/allocation.h"

namespace orvano {

std::string OriginTextInWorkbook(const RowOrigin& origin) {
  if (origin.sheet_row == 0) return "";
  std::string text = origin.sheet + "!" + std::to_string(origin.sheet_row);
  if (origin.block != 0) {
    text += " (block " + std::to_string(origin.block) + ", repetition " +
            std::to_string(origin.repetition) + ")";
  }
  return text;
}

std::string OriginText(const RowOrigin& origin) {
  std::string text = OriginTextInWorkbook(origin);
  if (text.empty() || origin.workbook.empty()) return text;
  return origin.workbook + ":" + text;
}

std::vector<AllocationRow> AllocationRowsOf(std::vector<ShownRow> shown, const std::string& section,
                                            const std::string& machine, const PartPlace& part) {
  std::vector<AllocationRow> rows;
  rows.reserve(shown.size());
  for (ShownRow& row : shown) {
    AllocationRow& out = rows.emplace_back();
    out.section = section;
    out.machine = machine;
    out.position = std::move(row.position);
    out.origin.workbook = part.workbook;
    out.origin.sheet = part.sheet;
    if (part.first_row && row.origin.part_row != 0) {
      out.origin.sheet_row = *part.first_row + row.origin.part_row;
    }
    out.origin.block = row.origin.block;
    out.origin.repetition = row.origin.repetition;
    out.font_class = std::move(row.font_class);
    out.cells = std::move(row.cells);
    out.address_columns = std::move(row.address_columns);
  }
  return rows;
}

std::string WorkbookFileName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string_view PageKindName(AllocationPageKind kind) {
  switch (kind) {
    case AllocationPageKind::kSection:
      return "section";
    case AllocationPageKind::kDetail:
      return "detail";
    case AllocationPageKind::kOverview:
      return "overview";
  }
  return "section";
}

}  // namespace orvano
