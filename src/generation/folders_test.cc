#include "generation/folders.h"

#include <gtest/gtest.h>

#include "generation/error_reporting.h"
#include "support/errors.h"
#include "support/logs.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

// Records the folders made, and refuses to make one named "locked".
class RecordingFileSystem : public testing::FixedClockFileSystem {
 public:
  RecordingFileSystem() : FixedClockFileSystem(testing::TestTime()) {}
  void MakeFolder(const std::string& path) override {
    made.push_back(path);
    if (path.find("locked") != std::string::npos) {
      throw UnexpectedError(err::kPermissionDenied, "cannot create folder '" + path + "'");
    }
    FixedClockFileSystem::MakeFolder(path);
  }
  std::vector<std::string> made;
};

struct PathsTest : public ::testing::Test {
  testing::ScopedTempDir dir;
  RecordingFileSystem fs;
  testing::RecordingHost host;
  Logs logs{fs, dir.path() + "Error.log", ""};
  ErrorContext errors{host, logs, false};
};

TEST_F(PathsTest, CreateFolderWithParentsMakesEveryMissingLevelTopDown) {
  std::string root = dir.path();
  EXPECT_TRUE(CreateFolderWithParents(fs, errors, root + "x/y/z/"));
  EXPECT_TRUE(CreateFolderWithParents(fs, errors, root + "x/y/w"));  // no trailing "/"
  EXPECT_TRUE(CreateFolderWithParents(fs, errors, root + "x/"));
  EXPECT_EQ((std::vector<std::string>{root + "x/", root + "x/y/", root + "x/y/z/", root + "x/y/w"}),
            fs.made);
  EXPECT_TRUE(fs.IsFolder(root + "x/y/z/"));
  EXPECT_TRUE(host.calls.empty());
}

// A level that cannot be made is reported and ends the making. (The messages for a file in the
// way: settings_loader_test.)
TEST_F(PathsTest, CreateFolderWithParentsReportsAFolderItCannotMake) {
  host.continue_after_error = true;
  EXPECT_FALSE(CreateFolderWithParents(fs, errors, dir.path() + "locked/a/"));
  EXPECT_EQ(std::vector<std::string>{dir.path() + "locked/"}, fs.made);
  ASSERT_EQ(1u, host.CallsOf("error").size());
  EXPECT_NE(std::string::npos, host.calls[0].text.find("No: 70"));
  EXPECT_NE(std::string::npos, host.calls[0].text.find("CreateDirectory"));

  host.continue_after_error = false;
  EXPECT_THROW(static_cast<void>(CreateFolderWithParents(fs, errors, dir.path() + "locked/")),
               EndProgram);
}

TEST_F(PathsTest, PathExistsNamesFilesAndFolders) {
  testing::WriteBytes(dir.path() + "Orvano.doc", "");
  EXPECT_FALSE(PathExists(fs, ""));
  EXPECT_TRUE(PathExists(fs, dir.path()));
  EXPECT_TRUE(PathExists(fs, dir.path().substr(0, dir.path().size() - 1)));
  EXPECT_TRUE(PathExists(fs, dir.path() + "Orvano.doc"));
  EXPECT_FALSE(PathExists(fs, dir.path() + "Orvano.doc/"));
  EXPECT_FALSE(PathExists(fs, dir.path() + "missing"));
}

}  // namespace
}  // namespace orvano
