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
