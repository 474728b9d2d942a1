#include "generation/allocation_diff.h"

#include <functional>
#include <unordered_map>

namespace orvano {
namespace {

// Hashes the fields IsSameRow compares.
struct RowHash {
  std::size_t operator()(const AllocationRow* row) const {
    std::size_t hash = 0;
    auto add = [&hash](const std::string& text) {
      // Combined as boost's hash_combine does.
      hash ^= std::hash<std::string>()(text) + 0x9e3779b97f4a7c15ULL + (hash << 6) + (hash >> 2);
    };
    add(row->section);
    add(row->machine);
    add(row->position);
    add(row->font_class);
    for (const std::string& cell : row->cells) add(cell);
    return hash;
  }
};

struct RowsAreSame {
  bool operator()(const AllocationRow* a, const AllocationRow* b) const {
    return IsSameRow(*a, *b);
  }
};

// Numbers the distinct rows of both pages, so that the edit script compares numbers.
class RowNumbers {
 public:
  // The numbers of rows[begin, end).
  std::vector<std::uint32_t> Of(const std::vector<AllocationRow>& rows, std::size_t begin,
                                std::size_t end) {
    std::vector<std::uint32_t> numbers;
    numbers.reserve(end - begin);
    numbers_.reserve(numbers_.size() + (end - begin));
    for (std::size_t i = begin; i < end; ++i) {
      const auto [it, inserted] =
          numbers_.emplace(&rows[i], static_cast<std::uint32_t>(numbers_.size()));
      numbers.push_back(it->second);
    }
    return numbers;
  }

 private:
  std::unordered_map<const AllocationRow*, std::uint32_t, RowHash, RowsAreSame> numbers_;
};

class PageComparison {
 public:
  PageComparison(const std::vector<AllocationRow>& old_rows,
                 const std::vector<AllocationRow>& new_rows, std::vector<RowChange>* changes)
      : old_rows_(old_rows), new_rows_(new_rows), changes_(*changes) {}

  void Run(std::size_t work_limit) {
    // The rows before the first difference and after the last are passed over before any row
    // is hashed: between two releases they are nearly all of them.
    std::size_t old_begin = 0, new_begin = 0;
    std::size_t old_end = old_rows_.size(), new_end = new_rows_.size();
    while (old_begin < old_end && new_begin < new_end &&
           IsSameRow(old_rows_[old_begin], new_rows_[new_begin])) {
      ++old_begin;
      ++new_begin;
    }
    while (old_begin < old_end && new_begin < new_end &&
           IsSameRow(old_rows_[old_end - 1], new_rows_[new_end - 1])) {
      --old_end;
      --new_end;
    }
    RowNumbers numbers;
    const std::vector<std::uint32_t> old_numbers = numbers.Of(old_rows_, old_begin, old_end);
    const std::vector<std::uint32_t> new_numbers = numbers.Of(new_rows_, new_begin, new_end);
    std::size_t old_at = old_begin, new_at = new_begin;
    for (const CommonRun& run : MatchSequences(old_numbers, new_numbers, work_limit)) {
      Replace(old_at, old_begin + run.old_start, new_at, new_begin + run.new_start);
      old_at = old_begin + run.old_start + run.length;
      new_at = new_begin + run.new_start + run.length;
    }
    Replace(old_at, old_end, new_at, new_end);
  }

 private:
  void Removed(std::size_t i) { changes_.push_back({ChangeKind::kRemoved, old_rows_[i], {}}); }
  void Added(std::size_t j) { changes_.push_back({ChangeKind::kAdded, {}, new_rows_[j]}); }

  // The old rows [old_begin, old_end) were replaced by the new rows [new_begin, new_end). Rows
  // with the same first address are paired in order (each new row with the first old row of
  // its address after the last pair), so a changed text reads as one change.
  void Replace(std::size_t old_begin, std::size_t old_end, std::size_t new_begin,
               std::size_t new_end) {
    std::unordered_map<std::string_view, std::vector<std::size_t>> old_by_address;
    if (new_begin < new_end) {
      for (std::size_t i = old_begin; i < old_end; ++i) {
        const std::string_view address = FirstAddressText(old_rows_[i]);
        if (!address.empty()) old_by_address[address].push_back(i);
      }
    }
    std::unordered_map<std::string_view, std::size_t> next_of_address;
    std::size_t old_at = old_begin;
    for (std::size_t j = new_begin; j < new_end; ++j) {
      const auto candidates = old_by_address.find(FirstAddressText(new_rows_[j]));
      if (candidates == old_by_address.end()) continue;
      const std::vector<std::size_t>& list = candidates->second;
      std::size_t& next = next_of_address[candidates->first];
      while (next < list.size() && list[next] < old_at) ++next;
      // An equal row here has moved: it stays removed and added.
      if (next == list.size() || IsSameRow(old_rows_[list[next]], new_rows_[j])) continue;
      const std::size_t i = list[next++];
      for (; old_at < i; ++old_at) Removed(old_at);
      for (; new_begin < j; ++new_begin) Added(new_begin);
      changes_.push_back({ChangeKind::kChanged, old_rows_[i], new_rows_[j]});
      old_at = i + 1;
      new_begin = j + 1;
    }
    for (; old_at < old_end; ++old_at) Removed(old_at);
    for (; new_begin < new_end; ++new_begin) Added(new_begin);
  }

  const std::vector<AllocationRow>& old_rows_;
  const std::vector<AllocationRow>& new_rows_;
  std::vector<RowChange>& changes_;
};

// Matches the items of `old_items` and `new_items` (languages, pages) by `name`: calls
// `compare(old, new)` for each pair and for each unmatched one (the other side null), in the
// order of `new_items`, then the old ones left over. A name met twice on one side is matched
// once; the second is unmatched.
template <typename Item, typename Name, typename Compare>
void MatchByName(const std::vector<Item>& old_items, const std::vector<Item>& new_items, Name name,
                 Compare compare) {
  std::unordered_map<std::string_view, std::size_t> old_index;
  for (std::size_t i = 0; i < old_items.size(); ++i) old_index.emplace(name(old_items[i]), i);
  std::vector<bool> matched(old_items.size(), false);
  for (const Item& item : new_items) {
    const auto it = old_index.find(name(item));
    if (it != old_index.end() && !matched[it->second]) {
      matched[it->second] = true;
      compare(&old_items[it->second], &item);
    } else {
      compare(nullptr, &item);
    }
  }
  for (std::size_t i = 0; i < old_items.size(); ++i) {
    if (!matched[i]) compare(&old_items[i], nullptr);
  }
}

const std::vector<AllocationRow> kNoRows;

ChangeKind KindOf(const void* old_item, const void* new_item) {
  if (old_item == nullptr) return ChangeKind::kAdded;
  return new_item == nullptr ? ChangeKind::kRemoved : ChangeKind::kChanged;
}

}  // namespace

std::string_view ChangeKindName(ChangeKind kind) {
  switch (kind) {
    case ChangeKind::kChanged:
      return "changed";
    case ChangeKind::kAdded:
      return "added";
    case ChangeKind::kRemoved:
      return "removed";
  }
  return "changed";
}

// The source (the workbook row a row came from) is left out: a row inserted into a sheet moves
// every row below it to another sheet row, and reporting all of those would bury the one real
// change. A row's place on its page is still compared, by the edit script.
bool IsSameRow(const AllocationRow& a, const AllocationRow& b) {
  return a.section == b.section && a.machine == b.machine && a.position == b.position &&
         a.font_class == b.font_class && a.cells == b.cells;
}

std::string_view FirstAddressText(const AllocationRow& row) {
  if (row.address_columns.empty() || row.address_columns.front() >= row.cells.size()) return "";
  return row.cells[row.address_columns.front()];
}

AllocationDifference CompareAllocations(const Allocation& old_allocation,
                                        const Allocation& new_allocation, std::size_t work_limit) {
  AllocationDifference difference;
  auto language_id = [](const LanguageAllocation& language) -> std::string_view {
    return language.language;
  };
  auto page_file = [](const AllocationPage& page) -> std::string_view { return page.file; };
  MatchByName(old_allocation.languages, new_allocation.languages, language_id,
              [&](const LanguageAllocation* old_language, const LanguageAllocation* new_language) {
                ++difference.language_count;
                LanguageChanges language;
                language.kind = KindOf(old_language, new_language);
                const LanguageAllocation& shown = new_language ? *new_language : *old_language;
                language.language = shown.language;
                language.page_count = shown.pages.size();
                static const std::vector<AllocationPage> kNoPages;
                MatchByName(old_language ? old_language->pages : kNoPages,
                            new_language ? new_language->pages : kNoPages, page_file,
                            [&](const AllocationPage* old_page, const AllocationPage* new_page) {
                              PageChanges page;
                              page.kind = KindOf(old_page, new_page);
                              page.file = (new_page ? new_page : old_page)->file;
                              page.machine = (new_page ? new_page : old_page)->machine;
                              PageComparison(old_page ? old_page->rows : kNoRows,
                                             new_page ? new_page->rows : kNoRows, &page.rows)
                                  .Run(work_limit);
                              if (page.kind == ChangeKind::kChanged && page.rows.empty()) return;
                              for (const RowChange& row : page.rows) {
                                ++(row.kind == ChangeKind::kChanged ? difference.changed_rows
                                   : row.kind == ChangeKind::kAdded ? difference.added_rows
                                                                    : difference.removed_rows);
                              }
                              ++difference.pages;
                              language.pages.push_back(std::move(page));
                            });
                if (language.kind == ChangeKind::kChanged && language.pages.empty()) return;
                difference.languages.push_back(std::move(language));
              });
  return difference;
}

}  // namespace orvano
