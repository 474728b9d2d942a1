#include "templates/section_builder.h"

#include <array>
#include <string>

#include "app/run_context.h"
#include "app/error_reporting.h"
#include "support/errors.h"
#include "support/number_text.h"
#include "support/string_helpers.h"
#include "support/text_case.h"
#include "templates/address_formulas.h"
#include "templates/conditions.h"

namespace orvano {
namespace {

constexpr std::string_view kProcedure = "GetHTMLFromXL";

// One kind of range: its markers, its item count in the description and the count the sheet's
// rows are made for.
struct RangeKind {
  std::string_view start;
  std::string_view end;
  std::int16_t MachineDescription::*count;
  int base;
};

constexpr std::array<RangeKind, 3> kRanges = {{
    {"###SDR[REJ]", "###EDR[REJ]", &MachineDescription::reject_count, 50},
    {"###SDR[WAR]", "###EDR[WAR]", &MachineDescription::warning_count, 256},
    {"###SDR[ALA]", "###EDR[ALA]", &MachineDescription::fault_count, 256},
}};

// The text of a cell that may hold markers; numbers and nulls hold none.
const std::string* TextOf(const Cell& cell) { return std::get_if<std::string>(&cell); }

// Works out one generated row of a block: address formulas with the repetition's number, then
// text look-ups. Conditions are not evaluated inside blocks.
Cell BlockCell(RunContext& context, const Cell& cell, int repetition) {
  const std::string* text = TextOf(cell);
  if (text == nullptr) return cell;
  std::string y = *text;
  if (Contains(y, "###ADDR:")) {
    context.build.block_number = repetition;
    y = CalculateAdressFormula(context, y);
  }
  if (Contains(y, "###INDEX:")) y = CalculateIndexFormula(context, y);
  return y;
}

// Closes the range that started at `start` (the row after the start marker) at end-marker row
// `row`, column `column`: builds its block, numbers both markers.
void CloseRange(RunContext& context, Table& table, const RangeKind& kind, std::size_t start,
                std::size_t row, std::size_t column) {
  // An end marker on the start marker's own row closes a range of no rows, like one on the
  // next row; subtracting would wrap around.
  const std::size_t rows = row >= start ? row - start : 0;
  const int count = context.description.*kind.count;
  double repeat = 0;
  if (count != kind.base) {
    if (rows == 0) {
      throw UnexpectedError(err::kDivisionByZero,
                            "Division by zero: the range " + std::string(kind.start) +
                                " has no rows between its markers (sheet row " +
                                std::to_string(row) + ")",
                            std::string(kProcedure));
    }
    repeat = RoundHalfEven(static_cast<double>(count - kind.base) / static_cast<double>(rows) + 1);
  }
  if (repeat <= 0 || rows == 0) return;
  const auto repetitions = static_cast<std::size_t>(repeat);
  Table block(table.column_count(), repetitions * rows + 1);
  // Every kind copies columns 0 to C, so warning and fault rows keep their class.
  for (std::size_t k = 1; k <= repetitions; ++k) {
    for (std::size_t i = 1; i <= rows; ++i) {
      for (std::size_t c = 0; c < table.column_count(); ++c) {
        block.At(c, (k - 1) * rows + i) =
            BlockCell(context, table.At(c, start + i - 1), static_cast<int>(k));
      }
    }
  }
  context.build.range_blocks.push_back(std::move(block));
  std::string number = std::to_string(context.build.range_blocks.size() - 1);
  for (std::size_t marker_row : {start - 1, row}) {
    Cell& marker = table.At(column, marker_row);
    marker = CellText(marker) + number;
  }
}

}  // namespace

std::string CurrentSheetName(const RunContext& context) {
  const auto index = context.page.sheet_index;
  const auto& sheets = context.workbook.sheet_list;
  if (index < 0 || static_cast<std::size_t>(index) >= sheets.size()) return "";
  return sheets[static_cast<std::size_t>(index)].name;
}

bool IsStandardSheet(const RunContext& context) {
  return EqualsIgnoringCase(CurrentSheetName(context), "Standard");
}

Table GetHTMLFromXL(RunContext& context, const Table& part) {
  SectionBuild& build = context.build;
  build.wildcards = {{{"MNR", context.page.machine_name},
                      {"FLD", context.page.position},
                      {"OVERVIEW", ""},
                      {"MAIN", ""}}};
  build.range_blocks.assign(1, Table());

  Table table = part;
  const bool standard = IsStandardSheet(context);
  std::size_t start = 0;  // the row after the open range's start marker; 0 when none is open
  for (std::size_t r = 1; r < table.row_count(); ++r) {
    for (std::size_t c = 1; c < table.column_count(); ++c) {
      const std::string* text = TextOf(table.At(c, r));
      if (text == nullptr) continue;
      const bool has_marker = Contains(*text, "###");
      // A cell without markers stays as copied, unless an open range must look for its end.
      if (!has_marker && (!standard || start == 0)) continue;
      std::string x = *text;
      if (has_marker) {
        if (start == 0 && standard) {
          for (const RangeKind& kind : kRanges) {
            if (Contains(x, kind.start)) start = r + 1;
          }
        }
        for (int pass = 0; pass < 5 && Contains(x, "###"); ++pass) {
          std::string next = ReplaceWildCards(context, x);
          if (next == x) break;  // a pass that changes nothing changes nothing later either
          x = std::move(next);
        }
        if (start == 0) {
          if (Contains(x, "###IF")) x = CalculateIfBedingungen(context, x);
          if (Contains(x, "###ADDR:")) x = CalculateAdressFormula(context, x);
          if (Contains(x, "###INDEX:")) x = CalculateIndexFormula(context, x);
        }
        if (!standard) {
          table.At(c, r) = std::move(x);
          continue;
        }
        table.At(c, r) = x;
      }
      if (!standard || start == 0) continue;
      for (const RangeKind& kind : kRanges) {
        if (start == 0 || !Contains(x, kind.end)) continue;
        Guarded(context.errors(), kProcedure,
                [&] { CloseRange(context, table, kind, start, r, c); });
        start = 0;
      }
    }
  }
  return table;
}

}  // namespace orvano
