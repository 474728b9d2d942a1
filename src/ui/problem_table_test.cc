#include "ui/problem_table.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QTest>

namespace orvano::ui {
namespace {

CheckedProblem Problem(ProblemKind kind, const std::string& place, const std::string& text,
                       const std::string& template_file = "") {
  return {CheckLine{place, kind, text}, template_file};
}

class ProblemTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    table_.resize(700, 300);
    table_.ShowProblems({
        Problem(ProblemKind::kNote, "/p/Collection.xls:Standard!E8", "Indextext not found: A"),
        Problem(ProblemKind::kWarning, "/p/tpl/Source_Main.htm:21",
                "Direct cell reference not valid: ###DIREKT###x", "/p/tpl/Source_Main.htm"),
        Problem(ProblemKind::kError, "orvano-html", "Language not found: 4711"),
    });
    table_.set_open_file([this](const std::string& path) { opened_.push_back(path); });
    table_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&table_));
  }

  void DoubleClick(int row) {
    const QPoint at = table_.visualItemRect(table_.item(row, 2)).center();
    // A widget's double click comes as one event after the first click.
    QTest::mouseClick(table_.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(table_.viewport(), Qt::LeftButton, {}, at);
  }

  ProblemTable table_;
  std::vector<std::string> opened_;
};

TEST_F(ProblemTableTest, RowsCopyAsCheckLines) {
  QClipboard* clipboard = QApplication::clipboard();
  {  // Ctrl+C copies the current row
    table_.setFocus();
    table_.setCurrentCell(1, 2);
    clipboard->clear();
    QTest::keyClick(&table_, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(
        "/p/tpl/Source_Main.htm:21: warning: Direct cell reference not valid: ###DIREKT###x\n",
        clipboard->text().toStdString());
  }
  {  // the context menu's Copy copies every selected row, in the table's order
    table_.clearSelection();
    table_.selectRow(2);
    table_.selectionModel()->select(table_.model()->index(0, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    clipboard->clear();
    ASSERT_TRUE(table_.actions().contains(table_.copy_action()));
    EXPECT_EQ(Qt::ActionsContextMenu, table_.contextMenuPolicy());
    table_.copy_action()->trigger();
    EXPECT_EQ(
        "/p/Collection.xls:Standard!E8: note: Indextext not found: A\n"
        "orvano-html: error: Language not found: 4711\n",
        clipboard->text().toStdString());
  }
}

TEST_F(ProblemTableTest, DoubleClickOpensOnlyTemplateFiles) {
  ASSERT_EQ(3, table_.rowCount());
  EXPECT_EQ("/p/tpl/Source_Main.htm:21", table_.item(1, 1)->text().toStdString());
  DoubleClick(0);
  DoubleClick(2);
  EXPECT_TRUE(opened_.empty());
  DoubleClick(1);
  EXPECT_EQ(std::vector<std::string>{"/p/tpl/Source_Main.htm"}, opened_);
}

}  // namespace
}  // namespace orvano::ui
