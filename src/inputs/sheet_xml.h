// The cell-bearing parts of an .xlsx workbook as XML handlers: the shared string table
// (sharedStrings.xml) and a worksheet's sheetData. Both are fed by XmlStreamParser while the
// part is inflated, so no part is held whole. Used by the OOXML workbook reader.

#ifndef ORVANO_INPUTS_SHEET_XML_H_
#define ORVANO_INPUTS_SHEET_XML_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "inputs/parsed_workbook.h"
#include "inputs/xml_stream.h"

namespace orvano {

/// A cell position from 0.
struct CellPosition {
  std::uint32_t row = 0;
  std::uint32_t column = 0;
};

/// The position a cell reference such as "AB12" names (letters A..XFD, then a row 1..1048576;
/// a "$" before either part is allowed). Throws DataError naming the reference when it is not
/// one or lies beyond the format's 1 048 576 rows or 16 384 columns.
CellPosition ParseCellReference(std::string_view reference);

/// The reference of the cell at `position` ("AB12").
std::string CellReferenceOf(CellPosition position);

/// The value a spreadsheet's date-time text ("2026-12-06T14:30:00", "2026-12-06") has as a
/// serial day number in the 1900 date system (or the 1904 one when `date1904`). Throws DataError
/// when the text is not such a date.
double DateTimeToSerial(std::string_view text, bool date1904);

/// Reads sharedStrings.xml: each string item's text (its runs joined, phonetic readings left
/// out) is added to `workbook`'s text pool in order; read into an empty pool, string i gets
/// text id i.
class SharedStringsHandler final : public XmlHandler {
 public:
  explicit SharedStringsHandler(ParsedWorkbook& workbook) : workbook_(workbook) {}
  void StartElement(std::string_view name, const XmlAttributes& attributes) override;
  void EndElement(std::string_view name) override;
  void Characters(std::string_view text) override;
  std::uint32_t count() const { return count_; }

 private:
  ParsedWorkbook& workbook_;
  std::string text_;
  int item_depth_ = 0;      // inside <si>
  int phonetic_depth_ = 0;  // inside <rPh>
  bool in_text_ = false;    // inside a <t> that counts
  std::uint32_t count_ = 0;
};

/// Reads a worksheet's sheetData into cells with the meaning the BIFF reader gives them: shared
/// and inline strings as texts, numbers (dates too) as numbers, booleans and error values, a
/// formula as its cached value, a formula without one (and any cell without a value) as no
/// cell. Cells without a reference take the position after the previous one; rows without one
/// the row after the previous row. Throws DataError naming the cell on a bad reference, value or
/// type. Needs nothing from the other parts, so sheets may be read on several threads at once,
/// each into a handler of its own.
class SheetDataHandler final : public XmlHandler {
 public:
  explicit SheetDataHandler(bool date1904) : date1904_(date1904) {}
  void StartElement(std::string_view name, const XmlAttributes& attributes) override;
  void EndElement(std::string_view name) override;
  void Characters(std::string_view text) override;

  /// Adds the texts of the cells read to `workbook`'s pool and returns the cells, in the order
  /// of the part, with their text ids in that pool; shared string i is text id i there. Throws
  /// DataError naming the first cell whose shared string index lies past the `shared_strings`
  /// strings of the table.
  std::vector<WorkbookCell> TakeCells(ParsedWorkbook& workbook, std::uint32_t shared_strings);

 private:
  enum class Type : std::uint8_t {
    kNumber,
    kSharedString,
    kFormulaString,
    kInlineString,
    kBoolean,
    kError,
    kDate
  };
  void StartCell(const XmlAttributes& attributes);
  void EndCell();
  [[noreturn]] void FailAtCell(const std::string& fault) const;

  // A text cell's code tells where its text id points until TakeCells moves the texts.
  static constexpr std::uint8_t kSharedStringIndex = 0;
  static constexpr std::uint8_t kOwnText = 1;

  const bool date1904_;
  std::vector<WorkbookCell> cells_;
  ParsedWorkbook own_texts_;  // the texts of inline strings, formula results, error values
  bool in_sheet_data_ = false;
  // The next position: a cell without a reference takes it.
  std::uint32_t row_ = 0;
  std::uint32_t next_column_ = 0;
  bool row_seen_ = false;
  // The cell being read.
  bool in_cell_ = false;
  CellPosition cell_;
  Type type_ = Type::kNumber;
  bool has_value_ = false;  // a <v> or an <is> was seen
  bool in_value_ = false;   // inside <v>, or inside a <t> of <is> that counts
  int inline_depth_ = 0;    // inside <is>
  int phonetic_depth_ = 0;  // inside <rPh> of <is>
  std::string value_;
};

}  // namespace orvano

#endif  // ORVANO_INPUTS_SHEET_XML_H_
