#include "templates/section_builder.h"

#include <array>
#include <optional>
#include <string>

#include "support/error_sink.h"
#include "support/errors.h"
#include "support/number_text.h"
#include "support/string_helpers.h"
#include "support/text_case.h"
#include "templates/address_formulas.h"
#include "templates/conditions.h"
#include "templates/page_state.h"
#include "templates/prepared_part.h"
#include "templates/run_inputs.h"

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

FormulaFactors FactorsOf(const RunInputs& inputs, const PageState& page) {
  return {page.machine_index, page.position, page.block_number, inputs.description.control_type};
}

// Works out one generated row of a block: address formulas with the repetition's number, then
// text look-ups. Conditions are not evaluated inside blocks.
Cell BlockCell(const RunInputs& inputs, PageState& page, const Cell& cell, int repetition,
               ErrorSink& errors) {
  const std::string* text = TextOf(cell);
  if (text == nullptr) return cell;
  std::string y = *text;
  if (Contains(y, "###ADDR:")) {
    page.block_number = repetition;
    y = ExpandAddressFormulas(FactorsOf(inputs, page), y, errors);
  }
  if (Contains(y, "###INDEX:")) {
    y = ExpandIndexFormulas(inputs.texts, inputs.language.code_page, y, errors);
  }
  return y;
}

// Closes the range that started at `start` (the row after the start marker) at end-marker row
// `row`, column `column`: builds its block, numbers both markers.
void CloseRange(const RunInputs& inputs, PageState& page, Table& table, const RangeKind& kind,
                std::size_t start, std::size_t row, std::size_t column, ErrorSink& errors) {
  // An end marker on the start marker's own row closes a range of no rows, like one on the
  // next row; subtracting would wrap around.
  const std::size_t rows = row >= start ? row - start : 0;
  const int count = inputs.description.*kind.count;
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
  PlaceScope place(errors, errors.place());  // a block cell's notes name the cell it copies
  // Every kind copies columns 0 to C, so warning and fault rows keep their class.
  for (std::size_t k = 1; k <= repetitions; ++k) {
    for (std::size_t i = 1; i <= rows; ++i) {
      for (std::size_t c = 0; c < table.column_count(); ++c) {
        if (page.part_first_row) {
          errors.set_place({CurrentSheetName(inputs.sheets, page), inputs.workbook_file,
                            *page.part_first_row + start + i - 1, c});
        }
        block.At(c, (k - 1) * rows + i) =
            BlockCell(inputs, page, table.At(c, start + i - 1), static_cast<int>(k), errors);
      }
    }
  }
  page.range_blocks.push_back(std::move(block));
  page.range_spans.push_back({start, rows});
  std::string number = std::to_string(page.range_blocks.size() - 1);
  for (std::size_t marker_row : {start - 1, row}) {
    Cell& marker = table.At(column, marker_row);
    marker = CellText(marker) + number;
  }
}

bool IsMarkerCell(const std::string& text) { return Contains(text, "###"); }

// A copy of `part` whose cells after the first row and column that hold markers are null: the
// section table's builder works those out from the part, and a copy would be thrown away.
Table CopyWithoutMarkerCells(const Table& part) {
  Table table(part.column_count(), 0);
  std::vector<std::vector<Cell>>& rows = table.rows();
  rows.reserve(part.row_count());
  for (std::size_t r = 0; r < part.row_count(); ++r) {
    const std::vector<Cell>& source = part.rows()[r];
    std::vector<Cell>& row = rows.emplace_back();
    row.reserve(source.size());
    for (std::size_t c = 0; c < source.size(); ++c) {
      const std::string* text = TextOf(source[c]);
      const bool worked_out = r > 0 && c > 0 && text != nullptr && IsMarkerCell(*text);
      row.push_back(worked_out ? Cell() : source[c]);
    }
  }
  return table;
}

}  // namespace

std::string_view CurrentSheetName(const SheetList& sheets, const PageState& page) {
  if (!page.sheet_index || *page.sheet_index >= sheets.entries.size()) return "";
  return sheets.entries[*page.sheet_index].name;
}

bool IsStandardSheet(const SheetList& sheets, const PageState& page) {
  return EqualsIgnoringCase(CurrentSheetName(sheets, page), "Standard");
}

void ResetWildcards(PageState& page) {
  page.wildcards = {
      {{"MNR", page.machine_name}, {"FLD", page.position}, {"OVERVIEW", ""}, {"MAIN", ""}}};
}

Table BuildSectionTable(const RunInputs& inputs, PageState& page, const Table& part,
                        ErrorSink& errors, const PreparedPart* prepared) {
  ResetWildcards(page);
  page.range_blocks.assign(1, Table());
  page.range_spans.assign(1, PageState::RangeSpan());

  Table table = CopyWithoutMarkerCells(part);
  const bool standard = IsStandardSheet(inputs.sheets, page);
  const std::string_view sheet_name = CurrentSheetName(inputs.sheets, page);
  PlaceScope place(errors, errors.place());
  std::optional<PreparedPageValues> values;
  const PreparedPart::IndexTexts* index_texts = nullptr;
  if (prepared != nullptr) {
    values.emplace(page, FactorsOf(inputs, page));
    index_texts = &prepared->TextsIn(inputs.texts, inputs.language.code_page);
  }
  std::string filled;     // a prepared cell's value
  std::size_t start = 0;  // the row after the open range's start marker; 0 when none is open
  for (std::size_t r = 1; r < table.row_count(); ++r) {
    for (std::size_t c = 1; c < table.column_count(); ++c) {
      const std::string* text = TextOf(part.At(c, r));
      if (text == nullptr) continue;
      // The copy left exactly the part's marker cells null, and none is set before it is met.
      const bool has_marker = IsNull(table.rows()[r][c]);
      // A cell without markers stays as copied, unless an open range must look for its end.
      if (!has_marker && (!standard || start == 0)) continue;
      if (has_marker && start == 0 && prepared != nullptr && prepared->Has(c, r)) {
        errors.KeepResponsive();
        if (prepared->Fill(c, r, *values, *index_texts, &filled)) {
          table.At(c, r) = std::string(filled);
          continue;
        }
      }
      std::string x = *text;
      if (page.part_first_row) {
        // Sheet table row k is the sheet's row k + 1 as spreadsheets number them.
        errors.set_place({sheet_name, inputs.workbook_file, *page.part_first_row + r, c});
      }
      if (has_marker) {
        if (start == 0 && standard) {
          for (const RangeKind& kind : kRanges) {
            if (Contains(x, kind.start)) start = r + 1;
          }
        }
        for (int pass = 0; pass < 5 && HasWildcards(page.wildcards, x); ++pass) {
          std::string next = ReplaceWildcards(page.wildcards, x);
          if (next == x) break;  // a pass that changes nothing changes nothing later either
          x = std::move(next);
        }
        if (start == 0) {
          if (Contains(x, "###IF")) x = EvaluateConditions(FactorsOf(inputs, page), x, errors);
          if (Contains(x, "###ADDR:")) {
            x = ExpandAddressFormulas(FactorsOf(inputs, page), x, errors);
          }
          if (Contains(x, "###INDEX:")) {
            x = ExpandIndexFormulas(inputs.texts, inputs.language.code_page, x, errors);
          }
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
        RunStep(errors, kProcedure,
                [&] { CloseRange(inputs, page, table, kind, start, r, c, errors); });
        if (values) values->SetBlockNumber(page.block_number);
        start = 0;
      }
    }
  }
  return table;
}

}  // namespace orvano
