// PageState: what changes while pages are built: the sheet, machine and position of the page
// being built, the wildcard values and range blocks its section table produced, the repetition
// being generated, and the rows a section page built for its detail twin. Each run (later: each
// page) has its own; the page builders read and write it, nothing else shares it.

#ifndef ORVANO_TEMPLATES_PAGE_STATE_H_
#define ORVANO_TEMPLATES_PAGE_STATE_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/error_sink.h"
#include "support/table.h"
#include "templates/shown_rows.h"

namespace orvano {

/// An event-log note a build wrote, kept to be written again: its place (PlaceText), its kind
/// and its text.
struct RecordedNote {
  std::string place;
  ProblemKind kind = ProblemKind::kNote;
  std::string text;
};

/// The section fields one page built for one machine position, kept so that the page's twin
/// (the detail page, built right after from the same rows) need not build them again.
struct BuiltRows {
  std::optional<int> section;  // 1-based; none for the overview page
  std::optional<int> machine;  // 1-based; none for a page of no machine
  std::string position;
  std::int32_t block_number = 0;  // at the start of the build: formulas outside blocks read it
  std::int32_t block_number_after = 0;  // what the build left
  const Table* rows = nullptr;          // the part table they were built from
  std::shared_ptr<const Table> fields;
  std::vector<PartRowOrigin> origins;          // where each row of `fields` came from, when kept
  std::shared_ptr<const ShownRowGroup> shown;  // the rows of `fields` the page shows, when kept
  // The event-log notes the build wrote, to write them again.
  std::vector<RecordedNote> notes;
};

/// Wildcard keys and their values, in the order they are replaced.
using WildcardTable = std::array<std::pair<std::string, std::string>, 4>;

struct PageState {
  std::optional<std::size_t> sheet_index;  // the page's sheet in the sheet list
  std::int16_t machine_index = -1;         // 1-based; -1 for a page of no machine
  std::string machine_name;                // "" until a page sets it; "-1" for a page of no machine
  std::string position = "2";              // a number as text

  /// The keys "MNR", "FLD", "OVERVIEW", "MAIN" and their values, in this order.
  WildcardTable wildcards = {{{"MNR", ""}, {"FLD", ""}, {"OVERVIEW", ""}, {"MAIN", ""}}};
  /// Element 0 empty, blocks numbered from 1, each with its rows from 1.
  std::vector<Table> range_blocks = std::vector<Table>(1);
  /// Where each range block's rows come from: the part row of the range's first row and the
  /// rows of one repetition (element 0 unused, as in `range_blocks`).
  struct RangeSpan {
    std::size_t first_row = 0;
    std::size_t rows = 0;
  };
  std::vector<RangeSpan> range_spans = std::vector<RangeSpan>(1);
  /// The repetition being generated inside a block (1-based).
  std::int32_t block_number = 0;
  /// The fields the last section page built, one entry per position in order. The driver
  /// clears them before each section page; the detail page built right after reuses them.
  std::vector<BuiltRows> last_page_rows;
  /// The sheet row (of the sheet table, from 0) of row 1 of the part being built, for the
  /// places of notes; none when the rows are no sheet's.
  std::optional<std::size_t> part_first_row;
};

}  // namespace orvano

#endif  // ORVANO_TEMPLATES_PAGE_STATE_H_
