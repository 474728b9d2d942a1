#include "generation/allocation_diff.h"

#include <gtest/gtest.h>

#include <tuple>

namespace orvano {
namespace {

// A row of the machine Filler at position 1 with the address `address` and the text `text`
// (no address cell when `address` is empty), from the sheet row `sheet_row` of Drives.
AllocationRow Row(const std::string& address, const std::string& text, std::size_t sheet_row = 17) {
  AllocationRow row;
  row.section = "Drives";
  row.machine = "Filler";
  row.position = "1";
  row.origin = {"Collection.xls", "Drives", sheet_row, 0, 0};
  row.font_class = "12";
  row.cells = {"12", "", address, text};
  if (!address.empty()) row.address_columns = {2};
  return row;
}

AllocationPage Page(const std::string& file, std::vector<AllocationRow> rows) {
  return {file, AllocationPageKind::kSection, "Drives", "Filler", std::move(rows)};
}

Allocation OneLanguage(std::vector<AllocationPage> pages) {
  return {{{"1033", "", std::move(pages)}}};
}

// Each change of the page as "kind old-text -> new-text", for short expectations.
std::vector<std::string> Summary(const PageChanges& page) {
  std::vector<std::string> lines;
  for (const RowChange& row : page.rows) {
    std::string line(ChangeKindName(row.kind));
    if (row.kind != ChangeKind::kAdded) line += " " + row.old_row.cells[3];
    if (row.kind == ChangeKind::kChanged) line += " ->";
    if (row.kind != ChangeKind::kRemoved) line += " " + row.new_row.cells[3];
    lines.push_back(line);
  }
  return lines;
}

// A row read from another sheet row is the same row.
TEST(AllocationDiffTest, RowsChangedAddedAndRemovedInPageOrder) {
  const Allocation old_one = OneLanguage(
      {Page("A.htm", {Row("A100.0", "Speed", 17), Row("A100.1", "Torque"), Row("A100.2", "Current"),
                      Row("A100.3", "Voltage"), Row("", "Heading"), Row("A100.4", "Power")})});
  const Allocation new_one = OneLanguage(
      {Page("A.htm", {Row("A100.0", "Speed", 18), Row("A100.1", "Torque max"),
                      Row("A100.9", "Current"), Row("A100.3", "Voltage"), Row("", "Heading 2"),
                      Row("A100.4", "Power"), Row("A100.5", "Energy")})});
  const AllocationDifference difference = CompareAllocations(old_one, new_one);
  ASSERT_EQ(1U, difference.languages.size());
  ASSERT_EQ(1U, difference.languages[0].pages.size());
  const PageChanges& page = difference.languages[0].pages[0];
  EXPECT_EQ(ChangeKind::kChanged, page.kind);
  EXPECT_EQ("Filler", page.machine);
  EXPECT_EQ((std::vector<std::string>{"changed Torque -> Torque max",
                                      // another address: not the same row
                                      "removed Current", "added Current",
                                      // no address to pair them by
                                      "removed Heading", "added Heading 2", "added Energy"}),
            Summary(page));
  EXPECT_EQ(1U, difference.changed_rows);
  EXPECT_EQ(3U, difference.added_rows);
  EXPECT_EQ(2U, difference.removed_rows);
  EXPECT_EQ(1U, difference.pages);
  EXPECT_TRUE(CompareAllocations(old_one, old_one).IsEmpty());
}

// Several changes between the same unchanged rows; a row moved keeps its text, so it is removed
// and added, not changed; an address met again after a pair is not paired backwards.
TEST(AllocationDiffTest, RowsArePairedByAddressInOrder) {
  const std::tuple<std::vector<AllocationRow>, std::vector<AllocationRow>, std::vector<std::string>>
      cases[] = {
          {{Row("A1.0", "a"), Row("A1.1", "b"), Row("A1.2", "c"), Row("A1.3", "d")},
           {Row("A1.0", "a"), Row("A1.1", "B"), Row("A7.7", "x"), Row("A1.2", "C"),
            Row("A1.3", "d")},
           {"changed b -> B", "added x", "changed c -> C"}},
          {{Row("A1.0", "a"), Row("A1.1", "b"), Row("A1.2", "c")},
           {Row("A1.2", "c"), Row("A1.0", "a"), Row("A1.1", "b")},
           {"added c", "removed c"}},
          {{Row("A1.1", "b"), Row("A1.0", "a")},
           {Row("A1.0", "A"), Row("A1.1", "B")},
           {"removed b", "changed a -> A", "added B"}},
      };
  for (const auto& [old_rows, new_rows, expected] : cases) {
    EXPECT_EQ(expected, Summary(CompareAllocations(OneLanguage({Page("A.htm", old_rows)}),
                                                   OneLanguage({Page("A.htm", new_rows)}))
                                    .languages[0]
                                    .pages[0]));
  }
}

TEST(AllocationDiffTest, PagesAndLanguagesOnOneSideOnly) {
  Allocation old_one = OneLanguage(
      {Page("A.htm", {Row("A1.0", "a")}), Page("Gone.htm", {Row("A1.0", "a"), Row("A1.1", "b")})});
  old_one.languages.push_back({"1031", "", {Page("A.htm", {Row("A1.0", "x")})}});
  Allocation new_one = OneLanguage({Page("New.htm", {}), Page("A.htm", {Row("A1.0", "a")})});
  new_one.languages.insert(new_one.languages.begin(),
                           {"1036", "", {Page("A.htm", {Row("A1.0", "y")})}});
  const AllocationDifference difference = CompareAllocations(old_one, new_one);
  EXPECT_EQ(3U, difference.language_count);
  ASSERT_EQ(3U, difference.languages.size());
  const LanguageChanges& french = difference.languages[0];
  EXPECT_EQ("1036", french.language);
  EXPECT_EQ(ChangeKind::kAdded, french.kind);
  EXPECT_EQ(ChangeKind::kAdded, french.pages[0].kind);
  EXPECT_EQ((std::vector<std::string>{"added y"}), Summary(french.pages[0]));
  const LanguageChanges& english = difference.languages[1];
  EXPECT_EQ(ChangeKind::kChanged, english.kind);
  EXPECT_EQ(2U, english.page_count);
  ASSERT_EQ(2U, english.pages.size());
  // A new page without rows is a difference too; the pages only in the old come last.
  EXPECT_EQ("New.htm", english.pages[0].file);
  EXPECT_EQ(ChangeKind::kAdded, english.pages[0].kind);
  EXPECT_TRUE(english.pages[0].rows.empty());
  EXPECT_EQ("Gone.htm", english.pages[1].file);
  EXPECT_EQ(ChangeKind::kRemoved, english.pages[1].kind);
  EXPECT_EQ((std::vector<std::string>{"removed a", "removed b"}), Summary(english.pages[1]));
  const LanguageChanges& german = difference.languages[2];
  EXPECT_EQ("1031", german.language);
  EXPECT_EQ(ChangeKind::kRemoved, german.kind);
  EXPECT_EQ(1U, german.page_count);
  EXPECT_EQ(4U, difference.pages);
  EXPECT_EQ(1U, difference.added_rows);
  EXPECT_EQ(3U, difference.removed_rows);
}

}  // namespace
}  // namespace orvano
