#include "mdb_writer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "header_page.h"
#include "jet/jet4_format.h"
#include "jet/jet_database.h"
#include "table_file.h"
#include "testing/test_util.h"

namespace orvano::tools {
namespace {

using ::testing::HasSubstr;
using Row = std::vector<MdbValue>;

// Runs a shell command and returns its standard output; fails the test on a non-zero exit.
std::string RunShell(const std::string& command) {
  testing::CommandOutcome outcome = testing::RunCommand(command);
  EXPECT_EQ(outcome.status, 0) << command;
  return outcome.output;
}

// mdb-export's rows in the table file's field format: tab-separated, escaped, "\N" for null.
std::string Export(const std::string& path, const std::string& table) {
  return RunShell("mdb-export -H -Q -e -d \"$(printf '\\t')\" -0 '\\N' '" + path + "' '" + table +
                  "'");
}

// What Export gives for `rows`. mdb-export prints Booleans as 1/0 and, like every libmdb
// binding, cannot tell an empty text from null.
std::string ExpectedExport(const std::vector<Row>& rows) {
  std::string text;
  for (const Row& row : rows) {
    for (std::size_t c = 0; c < row.size(); ++c) {
      if (c > 0) text += '\t';
      const auto* flag = std::get_if<bool>(&row[c]);
      const auto* str = std::get_if<std::string>(&row[c]);
      text += flag != nullptr                  ? (*flag ? "1" : "0")
              : str != nullptr && str->empty() ? "\\N"
                                               : FormatTableFileField(row[c]);
    }
    text += '\n';
  }
  return text;
}

std::string Repeat(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

MdbTable SampleTable() {
  MdbTable table{"Tsample",
                 {{"Id", MdbType::kLongInteger},
                  {"Small", MdbType::kInteger},
                  {"Name", MdbType::kText},
                  {"Active", MdbType::kBoolean},
                  {"Note", MdbType::kMemo}},
                 {}};
  table.rows = {
      Row{std::int64_t{1}, std::int64_t{-32768}, "Größe", true, "kurz"},
      Row{std::int64_t{-2147483648LL}, std::int64_t{32767}, "Zażółć gęślą jaźń", false,
          Repeat("Привет мир ", 910)},  // 10 010 characters: a chain of long-value rows
      Row{std::int64_t{2147483647}, std::int64_t{0}, "Привет мир", true, Repeat("你好", 1000)},
      Row{std::monostate{}, std::monostate{}, std::monostate{}, false, std::monostate{}},
      Row{std::int64_t{0}, std::int64_t{-1}, "", true, ""},
      Row{std::int64_t{5}, std::int64_t{7}, "你好世界", false, "tab\there\nline \\ \"q\" 'a'"},
      Row{std::int64_t{6}, std::int64_t{8}, Repeat("x", 255), true, Repeat("m", 64)},
  };
  return table;
}

// Rows keep the columns they were written with: a deleted column stays in them, and rows from
// before an added column lack it. An independent reader sees the current columns only.
std::vector<MdbTable> ChangedColumnTables() {
  const auto deleted = MdbColumnChange::kDeleted;
  const auto added = MdbColumnChange::kAdded;
  MdbTable shrunk{"Shrunk",
                  {{"Id", MdbType::kLongInteger},
                   {"Gone", MdbType::kLongInteger, deleted},
                   {"Name", MdbType::kText},
                   {"Old", MdbType::kText, deleted},
                   {"Rest", MdbType::kText}},
                  {Row{std::int64_t{1}, std::int64_t{-7}, "one", "old one", "rest one"},
                   Row{std::int64_t{2}, std::monostate{}, "two", std::monostate{}, "r2"}}};
  MdbTable grown{"Grown",
                 {{"Id", MdbType::kLongInteger},
                  {"Count", MdbType::kInteger, added},
                  {"Note", MdbType::kText, added},
                  {"Flag", MdbType::kBoolean, added}},
                 {Row{std::int64_t{1}, std::monostate{}, std::monostate{}, std::monostate{}},
                  Row{std::int64_t{2}, std::int64_t{5}, "note", true}}};
  grown.rows_before_added = 1;
  return {shrunk, grown};
}

TEST(MdbWriterTest, ReadsBackExactlyThroughMdbToolsAndJetDatabase) {
  testing::ScopedTempDir dir;
  const std::string path = dir.path() + "sample.mdb";
  const MdbTable sample = SampleTable();
  const MdbTable empty{"Empty", {{"Text", MdbType::kText}, {"Memo", MdbType::kMemo}}, {}};
  std::vector<MdbTable> tables = ChangedColumnTables();
  tables.insert(tables.begin(), {sample, empty});
  WriteMdb(path, tables);

  EXPECT_EQ(RunShell("mdb-tables -1 '" + path + "'"), "Tsample\nEmpty\nShrunk\nGrown\n");
  const std::string schema = RunShell("mdb-schema '" + path + "'");
  EXPECT_THAT(schema,
              HasSubstr("[Id]\t\t\tLong Integer, \n\t[Small]\t\t\tInteger, \n\t[Name]\t\t\t"
                        "Text (255), \n\t[Active]\t\t\tBoolean NOT NULL, \n\t[Note]\t\t\tMemo"));
  EXPECT_THAT(schema, HasSubstr("[Id]\t\t\tLong Integer, \n\t[Name]\t\t\tText (255), \n\t"
                                "[Rest]\t\t\tText (255)\n"));
  EXPECT_EQ(Export(path, "Tsample"), ExpectedExport(sample.rows));
  EXPECT_EQ(Export(path, "Empty"), "");
  EXPECT_EQ(Export(path, "Shrunk"), "1\tone\trest one\n2\ttwo\tr2\n");
  EXPECT_EQ(Export(path, "Grown"), "1\t\\N\t\\N\t0\n2\t5\tnote\t1\n");
  // Equal input, equal bytes: fixtures stay stable.
  EXPECT_EQ(BuildMdb(tables), testing::ReadBytes(path));

  // Our reader also tells an empty text from null.
  const Table table = JetDatabase::Open(path)->ReadTable("Tsample");
  ASSERT_EQ(table.row_count(), sample.rows.size());
  ASSERT_EQ(table.column_count(), sample.columns.size());
  for (std::size_t r = 0; r < sample.rows.size(); ++r) {
    for (std::size_t c = 0; c < sample.columns.size(); ++c) {
      const MdbValue& value = sample.rows[r][c];
      Cell expected;
      if (const auto* number = std::get_if<std::int64_t>(&value)) {
        expected = static_cast<double>(*number);
      } else if (const auto* flag = std::get_if<bool>(&value)) {
        expected = *flag ? -1.0 : 0.0;
      } else if (const auto* text = std::get_if<std::string>(&value)) {
        expected = *text;
      }
      EXPECT_EQ(table.At(c, r), expected) << "row " << r << ", column " << c;
    }
  }
}

// Many rows take many data pages, at most 255 rows on each (rows of a lone Boolean take 3
// bytes: without the cap 800 would share a page); 255 columns with long names take a chain of
// definition pages.
TEST(MdbWriterTest, SpansManyPages) {
  MdbTable big{"Big", {{"Id", MdbType::kLongInteger}, {"Name", MdbType::kText}}, {}};
  std::string expected;
  for (int i = 0; i < 200000; ++i) {
    big.rows.push_back(Row{std::int64_t{i}, "name " + std::to_string(i)});
    expected += std::to_string(i) + "\tname " + std::to_string(i) + "\n";
  }
  MdbTable flags{"Flags", {{"On", MdbType::kBoolean}}, {}};
  for (int i = 0; i < 2000; ++i) flags.rows.push_back(Row{i % 7 == 0});
  MdbTable wide{"Wide", {}, {Row{}}};
  for (int i = 0; i < 255; ++i) {
    wide.columns.push_back({"Column " + std::to_string(i) + Repeat("-", 50), MdbType::kInteger});
    wide.rows[0].emplace_back(std::int64_t{i});
  }
  testing::ScopedTempDir dir;
  const std::string path = dir.path() + "big.mdb";
  WriteMdb(path, {big, flags, wide});

  EXPECT_EQ(Export(path, "Big"), expected);
  EXPECT_EQ(Export(path, "Flags"), ExpectedExport(flags.rows));
  EXPECT_EQ(Export(path, "Wide"), ExpectedExport(wide.rows));
  const std::string bytes = testing::ReadBytes(path);
  for (std::size_t page = 0; page < bytes.size(); page += jet4::kPageSize) {
    if (bytes[page] != jet4::kPageTypeData) continue;
    EXPECT_LE(testing::GetLe(bytes, page + jet4::kDataRowCountOffset, 2), 255u);
  }
}

TEST(MdbWriterTest, HeaderUnscramblesLikeARealDatabase) {
  auto plain = [](const std::string& file) {
    return jet4::Rc4(
        jet4::kHeaderRc4Key,
        std::string_view(file).substr(jet4::kHeaderEncryptedOffset, jet4::kHeaderEncryptedLength));
  };
  // Code page 1252 and database key 0 (pages not encrypted), at 0x3c within the region.
  const std::string settings("\xE4\x04\0\0\0\0", 6);
  const std::size_t at = jet4::kHeaderCodePageOffset - jet4::kHeaderEncryptedOffset;
  EXPECT_EQ(plain(BuildMdb({})).substr(at, 6), settings);
  ORVANO_SKIP_IF_NO_SHARED(real, "realworld/DateTestDatabase.mdb");
  EXPECT_EQ(plain(testing::ReadBytes(real)).substr(at, 6), settings);
}

}  // namespace
}  // namespace orvano::tools
