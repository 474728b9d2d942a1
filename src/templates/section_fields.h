// Section fields: moving workbook content into pages. Direct cells ("###DIREKT###" column ","
// row) take single cells of the sheet "CommonDirect"; section rows become HTML through their
// font class, each row's cells filling the "###ZELLE###" n placeholders of the class's lines;
// the range blocks of the sheet "Standard" take the place of their ranges.

#ifndef ORVANO_TEMPLATES_SECTION_FIELDS_H_
#define ORVANO_TEMPLATES_SECTION_FIELDS_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/line_list.h"
#include "support/table.h"
#include "templates/shown_rows.h"

namespace orvano {

class ErrorSink;
class PageText;
struct FontClassTable;
struct PageState;
struct RunInputs;

/// `text` with every direct reference "###DIREKT###" column "," row replaced by the text of that
/// cell of `direct_cells` (the sheet "CommonDirect"), re-decoded through `code_page` and trimmed.
/// A cell text that holds references is worked out in turn, for at most 1000 rounds (note
/// "Direct cell reference does not end: "). A malformed reference is noted once ("Direct cell
/// reference not valid: ") and left in the text. A cell outside the direct sheet is reported
/// (subscript out of range) under "GetDirectExcelCell" and left in the text.
/// Throws only EndProgram.
std::string ExpandDirectCellReferences(const Table& direct_cells, std::optional<int> code_page,
                                       std::string_view text, ErrorSink& errors);

/// The section fields of `section` (a section table built for `page`): rows 1..R in order, where
/// on the sheet "Standard" each range from its start marker row to its end marker row is
/// replaced by the rows of the page's range block whose number the end marker carries (no
/// number: the range is dropped); rows with an empty class column at the end are cut. An end
/// marker followed by something that is not a block number is reported under
/// "GetSectionFieldXL". With `origins`, appends where each row came from (one entry per row
/// from 1). The rows are moved out of `section`, which is not needed afterwards. Throws only
/// EndProgram.
Table CollectSectionFields(const RunInputs& inputs, const PageState& page, Table section,
                           ErrorSink& errors, std::vector<PartRowOrigin>* origins = nullptr);

/// Appends to `*out` the HTML of `fields` (rows 1..R): each group of consecutive rows of one
/// class writes the class's opening part, its main part once per row with the row's cells
/// filled in, and its closing part. Rows with an empty class column are skipped as if absent;
/// a class that `classes` lacks writes "Following Fontclass not defined: " + the class text.
/// `sheet_name` is the sheet the notes name. A failure is reported under
/// "TransferXLFieldToSectionHTML" and ends the rows. Throws only EndProgram.
void AppendFieldRowsAsHtml(const Table& fields, const FontClassTable& classes,
                           std::string_view sheet_name, LineList* out, ErrorSink& errors);

/// AppendFieldRowsAsHtml, the lines appended to the page `out`.
void AppendFieldRowsAsHtml(const Table& fields, const FontClassTable& classes,
                           std::string_view sheet_name, PageText* out, ErrorSink& errors);

/// A main-part line cut at its cell placeholders once, so that the line of each row is put
/// together from its pieces instead of being searched again.
class CellPlaceholderLine {
 public:
  /// Views `line`, which must outlive it.
  explicit CellPlaceholderLine(std::string_view line);

  /// The line with every "###ZELLE###" n replaced by the text of column n - 1 of row `row` of
  /// `fields`, without blanks around it. n is the whole digit run after the placeholder,
  /// leading zeros aside; a column beyond the last (however long its number) gives nothing. A
  /// placeholder without digits, or with the number 0, is noted with the sheet `sheet_name`,
  /// the row and the placeholder with its digits or the whole character after it, and left.
  std::string Fill(const Table& fields, std::size_t row, std::string_view sheet_name,
                   ErrorSink& errors) const;

  /// Fill, into `*line` (emptied first), whose room is kept from row to row.
  void FillInto(const Table& fields, std::size_t row, std::string_view sheet_name,
                ErrorSink& errors, std::string* line) const;

 private:
  /// Text copied as it is, then the cell of column `column` (from 1; 0 for none) put in.
  struct Piece {
    std::string_view text;
    std::size_t column = 0;
  };
  std::string_view line_;
  bool has_placeholders_ = false;
  std::vector<Piece> pieces_;
  std::vector<std::string_view> not_valid_;  // the placeholders that are noted, in order
};

/// Appends rows 1.. of `source` to `*destination`, which becomes at least as wide as both and as
/// one more than `widest_column_count` (the workbook's widest sheet).
void AppendRows(const Table& source, std::int16_t widest_column_count, Table* destination);

}  // namespace orvano

#endif  // ORVANO_TEMPLATES_SECTION_FIELDS_H_
