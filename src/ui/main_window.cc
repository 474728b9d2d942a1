#include "ui/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "generation/error_reporting.h"
#include "generation/language_selection.h"
#include "inputs/languages.h"
#include "session/path_fields.h"
#include "session/recent_projects.h"
#include "session/run_context.h"
#include "session/startup.h"
#include "session/window_runs.h"
#include "support/errors.h"
#include "ui/about_box.h"
#include "ui/problem_table.h"
#include "ui/progress_display.h"
#include "ui/qt_host.h"

namespace orvano::ui {
namespace {

constexpr std::string_view kWindow = "frmMain";

// The Language box's first entry: every language of the project, each into its own folder.
constexpr const char* kAllLanguagesItem = "All languages";

// Per field: the control names, the label and a tool tip for the three file fields (the folder
// fields show their accepted folder instead).
struct FieldInfo {
  PathField field;
  const char* name;  // the control's name without its kind prefix
  const char* label;
  const char* tip;
};

constexpr std::array<FieldInfo, 5> kFields = {{
    {PathField::kDescriptionFile, "OrvanoDOC", "Vizovodera descriptionfile",
     "The project's description file Orvano.doc"},
    {PathField::kDatabase, "OrvanoDB", "Orvano database",
     "The project's database (.mdb or .vws); its languages fill the Language box"},
    {PathField::kWorkbook, "XLCollection", "Collectionfile",
     "The module collection workbook (.xls)"},
    {PathField::kTemplateFolder, "HTMLSourceFolder", "HTML Sourcefolder", ""},
    {PathField::kDestinationFolder, "DestinationFolder", "Destinationfolder", ""},
}};

// Per output field: the control names, the label (with its Alt key) and a tool tip, which the
// field shows while its text is taken.
struct OutputInfo {
  OutputField field;
  const char* name;
  const char* label;
  const char* tip;
};

constexpr std::array<OutputInfo, 2> kOutputs = {{
    {OutputField::kExportFile, "Export", "&Export file",
     "Start also writes the rows of every page as data here (.json or .csv); empty for none"},
    {OutputField::kCompareFile, "Compare", "Co&mpare with",
     "Start also lists the changes since this earlier export (.json) on Changes.htm; empty for "
     "none"},
}};

// A recent project's menu text: its description file and destination, "&" shown as itself.
QString RecentProjectText(std::size_t number, const RecentProject& project) {
  auto shown = [&project](PathField field) {
    return QString::fromStdString(project[static_cast<std::size_t>(field)]).replace("&", "&&");
  };
  return QString("&%1 ").arg(number) + shown(PathField::kDescriptionFile) + QString(" \u2192 ") +
         shown(PathField::kDestinationFolder);
}

// The five paths of a recent project, one per line, for its tool tip.
QString RecentProjectTip(const RecentProject& project) {
  QStringList lines;
  for (const FieldInfo& info : kFields) {
    lines << QString(info.label) + ": " +
                 QString::fromStdString(project[static_cast<std::size_t>(info.field)]);
  }
  return lines.join("\n");
}

}  // namespace

MainWindow::MainWindow(RunContext& context, QtHost& host, PathDialogs dialogs,
                       std::function<void(int)> end)
    : context_(context), host_(host), dialogs_(std::move(dialogs)), end_(std::move(end)) {
  setObjectName("frmMain");
  setWindowTitle(kAppTitle);
  if (!dialogs_.open_file) dialogs_ = QtPathDialogs(this, context_, host_);
  open_url_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
  BuildControls();
  FillRecentMenu();
  progress_ = std::make_unique<ProgressDisplay>(
      this, statusBar(), context.settings.show_progress,
      PlacementFromCommandLine(context.settings.command_line_args));
  host_.SetProgressDisplay(progress_.get());
}

MainWindow::~MainWindow() { host_.SetProgressDisplay(nullptr); }

void MainWindow::BuildControls() {
  QMenu* file = menuBar()->addMenu("&File");
  file->setObjectName("MenuFile");
  recent_menu_ = file->addMenu("&Recent projects");
  recent_menu_->setObjectName("MenuRecentProjects");
  recent_menu_->setToolTipsVisible(true);
  QMenu* options = menuBar()->addMenu("&Options");
  options->setObjectName("MenuOptions");
  QAction* exit_action = options->addAction("&Exit");
  exit_action->setObjectName("MenuExit");
  connect(exit_action, &QAction::triggered, this, [this] { End(0); });
  QMenu* info = menuBar()->addMenu("&Info");
  info->setObjectName("MenuInfo");
  QAction* about_action = info->addAction("&About");
  about_action->setObjectName("MenuAbout");
  connect(about_action, &QAction::triggered, this, [this] {
    AboutBox box(context_.program.version, this);
    box.exec();
  });

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  auto* source = new QFrame(central);
  source->setObjectName("FrameSource");
  source->setFrameShape(QFrame::StyledPanel);
  auto* destination = new QFrame(central);
  destination->setObjectName("FrameDestination");
  destination->setFrameShape(QFrame::StyledPanel);
  auto* outputs = new QFrame(central);
  outputs->setObjectName("FrameOutputs");
  outputs->setFrameShape(QFrame::StyledPanel);
  auto* source_grid = new QGridLayout(source);
  auto* destination_grid = new QGridLayout(destination);

  QWidget* previous = nullptr;
  auto chain = [&previous](QWidget* next) {
    if (previous != nullptr) QWidget::setTabOrder(previous, next);
    previous = next;
  };
  int row = 0;
  for (const FieldInfo& info : kFields) {
    QFrame* frame = info.field == PathField::kDestinationFolder ? destination : source;
    QGridLayout* grid =
        info.field == PathField::kDestinationFolder ? destination_grid : source_grid;
    if (info.field == PathField::kDestinationFolder) row = 0;
    auto* label = new QLabel(info.label, frame);
    label->setObjectName(QString("Label") + info.name);
    auto* edit = new QLineEdit(frame);
    edit->setObjectName(QString("Text") + info.name);
    edit->setMinimumWidth(433);
    edit->setToolTip(info.tip);
    edit->installEventFilter(this);
    label->setBuddy(edit);
    auto* button = new QToolButton(frame);
    button->setObjectName(QString("Command") + info.name);
    button->setIcon(style()->standardIcon(IsFolderField(info.field) ? QStyle::SP_DirOpenIcon
                                                                    : QStyle::SP_FileDialogStart));
    button->setToolTip(QString("Browse for the ") + info.label);
    button->setAccessibleName(QString("Browse ") + info.label);
    grid->addWidget(label, row++, 0, 1, 2);
    grid->addWidget(edit, row, 0);
    grid->addWidget(button, row++, 1);
    fields_[Index(info.field)] = edit;
    browse_[Index(info.field)] = button;
    const PathField field = info.field;
    connect(edit, &QLineEdit::textChanged, this, [this, field] { FieldChanged(field); });
    connect(button, &QToolButton::clicked, this, [this, field] { Browse(field); });
    chain(edit);
    chain(button);

    if (info.field == PathField::kDatabase) {
      auto* language_label = new QLabel("Language", frame);
      language_label->setObjectName("Label2");
      language_box_ = new QComboBox(frame);
      language_box_->setObjectName("ComboLanguage");
      language_box_->setMinimumWidth(185);
      language_box_->setToolTip("The language of the generated pages");
      language_label->setBuddy(language_box_);
      connect(language_box_, &QComboBox::activated, this, [this](int r) { ChooseLanguage(r); });
      auto* line = new QHBoxLayout;
      line->addWidget(language_label);
      line->addWidget(language_box_);
      line->addStretch(1);
      grid->addLayout(line, row++, 0, 1, 2);
      chain(language_box_);
    }
  }

  BuildOutputControls(outputs, chain);

  exit_ = new QPushButton("E&xit", central);
  exit_->setObjectName("CommandExit");
  start_ = new QPushButton("&Start", central);
  start_->setObjectName("CommandCreateIFD");
  start_->setToolTip("Generate the HTML pages into the destination folder");
  check_ = new QPushButton("&Check", central);
  check_->setObjectName("CommandCheck");
  check_->setToolTip(
      "Read every input and build every page in memory, writing nothing, and "
      "list the problems");
  open_pages_ = new QPushButton("Open &pages", central);
  open_pages_->setObjectName("CommandOpenPages");
  open_pages_->setToolTip("Open the generated pages in the web browser");
  open_pages_->setEnabled(false);
  for (QPushButton* button : {exit_, open_pages_, check_, start_}) button->setMinimumSize(81, 40);
  connect(exit_, &QPushButton::clicked, this, [this] { End(0); });
  connect(start_, &QPushButton::clicked, this, [this] { Start(); });
  connect(check_, &QPushButton::clicked, this, [this] { Check(); });
  connect(open_pages_, &QPushButton::clicked, this, [this] { OpenPages(); });
  chain(start_);
  chain(check_);
  chain(open_pages_);
  chain(exit_);

  // The problems of the last check; shown once there was one.
  check_summary_ = new QLabel(central);
  check_summary_->setObjectName("LabelCheckSummary");
  check_summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  check_summary_->hide();
  problems_ = new ProblemTable(central);
  problems_->setMinimumHeight(180);
  problems_->set_open_file([this](const std::string& path) { OpenFile(path); });
  problems_->hide();
  chain(problems_);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(exit_);
  buttons->addStretch(1);
  buttons->addWidget(open_pages_);
  buttons->addWidget(check_);
  buttons->addWidget(start_);
  layout->addWidget(source);
  layout->addWidget(destination);
  layout->addWidget(outputs);
  layout->addLayout(buttons);
  layout->addWidget(check_summary_);
  layout->addWidget(problems_, 1);
  layout->addStretch(1);
  central_layout_ = layout;
  setCentralWidget(central);
}

void MainWindow::BuildOutputControls(QFrame* frame, const std::function<void(QWidget*)>& chain) {
  auto* grid = new QGridLayout(frame);
  int row = 0;
  for (const OutputInfo& info : kOutputs) {
    auto* label = new QLabel(info.label, frame);
    label->setObjectName(QString("Label") + info.name);
    auto* edit = new QLineEdit(frame);
    edit->setObjectName(QString("Text") + info.name);
    edit->setMinimumWidth(433);
    edit->setPlaceholderText("None");
    edit->setToolTip(info.tip);
    edit->installEventFilter(this);
    label->setBuddy(edit);
    auto* button = new QToolButton(frame);
    button->setObjectName(QString("Command") + info.name);
    button->setIcon(style()->standardIcon(info.field == OutputField::kExportFile
                                              ? QStyle::SP_DialogSaveButton
                                              : QStyle::SP_FileDialogStart));
    const QString name = QString(info.label).remove('&');
    button->setToolTip("Browse for the " + name.toLower());
    button->setAccessibleName("Browse " + name);
    grid->addWidget(label, row++, 0, 1, 2);
    grid->addWidget(edit, row, 0);
    grid->addWidget(button, row++, 1);
    outputs_[Index(info.field)] = edit;
    output_browse_[Index(info.field)] = button;
    const OutputField field = info.field;
    connect(edit, &QLineEdit::textChanged, this, [this, field] { OutputFieldChanged(field); });
    connect(button, &QToolButton::clicked, this, [this, field] { Browse(field); });
    chain(edit);
    chain(button);
  }
  search_box_ = new QCheckBox("Se&arch page", frame);
  search_box_->setObjectName("CheckSearchPage");
  search_box_->setToolTip("Start also writes a page that finds any text of the pages");
  connect(search_box_, &QCheckBox::toggled, this,
          [this](bool checked) { context_.settings.search = checked; });
  grid->addWidget(search_box_, row, 0, 1, 2);
  chain(search_box_);
}

void MainWindow::Handle(std::string_view procedure, const std::function<void()>& step) {
  if (ended_) return;
  try {
    Guarded(context_.errors(), procedure, kWindow, step);
  } catch (const EndProgram& end) {
    End(end.exit_code);
  }
}

void MainWindow::End(int exit_code) {
  if (ended_) return;
  ended_ = true;
  end_(exit_code);
}

void MainWindow::LoadSettings(const std::vector<std::string>& arguments) {
  Handle("Form_Load", [&] {
    LoadStartSettings(context_, *this, arguments);
    const OutputTexts outputs = LoadWindowOutputs(context_);
    field(OutputField::kExportFile)->setText(QString::fromStdString(outputs.export_file));
    field(OutputField::kCompareFile)->setText(QString::fromStdString(outputs.compare_file));
    search_box_->setChecked(outputs.search);
  });
}

void MainWindow::SetField(PathField which, const std::string& text) {
  field(which)->setText(QString::fromStdString(text));
}

void MainWindow::FieldChanged(PathField which) {
  const std::string text = field(which)->text().toStdString();
  const std::string procedure = std::string("Text") + kFields[Index(which)].name + "_Change";
  Handle(procedure, [&] {
    const FieldChange change = ApplyFieldChange(context_, which, text);
    if (change.clear_field) field(which)->clear();
    if (change.languages != FieldChange::Languages::kKeep) language_box_->clear();
    if (change.languages == FieldChange::Languages::kList) {
      // "All languages" comes first; the project's languages follow in their table's order.
      if (!context_.languages.languages.empty()) language_box_->addItem(kAllLanguagesItem);
      for (const ProjectLanguage& language : context_.languages.languages) {
        language_box_->addItem(QString::fromStdString(language.display_name));
      }
      language_box_->setCurrentIndex(-1);
    }
    // The folder fields show the folder they took.
    if (IsFolderField(which)) {
      field(which)->setToolTip(change.taken ? QString::fromStdString(text) : QString());
    }
  });
}

void MainWindow::FieldLostFocus(PathField which) {
  QLineEdit* edit = field(which);
  const std::string procedure = std::string("Text") + kFields[Index(which)].name + "_LostFocus";
  Handle(procedure, [&] {
    const std::string text = edit->text().toStdString();
    const std::string shown = TakeFieldTextOnLeaving(context_, which, text);
    if (shown != text) edit->setText(QString::fromStdString(shown));
  });
}

void MainWindow::OutputFieldChanged(OutputField which) {
  QLineEdit* edit = field(which);
  const std::string problem = TakeOutputFieldText(context_, which, edit->text().toStdString());
  // A text that is not taken says why where the field's description stands.
  edit->setToolTip(problem.empty() ? QString(kOutputs[Index(which)].tip)
                                   : QString::fromStdString(problem));
}

std::string MainWindow::Text(PathField which) const { return field(which)->text().toStdString(); }

bool MainWindow::AreInputsComplete() {
  FieldTexts texts;
  for (const FieldInfo& info : kFields) texts[Index(info.field)] = Text(info.field);
  const std::optional<PathField> missing = FirstIncompleteInput(context_, texts);
  if (!missing) return true;
  host_.ShowWarning(kCompleteInputMessage);
  field(*missing)->clear();
  field(*missing)->setFocus();
  return false;
}

void MainWindow::RunLocked(const std::function<void()>& work) {
  // The driver ends its status display, which unlocks the window, and lets events through
  // before it returns: without the hold a click then would start a second run inside this one.
  running_ = true;
  progress_->HoldLock(true);
  try {
    work();
  } catch (...) {
    progress_->HoldLock(false);
    running_ = false;
    throw;
  }
  progress_->HoldLock(false);
  running_ = false;
}

void MainWindow::Start() {
  Handle("CommandCreateIFD_Click", [&] {
    if (!AreInputsComplete()) return;
    WindowRunOutcome outcome;
    RunLocked([&] { outcome = GenerateFromWindow(context_); });
    page_to_open_ = outcome.page_to_open.value_or("");
    open_pages_->setEnabled(!page_to_open_.empty());
    FillRecentMenu();
    host_.ShowMessage("Ready");
    progress_->StatusEnd();
  });
}

void MainWindow::Check() {
  Handle("CommandCheck_Click", [&] {
    if (!AreInputsComplete()) return;
    WindowCheckOutcome outcome;
    RunLocked([&] { outcome = CheckFromWindow(context_); });
    check_summary_->setText(QString::fromStdString(outcome.summary));
    check_summary_->show();
    problems_->show();
    // The table takes the height the empty space below the buttons had.
    central_layout_->setStretch(central_layout_->count() - 1, 0);
    problems_->ShowProblems(outcome.problems);
    progress_->StatusEnd();
  });
}

void MainWindow::OpenPages() {
  if (!page_to_open_.empty()) OpenFile(page_to_open_);
}

void MainWindow::OpenFile(const std::string& path) {
  if (!open_url_(QUrl::fromLocalFile(QString::fromStdString(path)))) {
    host_.ShowWarning("Cannot open " + path);
  }
}

void MainWindow::FillRecentMenu() {
  recent_ = RecentProjects(context_);
  recent_menu_->clear();
  for (std::size_t i = 0; i < recent_.size(); ++i) {
    QAction* action = recent_menu_->addAction(RecentProjectText(i + 1, recent_[i]));
    action->setObjectName(QString("MenuRecentProject%1").arg(i + 1));
    action->setToolTip(RecentProjectTip(recent_[i]));
    connect(action, &QAction::triggered, this, [this, i] { ChooseRecentProject(i); });
  }
  recent_menu_->setEnabled(!recent_.empty());
}

void MainWindow::ChooseRecentProject(std::size_t index) {
  Handle("MenuRecentProject_Click", [&] {
    if (index >= recent_.size()) return;
    const RecentProject project = recent_[index];
    OpenRecentProject(context_, *this, project);
  });
}

void MainWindow::ChooseLanguage(int row) {
  Handle("ComboLanguage_Click", [&] {
    const std::vector<ProjectLanguage>& list = context_.languages.languages;
    if (row < 0 || static_cast<std::size_t>(row) > list.size()) return;
    if (row == 0) {
      context_.settings.language_id = std::string(kAllLanguages);
      return;
    }
    context_.settings.language_id = CellText(list[static_cast<std::size_t>(row) - 1].id);
  });
}

void MainWindow::Browse(PathField which) {
  const std::string procedure = std::string("Command") + kFields[Index(which)].name + "_Click";
  Handle(procedure, [&] {
    std::string& setting = PathSetting(context_.settings, which);
    if (std::optional<FileChooser> chooser = FileChooserFor(which)) {
      setting = ChooseFile(context_.fs, dialogs_, *chooser, setting, context_.program.folder);
      SetField(which, setting);
      return;
    }
    std::optional<std::string> chosen =
        dialogs_.choose_folder(setting, which == PathField::kDestinationFolder);
    if (!chosen || chosen->empty()) return;
    setting = *chosen;
    SetField(which, setting);
  });
}

void MainWindow::Browse(OutputField which) {
  const std::string procedure = std::string("Command") + kOutputs[Index(which)].name + "_Click";
  Handle(procedure, [&] {
    QLineEdit* edit = field(which);
    const std::string shown = edit->text().toStdString();
    // An export or an earlier one most likely lies beside the pages.
    const std::string& destination = context_.settings.destination_folder;
    const std::string folder = destination.empty() ? context_.program.folder : destination;
    if (which == OutputField::kExportFile) {
      std::optional<std::string> chosen =
          ChooseFileToWrite(context_.fs, dialogs_, kExportChooser, shown, folder);
      if (chosen) edit->setText(QString::fromStdString(*chosen));
    } else {
      edit->setText(QString::fromStdString(
          ChooseFile(context_.fs, dialogs_, kCompareChooser, shown, folder)));
    }
    // The text chosen may be the one shown, which now names a usable file: setText then
    // changes nothing, so the rules run here.
    OutputFieldChanged(which);
  });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  for (const OutputInfo& info : kOutputs) {
    if (watched == field(info.field) && event->type() == QEvent::MouseButtonDblClick) {
      Browse(info.field);
      return true;
    }
  }
  for (const FieldInfo& info : kFields) {
    if (watched != field(info.field)) continue;
    if (event->type() == QEvent::MouseButtonDblClick) {
      Browse(info.field);
      return true;
    }
    if (event->type() == QEvent::FocusOut) {
      // Focus that leaves for a dialog or a menu comes back: only a move within the window
      // counts as leaving the field.
      auto reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
        FieldLostFocus(info.field);
      }
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // The window is locked during a run; closing it then would pull the run from under itself.
  if (running_) {
    event->ignore();
    return;
  }
  event->accept();
  End(0);
}

}  // namespace orvano::ui
