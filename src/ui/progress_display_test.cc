#include "ui/progress_display.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QWidget>

namespace orvano::ui {
namespace {

TEST(ProgressDisplayTest, BarCountsStepsAndStopsFull) {
  QWidget window;
  QStatusBar status(&window);
  ProgressDisplay display(&window, &status, false, {});
  display.StatusStart("Working...", 20, true);
  EXPECT_FALSE(window.isEnabled());
  EXPECT_EQ(Qt::WaitCursor, window.cursor().shape());
  EXPECT_EQ("Working...", display.status_label()->text().toStdString());
  for (int i = 0; i < 21; ++i) display.StatusTick();
  EXPECT_EQ(20, display.bar()->value());
  EXPECT_EQ(20, display.bar()->maximum());

  display.StatusStart("", 0, true);  // 0 steps keep the maximum
  EXPECT_EQ(0, display.bar()->value());
  EXPECT_EQ(20, display.bar()->maximum());

  display.StatusEnd();
  EXPECT_TRUE(window.isEnabled());
  EXPECT_EQ(Qt::ArrowCursor, window.cursor().shape());
  EXPECT_EQ("", display.status_label()->text().toStdString());
  EXPECT_TRUE(display.bar()->isHidden());
  EXPECT_EQ(nullptr, display.progress_window());  // never asked for
}

TEST(ProgressDisplayTest, HeldLockOutlastsTheStatusCalls) {
  QWidget window;
  QStatusBar status(&window);
  ProgressDisplay display(&window, &status, false, {});
  display.HoldLock(true);
  EXPECT_FALSE(window.isEnabled());
  display.StatusStart("Working...", 3, true);
  display.StatusEnd();
  EXPECT_FALSE(window.isEnabled());
  display.HoldLock(false);
  EXPECT_TRUE(window.isEnabled());

  display.HoldLock(true);
  display.StatusStart("Working...", 3, true);
  display.HoldLock(false);  // the status display still asks for the lock
  EXPECT_FALSE(window.isEnabled());
  display.StatusEnd();
  EXPECT_TRUE(window.isEnabled());
}

TEST(ProgressDisplayTest, ProgressWindowGrowsOneStepBehind) {
  QWidget window;
  QStatusBar status(&window);
  ProgressWindowPlacement placement =
      PlacementFromCommandLine({"pgleft=1500", "pgtop=x", "pgheight=450"});
  EXPECT_EQ(100, placement.left.value_or(-1));
  EXPECT_FALSE(placement.top);
  EXPECT_EQ(30, placement.height.value_or(-1));

  ProgressDisplay display(&window, &status, true, placement);
  display.StatusStart("Working...", 4, true);
  QWidget* progress = display.progress_window();
  ASSERT_NE(nullptr, progress);
  EXPECT_EQ(30, progress->height());
  EXPECT_EQ(1, progress->width());
  display.StatusTick();  // sized for the value before the tick
  EXPECT_EQ(1, progress->width());
  display.StatusTick();
  int quarter = progress->width();
  EXPECT_GT(quarter, 1);
  display.StatusTick();
  display.StatusTick();
  display.StatusEnd();
  EXPECT_EQ(4 * quarter, progress->width());
}

}  // namespace
}  // namespace orvano::ui
