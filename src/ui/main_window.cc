#include "ui/main_window.h"

#include <QCloseEvent>
#include <QComboBox>
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
#include <QVBoxLayout>

#include "generation/error_reporting.h"
#include "generation/folders.h"
#include "generation/generation_driver.h"
#include "generation/language_selection.h"
#include "inputs/languages.h"
#include "session/path_fields.h"
#include "session/run_context.h"
#include "session/startup.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "ui/about_box.h"
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

}  // namespace

MainWindow::MainWindow(RunContext& context, QtHost& host, PathDialogs dialogs,
                       std::function<void(int)> end)
    : context_(context), host_(host), dialogs_(std::move(dialogs)), end_(std::move(end)) {
  setObjectName("frmMain");
  setWindowTitle(kAppTitle);
  if (!dialogs_.open_file) dialogs_ = QtPathDialogs(this, context_, host_);
  BuildControls();
  progress_ = std::make_unique<ProgressDisplay>(
      this, statusBar(), context.settings.show_progress,
      PlacementFromCommandLine(context.settings.command_line_args));
  host_.SetProgressDisplay(progress_.get());
}

MainWindow::~MainWindow() { host_.SetProgressDisplay(nullptr); }

void MainWindow::BuildControls() {
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

  exit_ = new QPushButton("E&xit", central);
  exit_->setObjectName("CommandExit");
  start_ = new QPushButton("&Start", central);
  start_->setObjectName("CommandCreateIFD");
  start_->setToolTip("Generate the HTML pages into the destination folder");
  for (QPushButton* button : {exit_, start_}) button->setMinimumSize(81, 40);
  connect(exit_, &QPushButton::clicked, this, [this] { End(0); });
  connect(start_, &QPushButton::clicked, this, [this] { Start(); });
  chain(start_);
  chain(exit_);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(exit_);
  buttons->addStretch(1);
  buttons->addWidget(start_);
  layout->addWidget(source);
  layout->addWidget(destination);
  layout->addLayout(buttons);
  layout->addStretch(1);
  setCentralWidget(central);
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
  Handle("Form_Load", [&] { LoadStartSettings(context_, *this, arguments); });
}

void MainWindow::SetField(PathField which, const std::string& text) {
  field(which)->setText(QString::fromStdString(text));
}

void MainWindow::FieldChanged(PathField which) {
  const std::string text = field(which)->text().toStdString();
  const std::string procedure = std::string("Text") + kFields[Index(which)].name + "_Change";
  Handle(procedure, [&] {
    if (which == PathField::kDatabase) {
      DatabaseChanged(text);
      return;
    }
    const bool taken = TakeFieldText(context_, which, text);
    // The folder fields show the folder they took.
    if (IsFolderField(which)) {
      field(which)->setToolTip(taken ? QString::fromStdString(text) : QString());
    }
  });
}

void MainWindow::DatabaseChanged(const std::string& text) {
  if (!IsExistingFile(context_.fs, text)) return;
  if (IsReadOnlyDatabase(context_.fs, text)) {
    ProjectLanguageList& list = context_.languages;
    list.table_name = LanguageTableFor(text, list.table_name);
    ErrorReport report{err::kDbCannotOpen, "DAO.Workspace", "Database is READONLY!",
                       "TextOrvanoDB_Change", std::string(kWindow)};
    if (ReportError(report, context_.errors()) != ErrorAnswer::kContinue) {
      throw EndProgram{1};
    }
    context_.settings.database_file.clear();
    field(PathField::kDatabase)->clear();
    language_box_->clear();
    return;
  }
  language_box_->clear();
  static_cast<void>(TakeFieldText(context_, PathField::kDatabase, text));
  // "All languages" comes first; the project's languages follow in their table's order.
  if (!context_.languages.languages.empty()) language_box_->addItem(kAllLanguagesItem);
  for (const ProjectLanguage& language : context_.languages.languages) {
    language_box_->addItem(QString::fromStdString(language.display_name));
  }
  language_box_->setCurrentIndex(-1);
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

void MainWindow::Start() {
  Handle("CommandCreateIFD_Click", [&] {
    for (PathField which : {PathField::kDescriptionFile, PathField::kDatabase, PathField::kWorkbook,
                            PathField::kTemplateFolder}) {
      QLineEdit* edit = field(which);
      if (!PathExists(context_.fs, edit->text().toStdString())) {
        host_.ShowWarning("Please complete input!");
        edit->clear();
        edit->setFocus();
        return;
      }
    }
    RememberPaths(context_);
    running_ = true;
    try {
      static_cast<void>(GeneratePages(context_.settings, context_.languages.languages,
                                      context_.seams(), nullptr));
    } catch (...) {
      running_ = false;
      throw;
    }
    running_ = false;
    host_.ShowMessage("Ready");
    progress_->StatusEnd();
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

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
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
