#include "session/path_fields.h"

#include <gtest/gtest.h>

#include <set>

#include "project_sources.h"
#include "project_writer.h"
#include "session/run_context.h"
#include "support/errors.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;

// A file system on which the files in `read_only` cannot be written.
class ReadOnlyFiles final : public testing::FixedClockFileSystem {
 public:
  ReadOnlyFiles() : FixedClockFileSystem(testing::TestTime()) {}
  bool CanWrite(const std::string& path) override {
    return read_only.count(path) == 0 && FixedClockFileSystem::CanWrite(path);
  }
  std::set<std::string> read_only;
};

// The demo project in a temporary folder, Languages.mdb beside the program.
class PathFieldsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tools::ProjectSources sources =
        tools::ReadProjectSources(fs_, std::string(ORVANO_SOURCE_DIR) + "/examples/demo/");
    paths_ = tools::WriteProject(fs_, sources, dir_.path() + "project/");
    testing::MakeFolders(bin_);
    WriteBytes(bin_ + "Languages.mdb", ReadBytes(paths_.language_database));
    context_ = std::make_unique<RunContext>(fs_, host_, ProgramInfoFor(bin_ + "orvano-html"));
  }

  std::vector<std::string> LanguageNames() const {
    std::vector<std::string> names;
    for (const ProjectLanguage& language : context_->languages.languages) {
      names.push_back(language.display_name);
    }
    return names;
  }

  testing::ScopedTempDir dir_;
  const std::string bin_ = dir_.path() + "bin/";
  ReadOnlyFiles fs_;
  testing::RecordingHost host_;
  tools::ProjectPaths paths_;
  std::unique_ptr<RunContext> context_;
};

// A database that is taken lists its languages; a read-only one is reported as the window always
// did: Yes empties the field and the Language box, No ends the program.
TEST_F(PathFieldsTest, ADatabaseIsListedOrRefusedWhenReadOnly) {
  FieldChange taken = ApplyFieldChange(*context_, PathField::kDatabase, paths_.database);
  EXPECT_TRUE(taken.taken);
  EXPECT_FALSE(taken.clear_field);
  EXPECT_EQ(FieldChange::Languages::kList, taken.languages);
  EXPECT_EQ((std::vector<std::string>{"Deutsch", "English", "Русский"}), LanguageNames());
  const std::string locked = dir_.path() + "project/Locked.vws";
  WriteBytes(locked, ReadBytes(paths_.database));
  fs_.read_only.insert(locked);

  host_.continue_after_error = true;
  FieldChange refused = ApplyFieldChange(*context_, PathField::kDatabase, locked);
  EXPECT_FALSE(refused.taken);
  EXPECT_TRUE(refused.clear_field);
  EXPECT_EQ(FieldChange::Languages::kClear, refused.languages);
  EXPECT_EQ("", context_->settings.database_file);
  EXPECT_EQ("TcfgLanguages", context_->languages.table_name);  // follows the file's ending
  ASSERT_EQ(1u, host_.calls.size());
  EXPECT_EQ("error", host_.calls[0].kind);
  EXPECT_EQ("Unexpected error", host_.calls[0].title);
  EXPECT_EQ(
      "Unexpected error!\n\rNo: 3051\n\rSource: DAO.Workspace / frmMain / TextOrvanoDB_Change"
      "\n\rDatabase is READONLY!\n\rContinue?",
      host_.calls[0].text);
  EXPECT_NE(std::string::npos, ReadBytes(context_->program.ErrorLogPath()).find("No: 3051"));

  host_.continue_after_error = false;
  EXPECT_THROW(ApplyFieldChange(*context_, PathField::kDatabase, locked), EndProgram);
}

// The window asks to complete the first missing input (its dialog: the window's own tests).
TEST_F(PathFieldsTest, TheFirstMissingInputIsTheOneToComplete) {
  FieldTexts texts = {paths_.description, paths_.database, paths_.workbook, paths_.template_folder,
                      ""};
  EXPECT_EQ(std::nullopt, FirstIncompleteInput(*context_, texts));  // the destination may wait
  texts[2] = paths_.workbook + ".old";
  texts[3] = "";
  EXPECT_EQ(PathField::kWorkbook, FirstIncompleteInput(*context_, texts));
  texts[0] = "";
  EXPECT_EQ(PathField::kDescriptionFile, FirstIncompleteInput(*context_, texts));
}

}  // namespace
}  // namespace orvano
