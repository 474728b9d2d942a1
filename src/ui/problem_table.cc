#include "ui/problem_table.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyledItemDelegate>
#include <algorithm>
#include <set>

namespace orvano::ui {
namespace {

enum Column { kKindColumn, kPlaceColumn, kMessageColumn, kColumnCount };

// Where a row keeps what it does not show: its check line and its template file.
constexpr int kLineRole = Qt::UserRole;
constexpr int kTemplateFileRole = Qt::UserRole + 1;

// Cuts a place that does not fit at its start, so that the file name and line stay in view.
class PlaceDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    option->textElideMode = Qt::ElideLeft;
  }
};

}  // namespace

ProblemTable::ProblemTable(QWidget* parent) : QTableWidget(0, kColumnCount, parent) {
  setObjectName("TableProblems");
  setHorizontalHeaderLabels({"Kind", "Place", "Message"});
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setWordWrap(false);
  setAlternatingRowColors(true);
  setToolTip("Double-click a template's line to open the template");
  verticalHeader()->setVisible(false);
  horizontalHeader()->setSectionResizeMode(kKindColumn, QHeaderView::ResizeToContents);
  horizontalHeader()->setSectionResizeMode(kPlaceColumn, QHeaderView::Interactive);
  horizontalHeader()->setStretchLastSection(true);
  setItemDelegateForColumn(kPlaceColumn, new PlaceDelegate(this));

  copy_ = new QAction("&Copy", this);
  copy_->setObjectName("ActionCopyProblem");
  copy_->setShortcut(QKeySequence::Copy);
  copy_->setShortcutContext(Qt::WidgetShortcut);
  connect(copy_, &QAction::triggered, this, [this] { CopySelectedRows(); });
  addAction(copy_);
  setContextMenuPolicy(Qt::ActionsContextMenu);

  connect(this, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
    const std::string file = TemplateFileOfRow(row);
    if (!file.empty() && open_file_) open_file_(file);
  });
}

void ProblemTable::ShowProblems(const std::vector<CheckedProblem>& problems) {
  clearContents();
  setRowCount(static_cast<int>(problems.size()));
  int row = 0;
  for (const CheckedProblem& problem : problems) {
    const CheckLine& line = problem.line;
    const QString texts[kColumnCount] = {QString::fromUtf8(ProblemKindName(line.kind)),
                                         QString::fromStdString(line.location),
                                         QString::fromStdString(line.text)};
    for (int column = 0; column < kColumnCount; ++column) {
      auto* item = new QTableWidgetItem(texts[column]);
      item->setToolTip(texts[column]);
      setItem(row, column, item);
    }
    item(row, kKindColumn)->setData(kLineRole, QString::fromStdString(line.Text()));
    item(row, kKindColumn)
        ->setData(kTemplateFileRole, QString::fromStdString(problem.template_file));
    ++row;
  }
  // The place column fits its texts up to half the table; longer places are cut at the start.
  resizeColumnToContents(kPlaceColumn);
  setColumnWidth(kPlaceColumn, std::min(columnWidth(kPlaceColumn), viewport()->width() / 2));
}

QString ProblemTable::SelectedLines() const {
  std::set<int> rows;
  for (const QModelIndex& index : selectionModel()->selectedRows()) rows.insert(index.row());
  if (rows.empty() && currentRow() >= 0) rows.insert(currentRow());
  QString lines;
  for (int row : rows) lines += item(row, kKindColumn)->data(kLineRole).toString() + "\n";
  return lines;
}

void ProblemTable::CopySelectedRows() {
  const QString lines = SelectedLines();
  if (!lines.isEmpty()) QApplication::clipboard()->setText(lines);
}

std::string ProblemTable::TemplateFileOfRow(int row) const {
  const QTableWidgetItem* first = item(row, kKindColumn);
  if (first == nullptr) return "";
  return first->data(kTemplateFileRole).toString().toStdString();
}

void ProblemTable::keyPressEvent(QKeyEvent* event) {
  // The view's own Ctrl+C copies one cell; a row copies as its whole check line.
  if (event == QKeySequence::Copy) {
    CopySelectedRows();
    event->accept();
    return;
  }
  QTableWidget::keyPressEvent(event);
}

}  // namespace orvano::ui
