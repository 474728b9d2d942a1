#include "ui/qt_host.h"

#include <gtest/gtest.h>

#include "app/error_reporting.h"
#include "app/run_context.h"
#include "support/errors.h"
#include "testing/test_util.h"

namespace orvano::ui {
namespace {

TEST(QtHostTest, ErrorDialogYesContinuesAndNoEndsTheProgram) {
  testing::ScopedTempDir dir;
  auto fs = NewPosixFileSystem();
  std::vector<DialogRequest> shown;
  bool answer = true;
  QtHost host([&](const DialogRequest& request) {
    shown.push_back(request);
    return answer;
  });
  RunContext context(*fs, host, ProgramInfo{dir.path(), "orvano-html", "0.1.0", "/none/"});
  auto fail = [] { throw UnexpectedError(err::kFileNotFound, "File not found", "Scripting"); };
  {
    EXPECT_FALSE(Guarded(context.errors(), "ReadOrvanoDoc", fail));
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ(DialogKind::kCritical, shown[0].kind);
    EXPECT_EQ("Unexpected error", shown[0].title);
    // The core's LF CR line breaks arrive as plain line feeds.
    EXPECT_EQ(
        "Unexpected error!\nNo: 53\nSource: Scripting / ReadOrvanoDoc\nFile not found\nContinue?",
        shown[0].text);
  }
  {
    answer = false;
    EXPECT_THROW(Guarded(context.errors(), "ReadOrvanoDoc", fail), EndProgram);
  }
}

TEST(QtHostTest, QuestionsAndMessagesUseTheProgramsTitle) {
  std::vector<DialogRequest> shown;
  QtHost host([&](const DialogRequest& request) {
    shown.push_back(request);
    return request.kind == DialogKind::kQuestion;
  });
  EXPECT_TRUE(host.AskYesNo("Create Folder? \n\r/tmp/x/"));
  host.ShowMessage("Ready");
  ASSERT_EQ(2u, shown.size());
  EXPECT_EQ("Create Folder? \n/tmp/x/", shown[0].text);
  EXPECT_EQ(kAppTitle, shown[1].title);
  EXPECT_EQ(DialogKind::kPlain, shown[1].kind);
}

}  // namespace
}  // namespace orvano::ui
