// ShownRowGroup: the rows a section page (or the overview page) shows, kept as data when a run
// asks for it (export, search, comparison): where each came from in the part it was built from,
// its font class and the texts its cells put on the page. A group views the fields the page was
// built from rather than copying their texts.

#ifndef ORVANO_TEMPLATES_SHOWN_ROWS_H_
#define ORVANO_TEMPLATES_SHOWN_ROWS_H_

#include <cstddef>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "support/table.h"

namespace orvano {

/// Which row of a part table a row of a page's fields was built from.
struct PartRowOrigin {
  std::size_t part_row = 0;  // the row (from 1) of the part table
  int block = 0;             // a generated row's range block (from 1); 0 for the part's own row
  int repetition = 0;        // a generated row's repetition in its block (from 1)
};

/// A shown row as ShownRowGroup::ForEachRow lends it; its texts are valid during the call.
struct ShownRowView {
  std::string_view position;  // the position the rows were built for; "" on a page of none
  PartRowOrigin origin;
  std::string_view font_class;  // the text of column 0
  /// cells[k] is what the placeholder "###ZELLE###" k + 1 puts on the page (so cells[0] is the
  /// font class), trimmed as the page trims it; empty cells at the end are left out.
  std::span<const std::string_view> cells;
  /// The columns (indexes into `cells`) whose part cell held an address formula.
  std::span<const std::size_t> address_columns;
};

/// The columns of each row of a part table whose cell holds an address formula, worked out
/// once per row: a part's rows are shown once per position.
class AddressCellsOfPart {
 public:
  explicit AddressCellsOfPart(const Table& part) : part_(part) {}
  /// The columns of row `part_row` (from 1; none for 0 or a row the part lacks), in order.
  const std::vector<std::size_t>& Of(std::size_t part_row);

 private:
  const Table& part_;
  std::vector<std::vector<std::size_t>> columns_;  // by part row, once `known_` says so
  std::vector<char> known_;
};

/// The rows one build of a part's fields shows: a position's, or the page's when it has none.
class ShownRowGroup {
 public:
  /// The rows of `fields` (rows 1..R; `origins[r - 1]` is where row r came from in the part of
  /// `address_cells`) that a page shows: those with a font class. A cell is an address cell
  /// when its cell in the part held an address formula.
  ShownRowGroup(std::shared_ptr<const Table> fields, std::vector<PartRowOrigin> origins,
                std::string position, AddressCellsOfPart& address_cells);

  std::size_t size() const { return rows_.size(); }
  bool empty() const { return rows_.empty(); }

  /// Calls `visit` with each row, in order.
  void ForEachRow(const std::function<void(const ShownRowView&)>& visit) const;

 private:
  std::shared_ptr<const Table> fields_;
  std::vector<PartRowOrigin> origins_;
  std::string position_;
  std::vector<std::size_t> rows_;  // the rows of `fields_` shown
  /// Each shown row's columns whose part cell held an address formula (empty cells at the end
  /// included), one row after the other; address_ends_[i] is where row i's end.
  std::vector<std::size_t> address_columns_;
  std::vector<std::size_t> address_ends_;
};

/// The rows a page shows, group by group in the order of the page. Groups are shared, not
/// copied, by the pages that show them: a detail page reuses the fields of its section page.
using ShownRows = std::vector<std::shared_ptr<const ShownRowGroup>>;

}  // namespace orvano

#endif  // ORVANO_TEMPLATES_SHOWN_ROWS_H_
