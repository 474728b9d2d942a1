#include "database_dump/database_dump.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mdb_table.h"
#include "mdb_writer.h"
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

// On a database of our writer the command lists the tables and prints each like mdb-export's
// default output, so the two diff clean where values agree (no Yes/No, no empty texts); a table
// it cannot find prints nothing of the tables before it.
TEST(DatabaseDumpTest, CommandListsAndPrintsTablesOrNamesTheFault) {
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
  EXPECT_EQ(RunDump(path + " Empty People", dir.path()).out, "Text\n\n" + one.out);

  const Dump missing = RunDump(path + " People Missing", dir.path());
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err, "database_dump: Could not find table 'Missing' in '" + path + "'\n");
  EXPECT_EQ(RunDump("", dir.path()).status, 2);  // the usage
}

// Real databases beside their exports (the dates of another sample: jet_database_test).
TEST(DatabaseDumpTest, MatchesTheRealWorldExports) {
  ORVANO_SKIP_IF_NO_SHARED(deleted, "realworld/delColTestV2000.mdb");
  ORVANO_SKIP_IF_NO_SHARED(deleted_csv, "realworld/delColTestV2000.Table1.csv");
  ORVANO_SKIP_IF_NO_SHARED(calculated, "realworld/calcFieldTestV2010.accdb");
  testing::ScopedTempDir dir;

  // Rows written before two columns were deleted.
  const Dump table1 = RunDump(deleted + " Table1", dir.path());
  EXPECT_EQ(table1.status, 0) << table1.err;
  EXPECT_EQ(table1.out, testing::ReadBytes(deleted_csv));

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
