// The difference between two allocations (an older release's export and a newer one, or the
// export and the run): per language and page, the rows changed, added and removed. The compare
// command prints it and Changes.htm shows it.

#ifndef ORVANO_GENERATION_ALLOCATION_DIFF_H_
#define ORVANO_GENERATION_ALLOCATION_DIFF_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "generation/allocation.h"
#include "generation/sequence_diff.h"

namespace orvano {

enum class ChangeKind { kChanged, kAdded, kRemoved };

/// "changed", "added" or "removed".
std::string_view ChangeKindName(ChangeKind kind);

/// One row that differs: `old_row` is set for a changed or removed row, `new_row` for a
/// changed or added one (the other is left empty).
struct RowChange {
  ChangeKind kind = ChangeKind::kChanged;
  AllocationRow old_row;
  AllocationRow new_row;

  /// The row a reader looks for: the new one, or the old one of a removed row.
  const AllocationRow& ShownRow() const { return kind == ChangeKind::kRemoved ? old_row : new_row; }
};

/// The differences of one page, matched by its file name: `kind` kChanged for a page on both
/// sides, kAdded for one only in the new allocation (its rows all added), kRemoved for one only
/// in the old (its rows all removed).
struct PageChanges {
  std::string file;
  ChangeKind kind = ChangeKind::kChanged;
  std::string machine;          // the page's machine, "" for a page of no machine
  std::vector<RowChange> rows;  // in page order: a removed row before the rows that replaced it
};

/// The differences of one language, matched by its id; `kind` as for a page.
struct LanguageChanges {
  std::string language;
  ChangeKind kind = ChangeKind::kChanged;
  std::size_t page_count = 0;      // its pages (in the new allocation, else the old one)
  std::vector<PageChanges> pages;  // those that differ
};

struct AllocationDifference {
  /// The languages that differ, in the new allocation's order, those only in the old one last;
  /// their pages likewise.
  std::vector<LanguageChanges> languages;
  std::size_t language_count = 0;  // the languages of both allocations together
  std::size_t changed_rows = 0;
  std::size_t added_rows = 0;
  std::size_t removed_rows = 0;
  std::size_t pages = 0;  // the pages that differ, of every language

  bool IsEmpty() const { return languages.empty(); }
};

/// True when a comparison takes `a` and `b` for the same row: the same section, machine,
/// position, font class and cell texts. Where the row came from is not compared.
bool IsSameRow(const AllocationRow& a, const AllocationRow& b);

/// The text of the first address cell of `row` (the first of its address columns), "" when it
/// has none or that cell is empty.
std::string_view FirstAddressText(const AllocationRow& row);

/// What changed from `old_allocation` to `new_allocation`. The rows of a page are lined up by
/// a shortest edit script over whole rows (IsSameRow; MatchSequences with `work_limit`); a
/// removed and an added row between the same unchanged rows whose first address cells hold the
/// same non-empty text are one changed row, any other removed and added rows are reported as
/// such (a row that moved is removed at its old place and added at its new one).
AllocationDifference CompareAllocations(const Allocation& old_allocation,
                                        const Allocation& new_allocation,
                                        std::size_t work_limit = kDefaultDiffWorkLimit);

}  // namespace orvano

#endif  // ORVANO_GENERATION_ALLOCATION_DIFF_H_
