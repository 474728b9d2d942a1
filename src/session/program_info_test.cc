#include "session/program_info.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "session/paths.h"
#include "support/file_system.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using ::testing::HasSubstr;
using testing::WriteBytes;

struct ProgramInfoTest : public ::testing::Test {
  testing::ScopedTempDir dir;
  testing::FixedClockFileSystem fs{testing::TestTime()};
  std::string bin = dir.path() + "usr/bin/";
  std::string home = dir.path() + "home/";

  void SetUp() override {
    testing::MakeFolders(bin);
    testing::MakeFolders(home);
  }
};

TEST_F(ProgramInfoTest, InstalledProgramFollowsTheXdgBaseDirectories) {
  ProgramInfo info = LocateProgram(fs, bin + "orvano-html", {home, "", ""});
  EXPECT_FALSE(info.IsPortable());
  EXPECT_EQ(home + ".config/orvano-html/orvano-html.ini", info.UserIniPath());
  EXPECT_EQ(home + ".local/state/orvano-html/orvano-htmlError.log", info.ErrorLogPath());
  EXPECT_EQ(home + ".local/state/orvano-html/orvano-html_Events.log", info.DefaultEventLogPath());
  EXPECT_EQ((std::vector<std::string>{bin, home + ".config/orvano-html/", "/etc/orvano-html/",
                                      dir.path() + "usr/share/orvano-html/"}),
            info.LanguageDatabaseFolders());

  // Absolute XDG variables win; relative ones are ignored, as the XDG rules say.
  info = LocateProgram(fs, bin + "orvano-html", {home, "/cfg", "/st/"});
  EXPECT_EQ("/cfg/orvano-html/orvano-html.ini", info.UserIniPath());
  EXPECT_EQ("/st/orvano-html/orvano-htmlError.log", info.ErrorLogPath());
  info = LocateProgram(fs, bin + "orvano-html", {home, "cfg", "st"});
  EXPECT_EQ(home + ".config/orvano-html/orvano-html.ini", info.UserIniPath());

  // With no home to put them under, the files stay beside the program.
  info = LocateProgram(fs, bin + "orvano-html", {"relative", "", ""});
  EXPECT_TRUE(info.IsPortable());
  EXPECT_EQ(bin + "orvano-htmlError.log", info.ErrorLogPath());
}

TEST_F(ProgramInfoTest, PortableCopyKeepsItsFilesBesideItself) {
  WriteBytes(bin + "orvano-html.ini", "");
  ProgramInfo info = LocateProgram(fs, bin + "orvano-html", {home, "", ""});
  EXPECT_TRUE(info.IsPortable());
  EXPECT_EQ(bin + "orvano-html.ini", info.UserIniPath());
  EXPECT_EQ(bin + "orvano-htmlError.log", info.ErrorLogPath());
  EXPECT_EQ(std::vector<std::string>{bin}, info.LanguageDatabaseFolders());
  EXPECT_TRUE(MakeUserFolders(fs, info).empty());
  EXPECT_FALSE(fs.IsFolder(home + ".config/"));

  // The marker is the INI file of the program's own name.
  EXPECT_FALSE(LocateProgram(fs, bin + "other", {home, "", ""}).IsPortable());

  // On the machine PC the program is portable without an INI file.
  EXPECT_TRUE(LocateProgram(fs, InstallRoot() + "Tools/orvano-html", {home, "", ""}).IsPortable());
}

// What the program makes for the user's files is the user's alone; folders that were there
// before keep their mode. A level that cannot be made is named.
TEST_F(ProgramInfoTest, MakeUserFoldersMakesPrivateLevelsOrSaysWhyNot) {
  const std::string config_home = dir.path() + "config/";
  testing::MakeFolders(config_home);
  testing::SetMode(config_home, 0755);
  const std::string state_home = dir.path() + "local/state/";
  ProgramInfo info = LocateProgram(fs, bin + "orvano-html", {home, config_home, state_home});
  EXPECT_TRUE(MakeUserFolders(fs, info).empty());
  EXPECT_EQ(0755, testing::ModeOf(config_home));
  EXPECT_EQ(0700, testing::ModeOf(info.config_folder));
  EXPECT_EQ(0700, testing::ModeOf(dir.path() + "local/"));
  EXPECT_EQ(0700, testing::ModeOf(state_home));
  EXPECT_EQ(0700, testing::ModeOf(info.state_folder));

  // Folders another program made open to others stay so.
  testing::SetMode(info.config_folder, 0750);
  EXPECT_TRUE(MakeUserFolders(fs, info).empty());
  EXPECT_EQ(0750, testing::ModeOf(info.config_folder));

  WriteBytes(dir.path() + "file", "");
  info = LocateProgram(fs, bin + "orvano-html", {home, dir.path() + "file/cfg", ""});
  std::vector<std::string> failures = MakeUserFolders(fs, info);
  ASSERT_EQ(1u, failures.size());
  EXPECT_THAT(failures[0], HasSubstr(dir.path() + "file/cfg/orvano-html/"));
}

// The installed program's own "--paths" and the files it writes: tests/install.
TEST_F(ProgramInfoTest, PathsReportListsEveryPlaceAndTheOneFound) {
  ProgramInfo info = LocateProgram(fs, bin + "orvano-html", {home, "", ""});
  testing::MakeFolders(dir.path() + "usr/share/orvano-html");
  WriteBytes(dir.path() + "usr/share/orvano-html/LANGUAGES.MDB", "");
  std::string text = DescribeFileLocations(fs, info);
  EXPECT_THAT(text, HasSubstr(info.UserIniPath() + " (not yet written)"));
  for (const std::string& folder : info.LanguageDatabaseFolders()) {
    EXPECT_THAT(text, HasSubstr("  " + folder + "Languages.mdb\n"));
  }
  EXPECT_THAT(text, HasSubstr("found: " + dir.path() + "usr/share/orvano-html/LANGUAGES.MDB\n"));
  EXPECT_THAT(text, HasSubstr("  " + dir.path() + "usr/libexec/orvano-html/orvano-dbreader\n"));

  WriteBytes(bin + "orvano-html.ini", "");
  text = DescribeFileLocations(fs, LocateProgram(fs, bin + "orvano-html", {home, "", ""}));
  EXPECT_THAT(text, HasSubstr("portable"));
  EXPECT_THAT(text, HasSubstr("found: none, languages show as their ids"));
}

}  // namespace
}  // namespace orvano
