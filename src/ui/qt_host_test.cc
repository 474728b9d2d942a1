#include "ui/qt_host.h"

#include <gtest/gtest.h>

namespace orvano::ui {
namespace {

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
