#include "inputs/workbook.h"

#include <string>
#include <string_view>

#include "support/host.h"
#include "app/run_context.h"
#include "inputs/biff_reader.h"
#include "inputs/parsed_workbook.h"
#include "support/errors.h"
#include "support/text_case.h"

namespace orvano {
namespace {

bool IsEmptyText(const Cell& cell) {
  return IsNull(cell) || (IsText(cell) && std::get<std::string>(cell).empty());
}

}  // namespace

const ParsedWorkbook& OpenCollectionWorkbook(RunContext& context) {
  WorkbookCache& cache = context.workbook;
  const std::string& path = context.settings.path_xl_collection;
  if (!cache.workbook || cache.path != path) {
    cache.workbook.reset();
    cache.workbook = ReadWorkbookFile(context.fs, path);
    cache.path = path;
  }
  return *cache.workbook;
}

int XLCollectionSheetList(RunContext& context) {
  int result = -1;
  Guarded(context.errors(), "XLCollectionSheetList", [&] {
    WorkbookCache& cache = context.workbook;
    cache.sheet_list.clear();
    cache.workbook.reset();  // read afresh: the file may have changed since the last run
    const ParsedWorkbook& workbook = OpenCollectionWorkbook(context);
    if (workbook.sheet_count() == 0) {
      throw UnexpectedError(err::kSubscriptOutOfRange,
                            cache.path + ": the workbook holds no worksheet", "Workbook reader");
    }
    std::vector<SheetEntry> list(workbook.sheet_count());
    for (std::size_t k = 0; k < workbook.sheet_count(); ++k) {
      const ParsedWorkbook::Sheet& sheet = workbook.sheet(k);
      // An empty sheet keeps its place with an empty name (list position = sheet number).
      if (sheet.rows == 0 || sheet.columns == 0) continue;
      context.host.PumpEvents();
      list[k].name = CellText(workbook.Value(k, 0, 0));
      list[k].machine_dependent =
          ToUpper(CellText(workbook.Value(k, 0, 1))) == "MASCHINENABHAENGIG" ? 1 : 0;
      if (static_cast<int>(sheet.columns) > cache.max_column_index) {
        cache.max_column_index = static_cast<std::int16_t>(sheet.columns);
      }
    }
    cache.sheet_list = std::move(list);
    result = 1;
  });
  return result;
}

int ReadCompleteExcelSheet(RunContext& context, std::int32_t sheet_number, Table* table) {
  int result = -1;
  Guarded(context.errors(), "ReadCompleteExcelSheet", [&] {
    const ParsedWorkbook& workbook = OpenCollectionWorkbook(context);
    if (sheet_number < 0 || static_cast<std::size_t>(sheet_number) >= workbook.sheet_count()) {
      throw UnexpectedError(err::kSubscriptOutOfRange,
                            context.workbook.path + ": no sheet number " +
                                std::to_string(sheet_number) + " (the workbook has " +
                                std::to_string(workbook.sheet_count()) + " worksheets)",
                            "Workbook reader");
    }
    const std::size_t k = static_cast<std::size_t>(sheet_number);
    const ParsedWorkbook::Sheet& sheet = workbook.sheet(k);
    const std::size_t columns = sheet.columns + 1;  // one spare column
    // Rows are added as they are reached, so trailing empty or refused rows never exist.
    Table out(columns, 1);
    for (std::uint32_t r = 1; r < sheet.rows; ++r) {
      const WorkbookCell* first = sheet.cells.data() + sheet.row_start[r];
      const WorkbookCell* last = sheet.cells.data() + sheet.row_start[r + 1];
      const Cell head = workbook.Value(first != last && first->column == 0 ? first : nullptr);
      Cell x;
      if (!LesenErlauben(context, head, &x)) continue;
      const auto put = [&](std::size_t c, Cell value) {
        if (IsEmptyText(value)) return;
        if (out.row_count() <= r) out.Resize(columns, r + 1);
        out.At(c, r) = std::move(value);
      };
      put(0, std::move(x));
      for (const WorkbookCell* cell = first; cell != last; ++cell) {
        if (cell->column != 0) put(cell->column, workbook.Value(cell));
      }
    }
    *table = std::move(out);
    result = 1;
  });
  return result;
}

bool LesenErlauben(RunContext& context, const Cell& cell, Cell* text) {
  bool allowed = false;
  Guarded(context.errors(), "LesenErlauben", [&] {
    const std::string* s = std::get_if<std::string>(&cell);
    if (s == nullptr || s->find("###IF") == std::string::npos) {
      *text = cell;
      allowed = true;
      return;
    }
    const MachineDescription& d = context.description;
    if (s->find("MITAUSWURFZAEHLERN") != std::string::npos) {
      allowed = d.with_reject_counter;
    } else if (s->find("MITZUSATZSERVICEPRESETS") != std::string::npos) {
      allowed = d.with_more_service_presets;
    }
    *text = allowed ? Cell{s->substr(s->rfind("###") + 3)} : Cell{std::string()};
  });
  return allowed;
}

}  // namespace orvano
