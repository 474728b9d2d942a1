// ParsedWorkbook: the worksheets of a workbook (.xls, .xlsx or .xlsm) as a reader decoded them,
// once, into a compact form: per sheet its tab name, its extent and its non-empty cells sorted by
// position; texts in one shared pool. Built by ParseWorkbookBytes (workbook_file.h), then
// read-only.

#ifndef ORVANO_INPUTS_PARSED_WORKBOOK_H_
#define ORVANO_INPUTS_PARSED_WORKBOOK_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/table.h"

namespace orvano {

enum class CellKind : std::uint8_t { kNumber, kText, kBoolean, kError };

/// One non-empty cell. 16 bytes, so that large sheets stay small in memory. Rows reach
/// 1 048 576 and columns 16 384 in .xlsx workbooks, so the row takes 32 bits.
struct WorkbookCell {
  std::uint32_t row = 0;
  std::uint16_t column = 0;
  CellKind kind = CellKind::kNumber;
  std::uint8_t code = 0;  // kBoolean: 0 or 1; kError: the error code
  union {
    double number = 0;   // kNumber
    std::uint32_t text;  // kText: id in the workbook's text pool
  };

  std::uint64_t Key() const { return (std::uint64_t{row} << 16) | column; }
};
static_assert(sizeof(WorkbookCell) == 16);

class ParsedWorkbook {
 public:
  struct Sheet {
    std::string name;                      // the tab name
    std::uint32_t rows = 0;                // last row holding a cell + 1; 0 when the sheet is empty
    std::uint32_t columns = 0;             // last column holding a cell + 1
    std::vector<WorkbookCell> cells;       // sorted by (row, column), one per position
    std::vector<std::uint32_t> row_start;  // cells of row r: [row_start[r], row_start[r + 1])
  };

  std::size_t sheet_count() const { return sheets_.size(); }
  /// Sheet `k` (from 0). Requires: k < sheet_count().
  const Sheet& sheet(std::size_t k) const { return sheets_[k]; }

  /// The cell at (`row`, `column`) of sheet `k`, or nullptr when that cell is empty or outside
  /// the sheet's extent. Requires: k < sheet_count().
  const WorkbookCell* Find(std::size_t k, std::uint32_t row, std::uint32_t column) const;

  /// The text of a kText cell (UTF-8).
  std::string_view Text(const WorkbookCell& cell) const { return TextAt(cell.text); }

  /// The cell's value as the sheet readers take it: a number, a text (booleans "TRUE" and
  /// "FALSE", errors their spreadsheet text such as "#DIV/0!"), or null for an empty cell.
  Cell Value(const WorkbookCell* cell) const;
  Cell Value(std::size_t k, std::uint32_t row, std::uint32_t column) const {
    return Value(Find(k, row, column));
  }

  /// What the reader left out of the workbook and why ("sheet "Module" ... skipped"), in the
  /// order met; empty for most workbooks.
  const std::vector<std::string>& notes() const { return notes_; }

  /// The spreadsheet text of error code `code` ("#N/A"); "#ERR" + code for unknown codes.
  static std::string ErrorText(std::uint8_t code);

  // Building, for the parser.
  /// Adds `utf8` to the text pool and returns its id.
  std::uint32_t AddText(std::string_view utf8);
  std::string_view TextAt(std::uint32_t id) const {
    const TextSpan& s = texts_[id];
    return std::string_view(pool_).substr(s.offset, s.length);
  }
  std::size_t text_count() const { return texts_.size(); }
  /// Reserves room for `texts` texts of `bytes` bytes in all.
  void ReserveTexts(std::size_t texts, std::size_t bytes);
  /// Appends sheet `name` with `cells` in any order; when two cells share a position the later
  /// one wins. Sorts them, works out the extent and the row index.
  void AddSheet(std::string name, std::vector<WorkbookCell> cells);
  /// Adds a note on something the reader left out.
  void AddNote(std::string note) { notes_.push_back(std::move(note)); }

 private:
  struct TextSpan {
    std::uint32_t offset;
    std::uint32_t length;
  };
  std::string pool_;
  std::vector<TextSpan> texts_;
  std::vector<Sheet> sheets_;
  std::vector<std::string> notes_;
};

}  // namespace orvano

#endif  // ORVANO_INPUTS_PARSED_WORKBOOK_H_
