#include "session/recent_projects.h"

#include <gtest/gtest.h>

#include "session/run_context.h"
#include "support/ini_file.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;

// A project whose five paths all end in `tag`.
RecentProject Project(const std::string& tag) {
  return {"/p/" + tag + ".doc", "/p/" + tag + ".mdb", "/p/" + tag + ".xls", "/p/tpl" + tag + "/",
          "/out/" + tag + "/"};
}

class RecordingFields final : public SettingsFields {
 public:
  void SetField(PathField field, const std::string& text) override {
    set.emplace_back(field, text);
  }
  std::vector<std::pair<PathField, std::string>> set;
};

class RecentProjectsTest : public ::testing::Test {
 protected:
  testing::ScopedTempDir dir_;
  testing::FixedClockFileSystem fs_{testing::TestTime()};
  testing::RecordingHost host_;
  const std::string ini_ = dir_.path() + "orvano-html.ini";
};

TEST(RecentProjectListTest, TheNewestComesFirstOnceAndFiveAreKept) {
  std::vector<RecentProject> list;
  for (const char* tag : {"a", "b", "c"}) list = WithRecentProject(list, Project(tag));
  EXPECT_EQ((std::vector<RecentProject>{Project("c"), Project("b"), Project("a")}), list);
  // A project used again moves to the front.
  list = WithRecentProject(list, Project("a"));
  EXPECT_EQ((std::vector<RecentProject>{Project("a"), Project("c"), Project("b")}), list);
  // A project that differs in one path is another project.
  RecentProject elsewhere = Project("a");
  elsewhere[static_cast<std::size_t>(PathField::kDestinationFolder)] = "/out/other/";
  list = WithRecentProject(list, elsewhere);
  // The oldest fall off the end.
  for (const char* tag : {"d", "e", "f"}) list = WithRecentProject(list, Project(tag));
  EXPECT_EQ((std::vector<RecentProject>{Project("f"), Project("e"), Project("d"), elsewhere,
                                        Project("a")}),
            list);
}

TEST_F(RecentProjectsTest, PathsWithBlanksAndQuotesReadBackAsWritten) {
  WriteBytes(ini_, "; mine\r\n[SysEnviron]\r\nPathOrvanoDOC=/p/a.doc\r\n");
  RecentProject odd = {" /p/lead blank.doc", "/p/trail blank.mdb ", "/p/\"quoted\".xls",
                       "/p/R&D templates/", "/out/a = b/"};
  WriteRecentProjects(fs_, ini_, {odd, Project("b")});
  EXPECT_EQ((std::vector<RecentProject>{odd, Project("b")}), ReadRecentProjects(fs_, ini_));
  const std::string text = ReadBytes(ini_);
  EXPECT_EQ(0u, text.find("; mine\r\n[SysEnviron]\r\nPathOrvanoDOC=/p/a.doc\r\n"));
  EXPECT_NE(std::string::npos,
            text.find("[RecentProjects]\r\nProject1OrvanoDOC=\" /p/lead blank.doc\"\r\n"))
      << text;
  EXPECT_NE(std::string::npos, text.find("Project2DestinationFolder=\"/out/b/\"\r\n")) << text;
  EXPECT_EQ("/p/a.doc", ReadRememberedSetting(fs_, ini_, "PathOrvanoDOC"));

  // A shorter list empties the numbers beyond it.
  WriteRecentProjects(fs_, ini_, {Project("c")});
  EXPECT_EQ(std::vector<RecentProject>{Project("c")}, ReadRecentProjects(fs_, ini_));
  EXPECT_NE(std::string::npos, ReadBytes(ini_).find("Project2OrvanoDOC=\r\n"));
}

TEST_F(RecentProjectsTest, ReadingSkipsNumbersWithoutPathsAndMissingFiles) {
  EXPECT_TRUE(ReadRecentProjects(fs_, ini_).empty());
  WriteBytes(ini_,
             "[RecentProjects]\r\nProject1OrvanoDOC=\r\nProject3XLCollection=/p/c.xls\r\n"
             "Project9OrvanoDOC=/p/nine.doc\r\n");
  RecentProject only_workbook;
  only_workbook[static_cast<std::size_t>(PathField::kWorkbook)] = "/p/c.xls";
  EXPECT_EQ(std::vector<RecentProject>{only_workbook}, ReadRecentProjects(fs_, ini_));
}

TEST_F(RecentProjectsTest, RememberingPutsTheCurrentPathsFirst) {
  RunContext context(fs_, host_, ProgramInfoFor(dir_.path() + "orvano-html"));
  WriteRecentProjects(fs_, ini_, {Project("a"), Project("b")});
  RunSettings& s = context.settings;
  s.description_file = "/p/b.doc";
  s.database_file = "/p/b.mdb";
  s.workbook_file = "/p/b.xls";
  s.template_folder = "/p/tplb/";
  s.destination_folder = "/out/b/";
  RememberRecentProject(context);
  EXPECT_EQ((std::vector<RecentProject>{Project("b"), Project("a")}), RecentProjects(context));
  EXPECT_TRUE(host_.calls.empty());

  // A path with a line break cannot be written: said on the terminal, the list stays.
  s.description_file = "/p/two\nlines.doc";
  RememberRecentProject(context);
  ASSERT_EQ(1u, host_.CallsOf("diag").size());
  EXPECT_NE(std::string::npos,
            host_.CallsOf("diag")[0].text.find("cannot remember the recent projects: "));
  EXPECT_EQ((std::vector<RecentProject>{Project("b"), Project("a")}), RecentProjects(context));
}

// Opening fills every field (in order: the window's own tests); a path that names nothing any
// more leaves its setting empty rather than the one of the project shown before.
TEST_F(RecentProjectsTest, OpeningFillsTheFieldsAndForgetsWhatIsGone) {
  RunContext context(fs_, host_, ProgramInfoFor(dir_.path() + "orvano-html"));
  const std::string doc = dir_.path() + "Orvano.doc";
  WriteBytes(doc, "[x]\r\n");
  context.settings.description_file = "/before.doc";
  context.settings.destination_folder = "/before/";
  RecentProject project = Project("a");
  project[0] = doc;
  RecordingFields fields;
  OpenRecentProject(context, fields, project);
  EXPECT_EQ(5u, fields.set.size());
  EXPECT_EQ("/before.doc", context.settings.description_file);  // the fields take it, not this
  EXPECT_EQ("", context.settings.destination_folder);
  EXPECT_EQ("", context.settings.database_file);
}

}  // namespace
}  // namespace orvano
