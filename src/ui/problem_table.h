// ProblemTable: the main window's list of what a check found, one problem per row (kind, place,
// message) in check mode's order. Rows copy as check mode prints them (Ctrl+C or the context
// menu's Copy), and a double click on a row whose place is a template file asks for that file
// to be opened. Lives in the main window, on its thread.

#ifndef ORVANO_UI_PROBLEM_TABLE_H_
#define ORVANO_UI_PROBLEM_TABLE_H_

#include <QTableWidget>
#include <functional>
#include <string>
#include <vector>

#include "session/window_runs.h"

class QAction;

namespace orvano::ui {

class ProblemTable final : public QTableWidget {
 public:
  explicit ProblemTable(QWidget* parent = nullptr);

  /// Shows `problems`, one per row in their order, in place of the rows shown before.
  void ShowProblems(const std::vector<CheckedProblem>& problems);

  /// The check lines ("<place>: <kind>: <message>") of the selected rows in their order, each
  /// ending with "\n"; the current row's when none is selected; "" when the table is empty.
  QString SelectedLines() const;
  /// Puts SelectedLines on the clipboard (nothing when it is empty).
  void CopySelectedRows();

  /// The template file of row `row`; "" when its place names none.
  std::string TemplateFileOfRow(int row) const;
  /// Called with the row's template file when a row that has one is double-clicked.
  void set_open_file(std::function<void(const std::string&)> open_file) {
    open_file_ = std::move(open_file);
  }

  QAction* copy_action() const { return copy_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QAction* copy_ = nullptr;
  std::function<void(const std::string&)> open_file_;
};

}  // namespace orvano::ui

#endif  // ORVANO_UI_PROBLEM_TABLE_H_
