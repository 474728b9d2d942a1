#include "inputs/text_database.h"

#include <algorithm>
#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "inputs/address_list.h"
#include "inputs/text_table.h"
#include "jet/jet_database.h"
#include "support/error_sink.h"
#include "support/errors.h"
#include "support/number_text.h"
#include "support/parallel_for.h"

namespace orvano {
namespace {

constexpr std::size_t kDepths = 5;
constexpr std::int64_t kNoGroup = -1;

// The groups by ID. An INNER JOIN matches IDs by value: numbers numerically, texts exactly;
// a null ID matches nothing.
class GroupIndex {
 public:
  GroupIndex(const Table& groups, const std::string& path) {
    by_number_.reserve(groups.row_count());
    for (std::size_t g = 0; g < groups.row_count(); ++g) {
      const Cell& id = groups.rows()[g][0];
      bool added = true;
      if (const auto* number = std::get_if<double>(&id)) {
        added = by_number_.emplace(*number, g).second;
      } else if (const auto* text = std::get_if<std::string>(&id)) {
        added = by_text_.emplace(*text, g).second;
      }
      // ID is the table's key; a repeated one means the file is damaged, and joining through
      // it would multiply rows without bound.
      if (!added) {
        throw UnexpectedError(err::kDbUnrecognizedFormat, "Damaged database: " + path +
                                                              " (table 'TidxGroups', ID " +
                                                              CellText(id) + " appears twice)");
      }
    }
  }

  // The row of the group whose ID equals `id`, or kNoGroup.
  std::int64_t Find(const Cell& id) const {
    if (const auto* number = std::get_if<double>(&id)) {
      auto found = by_number_.find(*number);
      return found == by_number_.end() ? kNoGroup : static_cast<std::int64_t>(found->second);
    }
    if (const auto* text = std::get_if<std::string>(&id)) {
      auto found = by_text_.find(*text);
      return found == by_text_.end() ? kNoGroup : static_cast<std::int64_t>(found->second);
    }
    return kNoGroup;
  }

 private:
  std::unordered_map<double, std::size_t> by_number_;
  std::unordered_map<std::string, std::size_t> by_text_;
};

// Code-unit order (CompareCodeUnits). It differs from plain byte order only where a character
// above U+FFFF meets one of U+E000..U+FFFF; without the former, the faster byte order serves.
class AddressOrder {
 public:
  explicit AddressOrder(bool bytewise) : bytewise_(bytewise) {}
  static bool HasSupplementary(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0xF0; });
  }
  bool operator()(std::string_view a, std::string_view b) const {
    return bytewise_ ? a < b : CompareCodeUnits(a, b) < 0;
  }

 private:
  bool bytewise_;
};

// Puts `addresses` and `rows` (side by side) in the order SortRowsByFirstColumn gives the
// addresses: a stable sort in code-unit order. They usually are in order already; checking that
// is linear.
void SortByAddress(AddressList* addresses, std::vector<std::uint32_t>* rows,
                   const AddressOrder& less) {
  const AddressList& list = *addresses;
  bool sorted = true;
  for (std::size_t i = 1; i < list.size() && sorted; ++i) sorted = !less(list[i], list[i - 1]);
  if (sorted) return;
  std::vector<std::size_t> order(list.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return less(list[a], list[b]); });
  AddressList sorted_addresses;
  std::vector<std::uint32_t> sorted_rows(order.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    sorted_addresses.Add(list[order[i]]);
    sorted_rows[i] = (*rows)[order[i]];
  }
  *addresses = std::move(sorted_addresses);
  *rows = std::move(sorted_rows);
}

// Reports that the join of `language_id`'s texts failed: "SQL-Failure" naming the first query.
void ReportQueryFailure(std::string_view language_id, ErrorSink& errors) {
  RunStep(errors, kTextQueryProcedure,
          [&] { throw ProgramError("SQL-Failure, SQL=" + TextDepthQueries(language_id)[0]); });
}

// Reports that the texts of the database at `path` could not be read.
void ReportUnreadable(const std::string& path, ErrorSink& errors) {
  RunStep(errors, kReadTextDatabaseProcedure,
          [&] { throw ProgramError("Unable to get data from " + path); });
}

// The name of the text column of `language_id` in TidxTexts.
std::string TextColumnOf(std::string_view language_id) { return "L" + std::string(language_id); }

// Joins the texts of column 2 of `texts`, building the depths through `parallel`.
TextTable JoinTexts(const Table& groups, Table texts, const std::string& path,
                    const ParallelFor& parallel);

// Opens the file, reads both tables and joins them, reporting each failure under
// kTextQueryProcedure. nullopt when it failed and the work is to go on.
std::optional<TextTable> ReadAndJoinTexts(const std::string& path, std::string_view language_id,
                                          ErrorSink& errors, const ParallelFor& parallel) {
  std::unique_ptr<JetDatabase> database;
  RunStep(errors, kTextQueryProcedure, [&] { database = JetDatabase::Open(path); });
  if (database == nullptr) {
    RunStep(errors, kTextQueryProcedure,
            [&] { throw ProgramError("No Access to Database " + path); });
    return std::nullopt;
  }
  // Every query joins both tables, so any fault in them fails the first query.
  std::optional<TextTable> result;
  RunStep(errors, kTextQueryProcedure, [&] {
    Table groups = database->ReadTable("TidxGroups", {"ID", "ParentID", "Name"});
    Table texts = database->ReadTable("TidxTexts", {"ParentID", "Name", TextColumnOf(language_id)});
    result = JoinTexts(groups, std::move(texts), path, parallel);
  });
  if (!result) ReportQueryFailure(language_id, errors);
  return result;
}

}  // namespace

std::array<std::string, 5> TextDepthQueries(std::string_view language_id) {
  const std::string id(language_id);
  return {
      "SELECT G0.Name & '.' & Txt.Name AS AddrIndex, Txt.L" + id +
          " FROM TidxTexts AS Txt INNER JOIN TidxGroups AS G0 ON Txt.ParentID = G0.ID ORDER BY "
          "G0.Name & '.' & Txt.Name;",
      "SELECT G0.Name & '.' & G1.Name & '.' & Txt.Name AS AddrIndex, Txt.L" + id +
          " FROM TidxTexts AS Txt INNER JOIN (TidxGroups AS G1 INNER JOIN TidxGroups  AS G0 ON "
          "G1.ParentID = G0.ID) ON Txt.ParentID = G1.ID ORDER BY G0.Name & '.' & G1.Name & '.' & "
          "Txt.Name;",
      "SELECT [G0].[Name] & '.' & [G1].[Name] & '.' & [G2].[Name] & '.' & [Txt].[Name] AS "
      "AddrIndex, Txt.L" +
          id +
          " FROM TidxGroups AS G0 INNER JOIN (TidxTexts AS Txt INNER JOIN (TidxGroups AS G2 INNER "
          "JOIN TidxGroups AS G1 ON G2.ParentID = G1.ID) ON Txt.ParentID = G2.ID) ON G0.ID = "
          "G1.ParentID ORDER BY [G0].[Name] & '.' & [G1].[Name] & '.' & [G2].[Name] & '.' & "
          "[Txt].[Name];",
      "SELECT [G0].[Name] & '.' & [G1].[Name] & '.' & [G2].[Name] & '.' & [G3].[Name] & '.' & "
      "[Txt].[Name] AS AddrIndex, Txt.L" +
          id +
          " FROM ((TidxGroups AS G0 INNER JOIN (TidxGroups AS G2 INNER JOIN TidxGroups AS G1 ON "
          "G2.ParentID = G1.ID) ON G0.ID = G1.ParentID) INNER JOIN TidxGroups AS G3 ON G2.ID = "
          "G3.ParentID) INNER JOIN TidxTexts AS Txt ON G3.ID = Txt.ParentID ORDER BY [G0].[Name] & "
          "'.' & [G1].[Name] & '.' & [G2].[Name] & '.' & [G3].[Name] & '.' & [Txt].[Name];",
      "SELECT [G0].[Name] & '.' & [G1].[Name] & '.' & [G2].[Name] & '.' & [G3].[Name] & '.' & "
      "[G4].[Name] & '.' & [Txt].[Name] AS AddrIndex, Txt.L" +
          id +
          " FROM (((TidxGroups AS G0 INNER JOIN (TidxGroups AS G2 INNER JOIN  TidxGroups AS G1 ON "
          "G2.ParentID = G1.ID) ON G0.ID = G1.ParentID) INNER JOIN TidxGroups AS G3 ON G2.ID = "
          "G3.ParentID) INNER JOIN TidxGroups AS G4 ON G3.ID = G4.ParentID) INNER JOIN TidxTexts "
          "AS Txt ON G4.ID = Txt.ParentID ORDER BY [G0].[Name] & '.' & [G1].[Name] & '.' & "
          "[G2].[Name] & '.' & [G3].[Name] & '.' & [G4].[Name] & '.' & [Txt].[Name];",
  };
}

namespace {

struct GroupText {
  std::size_t group;
  std::string name;
  std::size_t row;  // the text's row in the texts table
};

// The address order of the texts, worked out once for any number of text columns: for each
// depth, the texts of that depth in the order of their address indices.
class TextOrder {
 public:
  // Takes the names out of `texts` (column 1); its other columns stay.
  TextOrder(const Table& groups, Table& texts, const std::string& path);

  // The address side of the texts: each depth's address indices, sorted, with their text
  // rows and hash index, the depths built through `parallel`.
  std::shared_ptr<const TextAddresses> Addresses(const ParallelFor& parallel) const;

 private:
  // The texts of depth k in address order (see the definition).
  std::vector<const GroupText*> Entries(std::size_t k) const;

  std::array<std::vector<std::optional<std::string>>, kDepths> prefix_;
  std::vector<GroupText> grouped_;
  std::vector<std::size_t> first_text_;  // grouped_[first_text_[g] ..) are group g's texts
  AddressOrder less_{true};
};

TextOrder::TextOrder(const Table& groups, Table& texts, const std::string& path) {
  const GroupIndex index(groups, path);
  const std::size_t group_count = groups.row_count();

  std::vector<std::int64_t> parent(group_count);
  for (std::size_t g = 0; g < group_count; ++g) parent[g] = index.Find(groups.rows()[g][1]);

  // prefix_[k][g]: the address part "G0.G1. ... Gk." of group g as Gk, when g has k ancestors.
  // Built one depth from the one above, so a cycle in the tree costs no more than a chain.
  prefix_[0].resize(group_count);
  for (std::size_t g = 0; g < group_count; ++g) {
    prefix_[0][g] = CellText(groups.rows()[g][2]) + ".";
  }
  for (std::size_t k = 1; k < kDepths; ++k) {
    prefix_[k].resize(group_count);
    for (std::size_t g = 0; g < group_count; ++g) {
      if (parent[g] == kNoGroup) continue;
      const auto& above = prefix_[k - 1][static_cast<std::size_t>(parent[g])];
      if (above) prefix_[k][g] = *above + CellText(groups.rows()[g][2]) + ".";
    }
  }

  // The texts of each group, ordered by name (ties in record order): placed group by group in
  // record order (a counting sort), then each group's sorted by name unless it is already.
  std::vector<std::int64_t> group_of(texts.row_count());
  std::vector<std::size_t> first_text(group_count + 1, 0);  // grouped_[first_text[g] ..) of g
  for (std::size_t r = 0; r < texts.row_count(); ++r) {
    group_of[r] = index.Find(texts.rows()[r][0]);
    if (group_of[r] != kNoGroup) ++first_text[static_cast<std::size_t>(group_of[r]) + 1];
  }
  for (std::size_t g = 0; g < group_count; ++g) first_text[g + 1] += first_text[g];
  grouped_.resize(first_text[group_count]);
  std::vector<std::size_t> place(first_text.begin(), first_text.end() - 1);
  bool bytewise = true;
  for (std::size_t r = 0; r < texts.row_count(); ++r) {
    if (group_of[r] == kNoGroup) continue;
    const auto group = static_cast<std::size_t>(group_of[r]);
    std::vector<Cell>& row = texts.rows()[r];
    GroupText& text = grouped_[place[group]++];
    text.group = group;
    text.row = r;
    if (auto* name = std::get_if<std::string>(&row[1])) {
      text.name = std::move(*name);
    } else {
      text.name = CellText(row[1]);
    }
    bytewise = bytewise && !AddressOrder::HasSupplementary(text.name);
  }
  for (const auto& row : groups.rows()) {
    bytewise = bytewise && !AddressOrder::HasSupplementary(CellText(row[2]));
  }
  less_ = AddressOrder(bytewise);
  const AddressOrder& less = less_;
  auto by_name = [&less](const GroupText& a, const GroupText& b) { return less(a.name, b.name); };
  for (std::size_t g = 0; g < group_count; ++g) {
    auto begin = grouped_.begin() + static_cast<std::ptrdiff_t>(first_text[g]);
    auto end = grouped_.begin() + static_cast<std::ptrdiff_t>(first_text[g + 1]);
    if (!std::is_sorted(begin, end, by_name)) std::stable_sort(begin, end, by_name);
  }

  first_text_ = std::move(first_text);
}

// The groups in the order of their prefixes, each with its texts by name, and the texts of
// groups with equal prefixes merged by name: that is address order unless a group name holds a
// dot, which SortByAddress mends when the tables are built.
std::vector<const GroupText*> TextOrder::Entries(std::size_t k) const {
  const AddressOrder& less = less_;
  const std::vector<std::size_t>& first_text = first_text_;
  std::vector<std::size_t> order;
  for (std::size_t g = 0; g + 1 < first_text.size(); ++g) {
    if (prefix_[k][g] && first_text[g] != first_text[g + 1]) order.push_back(g);
  }
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return less(*prefix_[k][a], *prefix_[k][b]);
  });
  std::vector<const GroupText*> entries;
  for (std::size_t run = 0; run < order.size();) {
    const std::string& run_prefix = *prefix_[k][order[run]];
    const std::size_t run_start = entries.size();
    std::size_t next = run;
    for (; next < order.size() && *prefix_[k][order[next]] == run_prefix; ++next) {
      for (std::size_t i = first_text[order[next]]; i < first_text[order[next] + 1]; ++i) {
        entries.push_back(&grouped_[i]);
      }
    }
    if (next - run > 1) {
      std::stable_sort(
          entries.begin() + static_cast<std::ptrdiff_t>(run_start), entries.end(),
          [&less](const GroupText* a, const GroupText* b) { return less(a->name, b->name); });
    }
    run = next;
  }
  return entries;
}

std::shared_ptr<const TextAddresses> TextOrder::Addresses(const ParallelFor& parallel) const {
  auto result = std::make_shared<TextAddresses>();
  parallel(kDepths, [&](std::size_t k) {
    const std::vector<const GroupText*> entries = Entries(k);
    AddressList& addresses = result->depths[k];
    std::vector<std::uint32_t>& rows = result->text_rows[k];
    std::size_t bytes = 0;
    for (const GroupText* entry : entries) {
      bytes += prefix_[k][entry->group]->size() + entry->name.size();
    }
    addresses.Reserve(entries.size(), bytes);
    rows.reserve(entries.size());
    std::string address;
    for (const GroupText* entry : entries) {
      address.assign(*prefix_[k][entry->group]).append(entry->name);
      addresses.Add(address);
      rows.push_back(static_cast<std::uint32_t>(entry->row));
    }
    SortByAddress(&addresses, &rows, less_);
    result->by_address[k].Build(addresses);
  });
  return result;
}

TextTable JoinTexts(const Table& groups, Table texts, const std::string& path,
                    const ParallelFor& parallel) {
  const TextOrder order(groups, texts, path);
  return {order.Addresses(parallel), std::make_shared<const Table>(std::move(texts)), 2};
}

}  // namespace

TextTable JoinTextDepths(const Table& groups, Table texts, const std::string& path,
                         ErrorSink* errors) {
  if (errors != nullptr) errors->KeepResponsive();
  return JoinTexts(groups, std::move(texts), path, OneAfterAnother);
}

TextJoin::TextJoin(TextColumns columns, const ParallelFor& parallel) {
  Table texts = std::move(columns.texts);
  const TextOrder order(columns.groups, texts, columns.path);
  addresses_ = order.Addresses(parallel);
  rows_ = std::make_shared<const Table>(std::move(texts));
}

TextTable TextJoin::Join(std::size_t language) const { return {addresses_, rows_, 2 + language}; }

void ReportTextJoinFailure(const std::string& path, std::string_view language_id,
                           ErrorSink& errors) {
  PlaceScope at(errors, {path});
  errors.ReportFailure(kTextQueryProcedure);
  ReportQueryFailure(language_id, errors);
  ReportUnreadable(path, errors);
}

std::optional<TextTable> ReadTextDatabase(const std::string& database_path,
                                          std::string_view language_id, ErrorSink& errors,
                                          const ParallelFor& parallel) {
  PlaceScope at(errors, {database_path});
  std::optional<TextTable> texts = ReadAndJoinTexts(database_path, language_id, errors, parallel);
  if (!texts) ReportUnreadable(database_path, errors);
  return texts;
}

namespace {

// Reads the named columns of TidxTexts from a reader process of its own.
Table ReadTextTableColumns(const std::string& database_path,
                           const std::vector<std::string>& columns) {
  return JetDatabase::Open(database_path)->ReadTable("TidxTexts", columns);
}

}  // namespace

std::optional<TextColumns> ReadTextColumns(const std::string& database_path,
                                           const std::vector<std::string>& language_ids) {
  try {
    // Converting the texts takes the reader most of its time: with two languages or more, a
    // second reader process converts the later half of the columns meanwhile. Both read the
    // table in record order, so their rows pair up.
    const std::size_t first_half = (language_ids.size() + 1) / 2;
    std::vector<std::string> names = {"ParentID", "Name"};
    std::vector<std::string> later_names;
    for (std::size_t i = 0; i < language_ids.size(); ++i) {
      (i < first_half ? names : later_names).push_back(TextColumnOf(language_ids[i]));
    }
    std::future<Table> later;
    if (!later_names.empty()) {
      later = std::async(std::launch::async, ReadTextTableColumns, database_path, later_names);
    }
    std::unique_ptr<JetDatabase> database = JetDatabase::Open(database_path);
    TextColumns columns;
    columns.path = database_path;
    columns.language_ids = language_ids;
    columns.groups = database->ReadTable("TidxGroups", {"ID", "ParentID", "Name"});
    columns.texts = database->ReadTable("TidxTexts", names);
    if (later.valid()) {
      Table later_texts = later.get();
      if (later_texts.row_count() != columns.texts.row_count()) return std::nullopt;
      columns.texts.Resize(names.size() + later_names.size(), columns.texts.row_count());
      for (std::size_t r = 0; r < later_texts.row_count(); ++r) {
        std::move(later_texts.rows()[r].begin(), later_texts.rows()[r].end(),
                  columns.texts.rows()[r].begin() + static_cast<std::ptrdiff_t>(names.size()));
      }
    }
    return columns;
  } catch (const EndProgram&) {
    throw;
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace orvano
