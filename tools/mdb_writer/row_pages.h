// Pages of rows: the data pages of a table, the long-value (LVAL) pages of a memo column and the
// pages that hold usage-map rows. A RowPlacer fills such pages one row after another, opening a
// new page when a row does not fit, and gives each row its pointer (page << 8 | row).

#ifndef ORVANO_TOOLS_MDB_WRITER_ROW_PAGES_H_
#define ORVANO_TOOLS_MDB_WRITER_ROW_PAGES_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvano::jet4 {

class PageFile;

/// The owner of a page of rows: a table (its first definition page) or the long-value marker.
struct RowPageOwner {
  static RowPageOwner Table(std::uint32_t definition_page) { return {false, definition_page}; }
  static RowPageOwner LongValues() { return {true, 0}; }
  bool long_values = false;
  std::uint32_t definition_page = 0;
};

/// Makes `page` an empty page of rows owned by `owner`. Requires: page.size() == kPageSize.
void StartRowPage(std::string& page, RowPageOwner owner);

/// Stores `row` at the end of the rows of `page` and returns its row index.
/// Requires: the page has room (2 bytes for the offset besides the row) and fewer than 255 rows.
int AddRow(std::string& page, std::string_view row);

class RowPlacer {
 public:
  /// Places rows on pages of `file` owned by `owner`. `file` must outlive the placer.
  RowPlacer(PageFile& file, RowPageOwner owner) : file_(file), owner_(owner) {}
  RowPlacer(const RowPlacer&) = delete;
  RowPlacer& operator=(const RowPlacer&) = delete;
  RowPlacer(RowPlacer&&) = default;

  /// Stores `row` on the open page, or on a new page when it lacks room or already holds 255
  /// rows, and returns the row's pointer (page << 8 | row index).
  /// Requires: row.size() <= kMaxRowSize.
  std::uint32_t Place(std::string_view row);

  /// The pages this placer opened, in order.
  const std::vector<std::uint32_t>& pages() const { return pages_; }

 private:
  PageFile& file_;
  RowPageOwner owner_;
  std::vector<std::uint32_t> pages_;
};

}  // namespace orvano::jet4

#endif  // ORVANO_TOOLS_MDB_WRITER_ROW_PAGES_H_
