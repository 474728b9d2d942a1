#include "jet/jet_database.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "jet/jet4_format.h"
#include "mdb_table.h"
#include "mdb_writer.h"
#include "support/errors.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

constexpr const char* kSample = "realworld/DateTestDatabase.mdb";
constexpr const char* kSampleCsv = "realworld/DateTestDatabase.DateTest.csv";
constexpr const char* kCalculatedSample = "realworld/calcFieldTestV2010.accdb";

// Asserts that `action` throws an UnexpectedError with `number` whose message names `path` and
// holds `text`.
template <typename Action>
void ExpectError(Action action, int number, const std::string& path, const std::string& text) {
  const testing::Thrown thrown = testing::ThrownBy(action);
  EXPECT_EQ(thrown.number, number) << thrown.description;
  EXPECT_THAT(thrown.description, HasSubstr(path));
  EXPECT_THAT(thrown.description, HasSubstr(text));
}

// The columns of `table` in the sample's CSV export: a header line, then each row, its texts
// quoted, each line ended by "\n".
std::string AsCsv(const std::vector<std::string>& names, const Table& table) {
  std::string csv;
  for (const std::string& name : names) csv += (csv.empty() ? "" : ",") + name;
  for (std::size_t row = 0; row < table.row_count(); ++row) {
    for (std::size_t column = 0; column < table.column_count(); ++column) {
      const std::string quote = IsText(table.At(column, row)) ? "\"" : "";
      csv += (column == 0 ? "\n" : ",") + quote + table.TextAt(column, row) + quote;
    }
  }
  return csv + "\n";
}

TEST(JetDatabaseTest, ReadsSampleLikeItsCsvExport) {
  ORVANO_SKIP_IF_NO_SHARED(path, kSample);
  ORVANO_SKIP_IF_NO_SHARED(csv_path, kSampleCsv);
  std::string csv = testing::ReadBytes(csv_path);
  // The export renders dates libmdb cannot convert (before 30 December 1899 or after about
  // 4637) as the impossible "01/00/00"; those dates read correctly here: 9999-01-01 three
  // times, 1898-01-01 and 1899-01-01, 0632-01-01, 0633-01-01 and 0634-01-01.
  const std::string cut = "\"01/00/00 00:00:00\"";
  for (const auto& [row, dates] : {std::pair<std::string, std::vector<std::string>>{
                                       "\n2,", {"01/01/99", "01/01/99", "01/01/99"}},
                                   {"\n3,", {"01/01/98", "01/01/99"}},
                                   {"\n4,", {"01/01/32", "01/01/33", "01/01/34"}}}) {
    std::size_t at = csv.find(row) + row.size();
    for (const std::string& date : dates) {
      ASSERT_EQ(csv.compare(at, cut.size(), cut), 0) << row;
      csv.replace(at, cut.size(), "\"" + date + " 00:00:00\"");
      at += cut.size() + 1;
    }
  }
  auto db = JetDatabase::Open(path);
  EXPECT_EQ(db->TableNames(), std::vector<std::string>{"DateTest"});
  EXPECT_TRUE(db->HasTable("dATEtEST"));
  EXPECT_FALSE(db->HasTable("MSysObjects"));
  EXPECT_EQ(AsCsv(db->ColumnNames("DateTest"), db->ReadTable("datetest")), csv);

  // Named columns come in the order asked for, matched without regard to case.
  Table picked = db->ReadTable("DateTest", {"SHORTTEXTCOL", "idcol", "IDCol"});
  ASSERT_EQ(picked.column_count(), 3u);
  ASSERT_EQ(picked.row_count(), 6u);
  EXPECT_EQ(picked.TextAt(0, 1), "Year 1999");
  EXPECT_EQ(picked.TextAt(1, 5), "6");
  EXPECT_EQ(picked.TextAt(2, 5), "6");
}

TEST(JetDatabaseTest, FormatsTheWholeJetDateRange) {
  const char* iso = "%Y-%m-%d %H:%M:%S";
  EXPECT_EQ(FormatJetDateTime(0, iso), "1899-12-30 00:00:00");
  EXPECT_EQ(FormatJetDateTime(36526.75, iso), "2000-01-01 18:00:00");
  EXPECT_EQ(FormatJetDateTime(-1.25, iso), "1899-12-29 06:00:00");        // time counts forward
  EXPECT_EQ(FormatJetDateTime(61.0, iso), "1900-03-01 00:00:00");         // 1900 was no leap year
  EXPECT_EQ(FormatJetDateTime(0.999999999, iso), "1899-12-31 00:00:00");  // rounds into next day
  EXPECT_EQ(FormatJetDateTime(-657434, iso), "100-01-01 00:00:00");
  EXPECT_EQ(FormatJetDateTime(2958465.5, iso), "9999-12-31 12:00:00");
  EXPECT_EQ(FormatJetDateTime(2958465.5, "%a %j"), "Fri 365");
  EXPECT_EQ(FormatJetDateTime(-700000, iso), "-700000");  // outside the range: the number
  EXPECT_EQ(FormatJetDateTime(1e300, iso), "1E+300");
}

TEST(JetDatabaseTest, RejectsMissingAndForeignFiles) {
  testing::ScopedTempDir dir;
  const auto expect_open_error = [&](const std::string& name, int number, const char* text) {
    const std::string path = dir.path() + name;
    ExpectError([&] { JetDatabase::Open(path); }, number, path, text);
  };
  expect_open_error("missing.mdb", err::kDbFileNotFound, "Could not find file '");
  // The reader reads the file itself; what it cannot read comes back as the same error.
  ASSERT_EQ(mkdir((dir.path() + "folder.mdb").c_str(), 0755), 0);
  expect_open_error("folder.mdb", err::kDbCannotOpen, "");
  // What the reader refuses comes back as its error (each fault: jet_file_reader_test).
  testing::WriteBytes(dir.path() + "text.mdb", std::string(8192, 'x'));
  expect_open_error("text.mdb", err::kDbUnrecognizedFormat, "Not a database: ");
}

// Every cut of the sample either fails with the damage error or, where the missing tail holds
// nothing the read needs, gives all rows: never a crash and never fewer rows.
TEST(JetDatabaseTest, TruncatedFileIsDamageNeverShortData) {
  ORVANO_SKIP_IF_NO_SHARED(sample, kSample);
  const std::string bytes = testing::ReadBytes(sample);
  ASSERT_EQ(bytes.size() % 4096, 0u);
  const std::size_t full_rows = JetDatabase::Open(sample)->ReadTable("DateTest").row_count();
  testing::ScopedTempDir dir;
  const std::string path = dir.path() + "cut.mdb";

  std::vector<std::size_t> cuts = {4, 20, 100, 4096, 8192, 12288 + 1, 65536, 69632 - 1};
  for (std::size_t cut = 3 * 4096; cut < bytes.size(); cut += 4096) cuts.push_back(cut);
  int damaged = 0;
  for (std::size_t cut : cuts) {
    SCOPED_TRACE("cut at " + std::to_string(cut));
    testing::WriteBytes(path, bytes.substr(0, cut));
    std::size_t rows = 0;
    const testing::Thrown thrown = testing::ThrownBy(
        [&] { rows = JetDatabase::Open(path)->ReadTable("DateTest").row_count(); });
    if (thrown.number == -1) {
      EXPECT_EQ(rows, full_rows);
      continue;
    }
    ++damaged;
    EXPECT_EQ(thrown.number, err::kDbUnrecognizedFormat);
    EXPECT_THAT(thrown.description, StartsWith("Damaged database: " + path));
  }
  EXPECT_GE(damaged, 10);
}

// The reader answers a table's rows while it reads them: a table larger than one answer comes
// whole and in order, and one whose last pages are cut off is damage, although rows went out
// before the damage was found.
TEST(JetDatabaseTest, LargeTablesComeWholeOrAsDamage) {
  using tools::MdbType;
  tools::MdbTable big{"Big", {{"Id", MdbType::kLongInteger}, {"Name", MdbType::kText}}, {}};
  for (std::int64_t i = 0; i < 30000; ++i) {
    big.rows.push_back({i, "Signal text of row " + std::to_string(i) + std::string(24, '.')});
  }
  const std::string bytes = tools::BuildMdb({big});
  testing::ScopedTempDir dir;
  const std::string path = dir.path() + "big.mdb";
  testing::WriteBytes(path, bytes);
  const Table table = JetDatabase::Open(path)->ReadTable("Big");
  ASSERT_EQ(table.row_count(), 30000u);
  for (std::size_t r : {0, 12345, 29999}) {
    EXPECT_EQ(table.TextAt(0, r), std::to_string(r));
    EXPECT_EQ(table.TextAt(1, r), "Signal text of row " + std::to_string(r) + std::string(24, '.'));
  }
  testing::WriteBytes(path, bytes.substr(0, bytes.size() - 16 * 4096));
  ExpectError([&] { JetDatabase::Open(path)->ReadTable("Big"); }, err::kDbUnrecognizedFormat, path,
              "Damaged database: ");
}

// The rows of `table`, each cell as text ("" for null), with `null` for null cells.
std::vector<std::vector<std::string>> Texts(const Table& table, const std::string& null = "") {
  std::vector<std::vector<std::string>> rows;
  for (std::size_t r = 0; r < table.row_count(); ++r) {
    rows.emplace_back();
    for (std::size_t c = 0; c < table.column_count(); ++c) {
      rows.back().push_back(IsNull(table.At(c, r)) ? null : table.TextAt(c, r));
    }
  }
  return rows;
}

// Rows keep the columns they were written with; they are read by column number, so a deleted
// column's value is passed over and a column added later is null (a Yes/No column No).
TEST(JetDatabaseTest, ReadsRowsWrittenBeforeColumnsChanged) {
  using tools::MdbType;
  using Row = std::vector<tools::MdbValue>;
  const auto deleted = tools::MdbColumnChange::kDeleted;
  const auto added = tools::MdbColumnChange::kAdded;
  // A fixed column deleted before others were added: older rows hold as many fixed columns as
  // the definition lists, but not the added one. libmdb counts them and drops the short row.
  tools::MdbTable grown{
      "Grown",
      {{"Id", MdbType::kLongInteger},
       {"Gone", MdbType::kLongInteger, deleted},
       {"Count", MdbType::kInteger, added},
       {"Note", MdbType::kMemo, added},
       {"Flag", MdbType::kBoolean, added}},
      {Row{std::int64_t{1}, std::int64_t{9}, std::monostate{}, std::monostate{}, std::monostate{}},
       Row{std::int64_t{2}, std::monostate{}, std::int64_t{5}, "note", true}}};
  grown.rows_before_added = 1;
  testing::ScopedTempDir dir;
  const std::string path = dir.path() + "changed.mdb";
  const std::string bytes = tools::BuildMdb({grown});
  testing::WriteBytes(path, bytes);

  const auto db = JetDatabase::Open(path);
  EXPECT_EQ(db->ColumnNames("Grown"), (std::vector<std::string>{"Id", "Count", "Note", "Flag"}));
  using Texts = std::vector<std::vector<std::string>>;
  EXPECT_EQ(orvano::Texts(db->ReadTable("Grown"), "null"),
            (Texts{{"1", "null", "null", "0"}, {"2", "5", "note", "-1"}}));

  // A column count whose null mask the row cannot hold is damage. The older row of Grown: the
  // count, two Long Integers, a 1-byte mask.
  const std::size_t row = bytes.find(std::string("\2\0\1\0\0\0\x09\0\0\0\3", 11));
  ASSERT_NE(row, std::string::npos);
  std::string damaged = bytes;
  testing::PutLe(damaged, row, 0xffff, 2);
  testing::WriteBytes(path, damaged);
  ExpectError([&] { JetDatabase::Open(path)->ReadTable("Grown"); }, err::kDbUnrecognizedFormat,
              path, "Damaged database: ");
}

// A column of a kind the reader does not read is named where it is asked for; the table's
// other columns read as usual.
TEST(JetDatabaseTest, NamesColumnKindsItDoesNotRead) {
  using tools::MdbType;
  std::string bytes = tools::BuildMdb(
      {{"T",
        {{"Id", MdbType::kLongInteger}, {"Name", MdbType::kText}, {"Extra", MdbType::kLongInteger}},
        {{std::int64_t{1}, "one", std::int64_t{2}}}}});
  // The table's definition is page 3; mark its third column as calculated.
  const std::size_t entry = 3 * 4096 + jet4::kTdefColumnsOffset + 2 * jet4::kColumnEntrySize;
  ASSERT_EQ(bytes[entry + jet4::kColumnNumberOffset], 2);
  bytes[entry + jet4::kColumnExtraFlagsOffset] = '\xc0';
  testing::ScopedTempDir dir;
  const std::string path = dir.path() + "calculated.mdb";
  testing::WriteBytes(path, bytes);
  const auto db = JetDatabase::Open(path);
  const testing::Thrown thrown = testing::ThrownBy([&] { db->ReadTable("T", {"Id", "extra"}); });
  EXPECT_EQ(thrown.number, err::kDbUnrecognizedFormat);
  EXPECT_EQ(thrown.description,
            path + ": table T, column Extra: calculated columns are not supported");
  EXPECT_EQ(orvano::Texts(db->ReadTable("T", {"Name", "Id"})),
            (std::vector<std::vector<std::string>>{{"one", "1"}}));
}

// The message for its calculated columns is checked by database_dump_test.
TEST(JetDatabaseTest, ReadsTheOtherColumnsOfATableWithCalculatedOnes) {
  ORVANO_SKIP_IF_NO_SHARED(path, kCalculatedSample);
  const Table table = JetDatabase::Open(path)->ReadTable(
      "Table1", {"ID", "FirstName", "LastName", "City", "Salary", "Popularity"});
  using Texts = std::vector<std::vector<std::string>>;
  EXPECT_EQ(orvano::Texts(table),
            (Texts{{"1", "Bruce", "Wayne", "Gotham", "1000000", "50.325"},
                   {"2", "Bart", "Simpson", "Springfield", "-1", "-36.2222"},
                   {"3", "John", "Doe", "Nowhere", "0", "0.0123"},
                   {"4", "Test", "User", "Hockessin", "100", "102030405060.654"}}));
}

}  // namespace
}  // namespace orvano
