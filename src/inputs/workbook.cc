#include "inputs/workbook.h"

#include <string>
#include <utility>
#include <vector>

#include "inputs/parsed_workbook.h"
#include "inputs/workbook_file.h"
#include "support/error_sink.h"
#include "support/errors.h"
#include "support/text_case.h"

namespace orvano {
namespace {

// The keywords of conditional rows in a sheet's first column.
constexpr std::string_view kConditionMarker = "###IF";
constexpr std::string_view kWithRejectCounterKeyword = "MITAUSWURFZAEHLERN";
constexpr std::string_view kWithMoreServicePresetsKeyword = "MITZUSATZSERVICEPRESETS";
constexpr std::string_view kMarker = "###";

// Where the workbook's own faults come from, in their reports.
constexpr const char* kWorkbookReaderSource = "Workbook reader";

// A sheet table holds every cell of its extent, so its size is capped at what the largest .xls
// sheet gives (65 536 rows by 256 columns and the spare one); an .xlsx sheet may reach further.
constexpr std::uint64_t kMaxSheetTableCells = std::uint64_t{65536} * 257;

bool IsEmptyText(const Cell& cell) {
  return IsNull(cell) || (IsText(cell) && std::get<std::string>(cell).empty());
}

// The text of a conditional row's first cell; nullptr for any other cell.
const std::string* ConditionText(const Cell& first_cell) {
  const std::string* text = std::get_if<std::string>(&first_cell);
  return text != nullptr && text->find(kConditionMarker) != std::string::npos ? text : nullptr;
}

}  // namespace

std::optional<CollectionWorkbook> ReadCollectionWorkbook(FileSystem& fs, const std::string& path,
                                                         ErrorSink& errors) {
  std::optional<CollectionWorkbook> result;
  PlaceScope at(errors, {path});
  RunStep(errors, kReadWorkbookProcedure, [&] {
    std::shared_ptr<const ParsedWorkbook> parsed = ReadWorkbookFile(fs, path);
    const ParsedWorkbook& workbook = *parsed;
    if (workbook.sheet_count() == 0) {
      throw UnexpectedError(err::kSubscriptOutOfRange, path + ": the workbook holds no worksheet",
                            kWorkbookReaderSource);
    }
    SheetList sheets;
    sheets.entries.resize(workbook.sheet_count());
    for (std::size_t k = 0; k < workbook.sheet_count(); ++k) {
      const ParsedWorkbook::Sheet& sheet = workbook.sheet(k);
      // An empty sheet keeps its place with an empty name (list position = sheet number).
      if (sheet.rows == 0 || sheet.columns == 0) continue;
      errors.KeepResponsive();
      SheetEntry& entry = sheets.entries[k];
      entry.name = CellText(workbook.Value(k, 0, 0));
      entry.is_machine_dependent =
          ToUpper(CellText(workbook.Value(k, 0, 1))) == kMachineDependentKeyword;
      if (static_cast<int>(sheet.columns) > sheets.widest_column_count) {
        sheets.widest_column_count = static_cast<std::int16_t>(sheet.columns);
      }
    }
    result = CollectionWorkbook{path, std::move(parsed), std::move(sheets)};
  });
  return result;
}

std::optional<Table> ReadSheetTable(const CollectionWorkbook& collection, std::size_t sheet_number,
                                    const RowSwitches& switches, ErrorSink& errors) {
  std::optional<Table> result;
  PlaceScope at(errors, {collection.path});
  RunStep(errors, kReadSheetProcedure, [&] {
    const ParsedWorkbook& workbook = *collection.parsed;
    if (sheet_number >= workbook.sheet_count()) {
      throw UnexpectedError(err::kSubscriptOutOfRange,
                            collection.path + ": no sheet number " + std::to_string(sheet_number) +
                                " (the workbook has " + std::to_string(workbook.sheet_count()) +
                                " worksheets)",
                            kWorkbookReaderSource);
    }
    const ParsedWorkbook::Sheet& sheet = workbook.sheet(sheet_number);
    const std::size_t columns = sheet.columns + 1;  // one spare column
    if (std::uint64_t{sheet.rows} * columns > kMaxSheetTableCells) {
      throw UnexpectedError(err::kOutOfMemory,
                            collection.path + ": sheet \"" + sheet.name + "\" reaches row " +
                                std::to_string(sheet.rows) + " and column " +
                                std::to_string(sheet.columns) +
                                ", more than the 65536 rows by 256 columns a sheet may span",
                            kWorkbookReaderSource);
    }
    // Rows are added as they are reached, so trailing empty or refused rows never exist.
    Table out(columns, 1);
    for (std::uint32_t r = 1; r < sheet.rows; ++r) {
      const WorkbookCell* first = sheet.cells.data() + sheet.row_start[r];
      const WorkbookCell* last = sheet.cells.data() + sheet.row_start[r + 1];
      const Cell head = workbook.Value(first != last && first->column == 0 ? first : nullptr);
      if (!IsConditionalRowIncluded(head, switches)) continue;
      const auto put = [&](std::size_t c, Cell value) {
        if (IsEmptyText(value)) return;
        if (out.row_count() <= r) out.Resize(columns, r + 1);
        out.At(c, r) = std::move(value);
      };
      put(0, StripRowCondition(head));
      for (const WorkbookCell* cell = first; cell != last; ++cell) {
        if (cell->column != 0) put(cell->column, workbook.Value(cell));
      }
    }
    result = std::move(out);
  });
  return result;
}

bool IsConditionalRowIncluded(const Cell& first_cell, const RowSwitches& switches) {
  const std::string* text = ConditionText(first_cell);
  if (text == nullptr) return true;
  if (text->find(kWithRejectCounterKeyword) != std::string::npos) {
    return switches.with_reject_counter;
  }
  if (text->find(kWithMoreServicePresetsKeyword) != std::string::npos) {
    return switches.with_more_service_presets;
  }
  return false;
}

Cell StripRowCondition(const Cell& first_cell) {
  const std::string* text = ConditionText(first_cell);
  if (text == nullptr) return first_cell;
  // The text holds "###IF", so it holds "###".
  return text->substr(text->rfind(kMarker) + kMarker.size());
}

}  // namespace orvano
