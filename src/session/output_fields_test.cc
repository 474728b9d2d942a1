#include "session/output_fields.h"

#include <gtest/gtest.h>

#include <tuple>

#include "session/command_line.h"
#include "session/run_context.h"
#include "session/startup.h"
#include "session/windowless_fields.h"
#include "support/ini_file.h"
#include "testing/test_util.h"

namespace orvano {
namespace {

using testing::WriteBytes;

// A folder for exports with an earlier export in it, and the program's folder with its INI file.
class OutputFieldsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::MakeFolders(exports_);
    testing::MakeFolders(bin_);
    WriteBytes(old_export_, "{}");
    context_ = std::make_unique<RunContext>(fs_, host_, ProgramInfoFor(bin_ + "orvano-html"));
  }

  std::string IniPath() const { return bin_ + "orvano-html.ini"; }

  // The window's loading with the command line `command_line`.
  OutputTexts LoadInWindow(const std::string& command_line) {
    context_->settings.command_line_args = SplitCommandLine(command_line);
    return LoadWindowOutputs(*context_);
  }

  testing::ScopedTempDir dir_;
  const std::string exports_ = dir_.path() + "exports/";
  const std::string bin_ = dir_.path() + "bin/";
  const std::string old_export_ = exports_ + "old.json";
  testing::FixedClockFileSystem fs_{testing::TestTime()};
  testing::RecordingHost host_;
  std::unique_ptr<RunContext> context_;
};

TEST_F(OutputFieldsTest, RulesTakeOnlyUsableOutputs) {
  const OutputField kExport = OutputField::kExportFile;
  const OutputField kCompare = OutputField::kCompareFile;
  testing::MakeFolders(exports_ + "folder.json/");
  for (const auto& [field, text, taken] : std::vector<std::tuple<OutputField, std::string, bool>>{
           {kExport, "", true},  // off
           {kExport, exports_ + "rows.CSV", true},
           {kExport, exports_ + "rows.txt", false},
           {kExport, exports_ + "folder.json", false},
           {kExport, dir_.path() + "missing/rows.json", false},
           {kExport, "rows.json", false},  // no folder
           {kCompare, old_export_, true},
           {kCompare, exports_ + "gone.json", false},
           {kCompare, exports_, false},
       }) {
    SCOPED_TRACE(text);
    // A text that is not taken turns the output off: a run never uses what the field hides.
    OutputSetting(context_->settings, field) = "before";
    EXPECT_EQ(taken, TakeOutputFieldText(*context_, field, text).empty());
    EXPECT_EQ(taken ? text : "", OutputSetting(context_->settings, field));
  }
}

// The window takes the remembered outputs that are still usable; the command line wins, and a
// value of it that is refused is shown, but off. A run without a window takes none of them.
TEST_F(OutputFieldsTest, CommandLineWinsOverRememberedOutputsInTheWindowOnly) {
  WriteBytes(IniPath(), "[SysEnviron]\r\nPathExport=" + exports_ +
                            "rows.csv\r\nPathCompare=" + old_export_ + "\r\nSearchPage=TRUE\r\n");
  OutputTexts shown = LoadInWindow("Compare=" + exports_ + "gone.json Search=FALSE");
  EXPECT_EQ(exports_ + "rows.csv", context_->settings.export_file);
  EXPECT_EQ(exports_ + "gone.json", shown.compare_file);
  EXPECT_EQ("", context_->settings.compare_file);
  EXPECT_FALSE(shown.search);
  EXPECT_FALSE(context_->settings.search);

  fs_.RemoveFile(old_export_);
  shown = LoadInWindow("");
  EXPECT_EQ("", shown.compare_file);
  EXPECT_EQ("", context_->settings.compare_file);
  EXPECT_TRUE(context_->settings.search);

  context_->settings = RunSettings{};
  WindowlessFields fields(*context_);
  LoadStartSettings(*context_, fields, {});
  EXPECT_EQ("", context_->settings.export_file);
  EXPECT_FALSE(context_->settings.search);
}

}  // namespace
}  // namespace orvano
