#include "database_dump/database_dump.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mdb_table.h"
#include "mdb_writer.h"
#include "support/table.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using Row = std::vector<tools::MdbValue>;

// The command's outcome, its standard error apart.
struct Dump {
  int status = -1;
  std::string out;
  std::string err;
};

Dump RunDump(const std::string& arguments, const std::string& folder) {
  const std::string err_path = folder + "stderr.txt";
  const testing::CommandOutcome outcome =
      testing::RunCommand(std::string(DATABASE_DUMP_EXE) + " " + arguments + " 2>" + err_path);
  return {outcome.status, outcome.output, testing::ReadBytes(err_path)};
}

TEST(DatabaseDumpTest, WritesCsvAsMdbExportDoes) {
  Table table(4, 0);
  table.AddRow({1.0, std::string("say \"hi\", then\nleave"), Cell{}, 0.00001});
  table.AddRow({-2.5, std::string(""), 1e16, std::string("x")});
  EXPECT_EQ(TableCsv({"A", "B", "C", "D"}, table),
            "A,B,C,D\n"
            "1,\"say \"\"hi\"\", then\nleave\",,1E-05\n"
            "-2.5,\"\",1E+16,\"x\"\n");
  EXPECT_EQ(TableCsv({"Only"}, Table(1, 0)), "Only\n");
}

// On a database of our writer the command lists the tables and prints each like mdb-export's
// default output, so the two diff clean where values agree (no Yes/No, no empty texts).
TEST(DatabaseDumpTest, CommandListsAndPrintsTables) {
  testing::ScopedTempDir dir;
  const std::string path = dir.path() + "two.mdb";
  using tools::MdbType;
  tools::WriteMdb(path, {{"People",
                          {{"Id", MdbType::kLongInteger},
                           {"Name", MdbType::kText},
                           {"Note", MdbType::kMemo},
                           {"Small", MdbType::kInteger}},
                          {Row{std::int64_t{1}, "Anna \"A\"", "line 1\nline 2", std::int64_t{-3}},
                           Row{std::int64_t{-7}, "Bo, Ek", std::monostate{}, std::monostate{}}}},
                         {"Empty", {{"Text", MdbType::kText}}, {}}});

  const Dump list = RunDump(path, dir.path());
  EXPECT_EQ(list.status, 0) << list.err;
  EXPECT_EQ(list.out, "People\nEmpty\n");

  const Dump one = RunDump(path + " People", dir.path());
  EXPECT_EQ(one.status, 0) << one.err;
  EXPECT_EQ(one.out, testing::RunCommand("mdb-export " + path + " People").output);
  EXPECT_EQ(one.out,
            "Id,Name,Note,Small\n"
            "1,\"Anna \"\"A\"\"\",\"line 1\nline 2\",-3\n"
            "-7,\"Bo, Ek\",,\n");
  const Dump both = RunDump(path + " Empty People", dir.path());
  EXPECT_EQ(both.out, "Text\n\n" + one.out);
}

TEST(DatabaseDumpTest, ErrorsNameTheFile) {
  testing::ScopedTempDir dir;
  const std::string path = dir.path() + "one.mdb";
  tools::WriteMdb(path, {{"T", {{"A", tools::MdbType::kText}}, {Row{"a"}}}});
  const std::pair<std::string, std::string> cases[] = {
      {path + " T Missing", "database_dump: Could not find table 'Missing' in '" + path + "'\n"},
      {dir.path() + "none.mdb",
       "database_dump: Could not find file '" + dir.path() + "none.mdb'\n"},
  };
  for (const auto& [arguments, message] : cases) {
    const Dump dump = RunDump(arguments, dir.path());
    EXPECT_EQ(dump.status, 1);
    EXPECT_EQ(dump.out, "");  // nothing of the tables read before the error
    EXPECT_EQ(dump.err, message);
  }
  const Dump usage = RunDump("", dir.path());
  EXPECT_EQ(usage.status, 2);
  EXPECT_EQ(usage.err.rfind("usage: database_dump FILE [TABLE...]\n", 0), 0u);
}

TEST(DatabaseDumpTest, MatchesTheRealWorldExports) {
  ORVANO_SKIP_IF_NO_SHARED(deleted, "realworld/delColTestV2000.mdb");
  ORVANO_SKIP_IF_NO_SHARED(deleted_csv, "realworld/delColTestV2000.Table1.csv");
  ORVANO_SKIP_IF_NO_SHARED(dates, "realworld/DateTestDatabase.mdb");
  ORVANO_SKIP_IF_NO_SHARED(dates_csv, "realworld/DateTestDatabase.DateTest.csv");
  ORVANO_SKIP_IF_NO_SHARED(calculated, "realworld/calcFieldTestV2010.accdb");
  testing::ScopedTempDir dir;

  // Rows written before two columns were deleted.
  const Dump table1 = RunDump(deleted + " Table1", dir.path());
  EXPECT_EQ(table1.status, 0) << table1.err;
  EXPECT_EQ(table1.out, testing::ReadBytes(deleted_csv));

  // The export writes dates libmdb cannot convert (before 30 December 1899 or after about
  // 4637) as the impossible "01/00/00"; we read them. All else agrees.
  std::string expected = testing::ReadBytes(dates_csv);
  const std::pair<std::string, std::string> dates_read[] = {
      {"2,\"01/00/00 00:00:00\",\"01/00/00 00:00:00\",\"01/00/00 00:00:00\"",
       "2,\"01/01/99 00:00:00\",\"01/01/99 00:00:00\",\"01/01/99 00:00:00\""},
      {"3,\"01/00/00 00:00:00\",\"01/00/00 00:00:00\",\"01/01/00 00:00:00\"",
       "3,\"01/01/98 00:00:00\",\"01/01/99 00:00:00\",\"01/01/00 00:00:00\""},
      {"4,\"01/00/00 00:00:00\",\"01/00/00 00:00:00\",\"01/00/00 00:00:00\"",
       "4,\"01/01/32 00:00:00\",\"01/01/33 00:00:00\",\"01/01/34 00:00:00\""}};
  for (const auto& [exported, read] : dates_read) {
    const std::size_t at = expected.find(exported);
    ASSERT_NE(at, std::string::npos) << exported;
    expected.replace(at, exported.size(), read);
  }
  const Dump date_test = RunDump(dates + " DateTest", dir.path());
  EXPECT_EQ(date_test.status, 0) << date_test.err;
  EXPECT_EQ(date_test.out, expected);

  // Calculated columns are named, not misread.
  EXPECT_EQ(RunDump(calculated, dir.path()).out, "Table1\n");
  const Dump calc = RunDump(calculated + " Table1", dir.path());
  EXPECT_EQ(calc.status, 1);
  EXPECT_EQ(calc.err,
            "database_dump: " + calculated +
                ": table Table1, column LastFirst: calculated columns are not supported\n");
}

}  // namespace
}  // namespace orvano
