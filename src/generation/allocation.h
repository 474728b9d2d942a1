// The allocation as data: per language, every section page, detail page and the overview page
// with the rows they show, as a run worked them out. Recorded only when a run asks for it (an
// export, the search page, a comparison or the address check); the export, the search index and
// the comparison are made from it.

#ifndef ORVANO_GENERATION_ALLOCATION_H_
#define ORVANO_GENERATION_ALLOCATION_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "templates/shown_rows.h"

namespace orvano {

/// Where a row came from: a row of a workbook sheet, or a row that a range block generated
/// from one (the block's number and the repetition, from 1).
struct RowOrigin {
  std::string workbook;  // the workbook's file name without its folder
  std::string sheet;
  std::size_t sheet_row = 0;  // as spreadsheets number rows; 0 when not known
  int block = 0;              // 0 for a row of the sheet itself
  int repetition = 0;
};

/// "Collection.xls:Drives!17", or for a generated row
/// "Collection.xls:Standard!14 (block 2, repetition 3)"; "" when the origin is not known.
std::string OriginText(const RowOrigin& origin);

/// Appends OriginText(`origin`) to `*out`.
void AppendOriginText(const RowOrigin& origin, std::string* out);

/// Appends what OriginText gives up to the row: "Collection.xls:Drives!".
void AppendOriginPlace(const RowOrigin& origin, std::string* out);

/// Appends what OriginText gives after the sheet's "!": "17", "14 (block 2, repetition 3)".
void AppendOriginRow(const RowOrigin& origin, std::string* out);

/// The origin without the workbook: "Drives!17", "Standard!14 (block 2, repetition 3)".
std::string OriginTextInWorkbook(const RowOrigin& origin);

struct AllocationRow {
  std::string section;   // the section the row belongs to
  std::string machine;   // "" on a page of no machine
  std::string position;  // "" on a page of no machine
  RowOrigin origin;
  std::string font_class;
  /// cells[k] is what "###ZELLE###" k + 1 shows (cells[0] is the font class column), without
  /// the empty cells at the end.
  std::vector<std::string> cells;
  /// The indexes into `cells` of the cells that held an address formula.
  std::vector<std::size_t> address_columns;
};

enum class AllocationPageKind { kSection, kDetail, kOverview };

/// "section", "detail" or "overview".
std::string_view PageKindName(AllocationPageKind kind);

struct AllocationPage {
  std::string file;  // the page's file name, "Drives_Filler.htm"
  AllocationPageKind kind = AllocationPageKind::kSection;
  std::string section;  // "" for the overview page
  std::string machine;  // "" for a page of no machine
  std::vector<AllocationRow> rows;
};

/// The pages of one language in the order the run built them.
struct LanguageAllocation {
  std::string language;  // its id, "1033"
  std::string folder;    // the folder its pages were written to (ends with "/")
  std::vector<AllocationPage> pages;
};

struct Allocation {
  std::vector<LanguageAllocation> languages;
};

/// Where the part a page's rows were built from lies: its workbook's file name, its sheet and
/// the sheet row of its row 0 (none when not known).
struct PartPlace {
  std::string workbook;
  std::string sheet;
  std::optional<std::size_t> first_row;
};

/// The sheet row that `row` of the part at `part` came from; 0 when not known.
std::size_t SheetRowOf(const PartRowOrigin& row, const PartPlace& part);

/// The rows of `shown`, built from the part at `part`, as rows of the allocation, of section
/// `section` and machine `machine` ("" for none).
std::vector<AllocationRow> AllocationRowsOf(const ShownRows& shown, const std::string& section,
                                            const std::string& machine, const PartPlace& part);

/// The file name of `path`: what follows its last "/".
std::string WorkbookFileName(const std::string& path);

}  // namespace orvano

#endif  // ORVANO_GENERATION_ALLOCATION_H_
