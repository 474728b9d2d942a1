#include "generation/allocation.h"

namespace orvano {

namespace {

void AppendOriginInWorkbook(const RowOrigin& origin, std::string* out) {
  *out += origin.sheet;
  *out += '!';
  AppendOriginRow(origin, out);
}

}  // namespace

void AppendOriginRow(const RowOrigin& origin, std::string* out) {
  *out += std::to_string(origin.sheet_row);
  if (origin.block != 0) {
    *out += " (block ";
    *out += std::to_string(origin.block);
    *out += ", repetition ";
    *out += std::to_string(origin.repetition);
    *out += ')';
  }
}

std::string OriginTextInWorkbook(const RowOrigin& origin) {
  std::string text;
  if (origin.sheet_row != 0) AppendOriginInWorkbook(origin, &text);
  return text;
}

void AppendOriginPlace(const RowOrigin& origin, std::string* out) {
  if (!origin.workbook.empty()) {
    *out += origin.workbook;
    *out += ':';
  }
  *out += origin.sheet;
  *out += '!';
}

void AppendOriginText(const RowOrigin& origin, std::string* out) {
  if (origin.sheet_row == 0) return;
  AppendOriginPlace(origin, out);
  AppendOriginRow(origin, out);
}

std::string OriginText(const RowOrigin& origin) {
  std::string text;
  AppendOriginText(origin, &text);
  return text;
}

std::size_t SheetRowOf(const PartRowOrigin& row, const PartPlace& part) {
  return part.first_row && row.part_row != 0 ? *part.first_row + row.part_row : 0;
}

std::vector<AllocationRow> AllocationRowsOf(const ShownRows& shown, const std::string& section,
                                            const std::string& machine, const PartPlace& part) {
  std::vector<AllocationRow> rows;
  for (const std::shared_ptr<const ShownRowGroup>& group : shown) {
    group->ForEachRow([&](const ShownRowView& row) {
      AllocationRow& out = rows.emplace_back();
      out.section = section;
      out.machine = machine;
      out.position = row.position;
      out.origin = {part.workbook, part.sheet, SheetRowOf(row.origin, part), row.origin.block,
                    row.origin.repetition};
      out.font_class = row.font_class;
      out.cells.assign(row.cells.begin(), row.cells.end());
      out.address_columns.assign(row.address_columns.begin(), row.address_columns.end());
    });
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
