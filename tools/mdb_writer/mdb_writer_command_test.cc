#include "mdb_writer_command.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "jet/jet_database.h"
#include "support/file_system.h"
#include "testing/test_util.h"

namespace orvano::tools {
namespace {

struct Outcome {
  int status = 0;
  std::string err;
};

Outcome RunCommand(const std::vector<std::string>& args) {
  const std::unique_ptr<FileSystem> fs = NewPosixFileSystem();
  std::ostringstream out;
  std::ostringstream err;
  const int status = RunMdbWriter(args, *fs, out, err);
  return {status, err.str()};
}

// A table file that cannot be written leaves no database and says why; good ones are written.
TEST(MdbWriterCommandTest, WritesTablesOrExplainsWhyNot) {
  testing::ScopedTempDir dir;
  const std::string db = dir.path() + "out.mdb";
  const std::string good = dir.path() + "good.txt";
  const std::string bad = dir.path() + "bad.txt";
  testing::WriteBytes(good, "Tgood\nId:Long\tName:Text\n1\tEins\n");
  testing::WriteBytes(bad, "Tbad\nId:Integer\n70000\n");

  const Outcome usage = RunCommand({db});
  EXPECT_EQ(usage.status, 2);
  EXPECT_NE(usage.err.find("Usage: mdb_writer"), std::string::npos);
  const Outcome refused = RunCommand({db, good, bad});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err,
            "mdb_writer: table \"Tbad\", row 1, column \"Id\" (Integer): 70000 is "
            "outside the Integer range -32768 to 32767\n");
  EXPECT_FALSE(testing::ReadBytes(db).size());

  ASSERT_EQ(RunCommand({db, good}).status, 0);
  const auto database = JetDatabase::Open(db);
  EXPECT_EQ(database->TableNames(), std::vector<std::string>{"Tgood"});
  EXPECT_EQ(database->ReadTable("Tgood").TextAt(1, 0), "Eins");
}

}  // namespace
}  // namespace orvano::tools
