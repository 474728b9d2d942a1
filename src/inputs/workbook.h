// The readers of the module collection workbook: the workbook with the list of its sheets (name
// and machine dependence per sheet number), read once per run; one sheet read into a sheet
// table; and the row filter for conditional rows. Failures are reported to an ErrorSink under
// the procedure texts below. A CollectionWorkbook is read-only once made.

#ifndef ORVANO_INPUTS_WORKBOOK_H_
#define ORVANO_INPUTS_WORKBOOK_H_

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "inputs/sheet_list.h"
#include "support/table.h"

namespace orvano {

class ErrorSink;
class FileSystem;
class ParsedWorkbook;

/// The procedure texts of the reports of ReadCollectionWorkbook and ReadSheetTable.
inline constexpr std::string_view kReadWorkbookProcedure = "XLCollectionSheetList";
inline constexpr std::string_view kReadSheetProcedure = "ReadCompleteExcelSheet";

/// The text of a sheet's cell (0, 1), in upper case, that makes its section machine dependent.
inline constexpr std::string_view kMachineDependentKeyword = "MASCHINENABHAENGIG";

/// The module collection workbook of a run: the file it was read from, its parsed sheets and
/// the list of them.
struct CollectionWorkbook {
  std::string path;
  std::shared_ptr<const ParsedWorkbook> parsed;  // never null in a workbook that was read
  SheetList sheets;
};

/// Reads the workbook at `path` through `fs`. The sheet list's entry k is sheet k's cell (0, 0)
/// as text, machine dependent when its cell (0, 1) reads kMachineDependentKeyword in any case;
/// a sheet with no cells, or with an empty first cell, keeps its place with an empty name, so
/// that entry k stays sheet k. `widest_column_count` is the widest sheet's column count.
/// Returns nullopt after reporting to `errors` under kReadWorkbookProcedure when the file
/// cannot be read, is damaged or holds no worksheet. Throws EndProgram when `errors` ends the
/// program.
[[nodiscard]] std::optional<CollectionWorkbook> ReadCollectionWorkbook(FileSystem& fs,
                                                                       const std::string& path,
                                                                       ErrorSink& errors);

/// The switches of the description file that decide which conditional rows are read.
struct RowSwitches {
  bool with_reject_counter = false;
  bool with_more_service_presets = false;
};

/// Reads sheet `sheet` (from 0) of `workbook` into a table: columns 0..c (c the sheet's column
/// count, column c empty), rows 0..the last row holding a non-empty cell, row 0 empty, rows that
/// IsConditionalRowIncluded refuses left empty and column 0 of the others as StripRowCondition
/// gives it. Returns nullopt after reporting to `errors` under kReadSheetProcedure when the
/// workbook has no such sheet. Throws EndProgram when `errors` ends the program.
[[nodiscard]] std::optional<Table> ReadSheetTable(const CollectionWorkbook& workbook,
                                                  std::size_t sheet, const RowSwitches& switches,
                                                  ErrorSink& errors);

/// True when a row whose first cell is `first_cell` is read. A text holding "###IF" (exact
/// case) is a conditional row: with "MITAUSWURFZAEHLERN" it follows
/// `switches.with_reject_counter`, else with "MITZUSATZSERVICEPRESETS"
/// `switches.with_more_service_presets`, else it is refused. Any other row is read.
bool IsConditionalRowIncluded(const Cell& first_cell, const RowSwitches& switches);

/// The first cell of a row that is read, as the sheet table holds it: of a conditional row the
/// text after its last "###", any other cell unchanged.
Cell StripRowCondition(const Cell& first_cell);

}  // namespace orvano

#endif  // ORVANO_INPUTS_WORKBOOK_H_
