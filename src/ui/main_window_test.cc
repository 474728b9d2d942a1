#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <algorithm>
#include <cstdlib>

#include "project_sources.h"
#include "project_writer.h"
#include "session/recent_projects.h"
#include "session/run_context.h"
#include "support/file_system.h"
#include "testing/test_util.h"
#include "ui/problem_table.h"
#include "ui/progress_display.h"
#include "ui/qt_host.h"

namespace orvano::ui {
namespace {

using testing::ReadBytes;
using testing::ScopedTempDir;
using testing::WriteBytes;

// Saves `widget` as <name>.png into $ORVANO_SCREENSHOT_DIR when that is set.
void Screenshot(QWidget* widget, const char* name) {
  const char* folder = std::getenv("ORVANO_SCREENSHOT_DIR");
  if (folder == nullptr) return;
  widget->grab().save(QString(folder) + "/" + name + ".png");
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bin_ = dir_.path() + "bin/";
    testing::MakeFolders(bin_);
    out_ = dir_.path() + "out/";
    testing::MakeFolders(out_);
    ProgramInfo program{bin_, "orvano-html", "0.1.0", dir_.path() + "root/"};
    context_ = std::make_unique<RunContext>(*fs_, host_, program);
    Restart();
  }

  // Writes the demo project, with `edit` applied to its sources; Languages.mdb goes beside the
  // program.
  tools::ProjectPaths MakeProject(const std::function<void(tools::ProjectSources&)>& edit = {}) {
    tools::ProjectSources sources =
        tools::ReadProjectSources(*fs_, std::string(ORVANO_SOURCE_DIR) + "/examples/demo/");
    if (edit) edit(sources);
    tools::ProjectPaths paths = tools::WriteProject(*fs_, sources, dir_.path() + "project/");
    if (!paths.language_database.empty()) {
      WriteBytes(bin_ + "Languages.mdb", ReadBytes(paths.language_database));
    }
    return paths;
  }

  void Fill(const tools::ProjectPaths& paths) {
    window_->SetField(PathField::kDescriptionFile, paths.description);
    window_->SetField(PathField::kDatabase, paths.database);
    window_->SetField(PathField::kWorkbook, paths.workbook);
    window_->SetField(PathField::kTemplateFolder, paths.template_folder);
    window_->SetField(PathField::kDestinationFolder, out_);
  }

  // Writes the demo project changed by `edit`, fills the fields with it and chooses the
  // language in row `language` of the box (0: all languages).
  tools::ProjectPaths FillDemo(int language,
                               const std::function<void(tools::ProjectSources&)>& edit = {}) {
    tools::ProjectPaths paths = MakeProject(edit);
    Fill(paths);
    window_->language_box()->setCurrentIndex(language);
    window_->ChooseLanguage(language);
    return paths;
  }

  // Puts `text` into the field `which`, then leaves it by moving the focus to the Start button.
  void TypeAndLeave(PathField which, const std::string& text) {
    QLineEdit* edit = window_->field(which);
    edit->setFocus(Qt::TabFocusReason);
    window_->SetField(which, text);
    window_->start_button()->setFocus(Qt::TabFocusReason);
  }

  void ShowActive() {
    window_->show();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  }

  std::string Text(PathField which) { return window_->field(which)->text().toStdString(); }

  std::vector<DialogRequest> dialogs_;
  bool answer_ = true;
  std::function<void(const DialogRequest&)> on_dialog_;
  QtHost host_{[this](const DialogRequest& request) {
    dialogs_.push_back(request);
    if (on_dialog_) on_dialog_(request);
    return answer_;
  }};
  // Makes the window anew, as a new start of the program with the command line `arguments`
  // does, opening what it opens through `opened_` and asking `dialogs` (empty: the real ones).
  void Restart(PathDialogs dialogs = {}, const std::vector<std::string>& arguments = {}) {
    window_.reset();
    window_ = std::make_unique<MainWindow>(*context_, host_, std::move(dialogs),
                                           [this](int code) { ended_ = code; });
    window_->set_url_opener([this](const QUrl& url) {
      opened_.push_back(url);
      return true;
    });
    window_->LoadSettings(arguments);
  }

  ScopedTempDir dir_;
  std::unique_ptr<FileSystem> fs_ = NewPosixFileSystem();
  std::string bin_;
  std::string out_;
  std::unique_ptr<RunContext> context_;
  std::unique_ptr<MainWindow> window_;
  std::optional<int> ended_;
  std::vector<QUrl> opened_;
};

TEST_F(MainWindowTest, FieldsStoreOnlyPathsThatExist) {
  const std::string doc = dir_.path() + "Orvano.doc";
  WriteBytes(doc, "[x]\r\n");
  ASSERT_NO_FATAL_FAILURE(ShowActive());
  {  // an existing file is stored; a missing one leaves the stored path as it was
    TypeAndLeave(PathField::kDescriptionFile, doc);
    EXPECT_EQ(doc, context_->settings.description_file);
    TypeAndLeave(PathField::kDescriptionFile, dir_.path() + "Missing.doc");
    EXPECT_EQ(doc, context_->settings.description_file);
  }
  {  // a destination typed without "/" gets it on leaving the field
    TypeAndLeave(PathField::kDestinationFolder, dir_.path() + "out");
    EXPECT_EQ(out_, Text(PathField::kDestinationFolder));
    EXPECT_EQ(out_, context_->settings.destination_folder);
    EXPECT_EQ(out_, window_->field(PathField::kDestinationFolder)->toolTip().toStdString());
  }
  {  // a missing destination gives way to the stored one; an empty field stays empty
    TypeAndLeave(PathField::kDestinationFolder, dir_.path() + "nowhere");
    EXPECT_EQ(out_, Text(PathField::kDestinationFolder));
    window_->SetField(PathField::kDestinationFolder, "");
    EXPECT_EQ(out_, context_->settings.destination_folder);
  }
  {  // a template folder counts only when it holds a file; "/" is added on leaving
    const std::string templates = dir_.path() + "tpl/";
    testing::MakeFolders(templates);
    TypeAndLeave(PathField::kTemplateFolder, dir_.path() + "tpl");
    EXPECT_EQ("", context_->settings.template_folder);
    WriteBytes(templates + "Main.htm", "x");
    TypeAndLeave(PathField::kTemplateFolder, dir_.path() + "tpl");
    EXPECT_EQ(templates, Text(PathField::kTemplateFolder));
    EXPECT_EQ(templates, context_->settings.template_folder);
  }
  EXPECT_FALSE(ended_);
}

// Start and Check both want the four inputs: a missing one is emptied and gets the focus.
TEST_F(MainWindowTest, StartOrCheckWithAMissingInputAsksToCompleteIt) {
  Fill(MakeProject());
  ASSERT_NO_FATAL_FAILURE(ShowActive());
  for (const auto& [name, press] :
       {std::pair<const char*, void (MainWindow::*)()>{"Start", &MainWindow::Start},
        {"Check", &MainWindow::Check}}) {
    SCOPED_TRACE(name);
    dialogs_.clear();
    window_->SetField(PathField::kWorkbook, dir_.path() + "Missing.xls");
    (window_.get()->*press)();
    ASSERT_EQ(1u, dialogs_.size());
    EXPECT_EQ(DialogKind::kWarning, dialogs_[0].kind);
    EXPECT_EQ("Please complete input!", dialogs_[0].text);
    EXPECT_EQ("", Text(PathField::kWorkbook));
    EXPECT_TRUE(window_->field(PathField::kWorkbook)->hasFocus());
  }
  EXPECT_TRUE(fs_->ListFolder(out_).empty());
}

TEST_F(MainWindowTest, BrokenProjectShowsTheDriversMessageAndLeavesTheWindowUsable) {
  tools::ProjectPaths paths = FillDemo(1, [](tools::ProjectSources& sources) {
    sources.orvano_doc = "[General]\r\n";  // no sections
  });
  window_->show();
  std::vector<bool> enabled_at_dialog;
  on_dialog_ = [&](const DialogRequest& request) {
    enabled_at_dialog.push_back(window_->isEnabled());
    if (request.kind == DialogKind::kCritical && std::getenv("ORVANO_SCREENSHOT_DIR")) {
      std::unique_ptr<QMessageBox> box = MakeMessageBox(request, window_.get());
      box->show();
      Screenshot(box.get(), "error_dialog");
    }
  };
  {  // Yes: the run stops, "Ready" follows and the window is usable again
    answer_ = true;
    window_->Start();
    ASSERT_EQ(2u, dialogs_.size());
    EXPECT_EQ(DialogKind::kCritical, dialogs_[0].kind);
    EXPECT_EQ("Error", dialogs_[0].title);
    // The dialog names the file that stopped the run.
    EXPECT_EQ("Error!\nError reading Orvano.doc\nAt: " + paths.description + "\nContinue?",
              dialogs_[0].text);
    EXPECT_EQ("Ready", dialogs_[1].text);
    EXPECT_EQ((std::vector<bool>{false, true}), enabled_at_dialog);
    Screenshot(window_.get(), "main_window_after_error");
    EXPECT_TRUE(window_->isEnabled());
    EXPECT_FALSE(window_->progress().bar()->isVisible());
    EXPECT_FALSE(ended_);
  }
  {  // No: the program ends
    answer_ = false;
    window_->Start();
    EXPECT_EQ(1, ended_.value_or(0));
    EXPECT_FALSE(window_->running());
  }
}

// The end of a run is slow here: the destination's lock takes longer to let go than the pause
// between two rounds of the window's events.
class SlowRunEndTest : public MainWindowTest {
 protected:
  class SlowUnlockFileSystem : public testing::FixedClockFileSystem {
   public:
    SlowUnlockFileSystem() : FixedClockFileSystem(testing::TestTime()) {}
    std::unique_ptr<FolderLock> LockFolder(const std::string& path) override {
      struct SlowLock : FolderLock {
        ~SlowLock() override { QThread::msleep(120); }
        std::unique_ptr<FolderLock> lock;
      };
      auto lock = std::make_unique<SlowLock>();
      lock->lock = FixedClockFileSystem::LockFolder(path);
      return lock;
    }
  };

  void SetUp() override {
    fs_ = std::make_unique<SlowUnlockFileSystem>();
    MainWindowTest::SetUp();
  }
};

// The driver ends its status display and lets the window's events through before the run has
// returned: a click on Start or Check then must find the window still locked, or it would start
// a second run inside the first.
TEST_F(SlowRunEndTest, ClicksBeforeTheRunHasReturnedStartNothing) {
  FillDemo(1);
  ASSERT_NO_FATAL_FAILURE(ShowActive());
  for (QPushButton* button : {window_->start_button(), window_->check_button()}) {
    SCOPED_TRACE(button->text().toStdString());
    dialogs_.clear();
    int clicks_taken = 0;
    QTimer clicker;
    QObject::connect(&clicker, &QTimer::timeout, [&] {
      if (!window_->running() || !button->isEnabled()) return;
      ++clicks_taken;
      clicker.stop();  // one run inside the run shows the fault; more would only repeat it
      button->click();
    });
    clicker.start(0);
    window_->Start();
    clicker.stop();
    EXPECT_EQ(0, clicks_taken);
    ASSERT_EQ(1u, dialogs_.size());
    EXPECT_EQ("Ready", dialogs_[0].text);
    EXPECT_TRUE(window_->isEnabled());
    EXPECT_TRUE(button->isEnabled());
  }
}

// A run takes the outputs along; the window is locked but repaints while it runs; Open pages
// then opens the frame page. The next start of the window shows the outputs again.
TEST_F(MainWindowTest, RunsTheDemoProjectWithItsOutputsAndShowsThemAgainAfterARestart) {
  Screenshot(window_.get(), "main_window_empty");
  FillDemo(2);
  const std::string rows = dir_.path() + "rows.json";
  window_->field(OutputField::kExportFile)->setText(QString::fromStdString(rows));
  window_->search_box()->setChecked(true);
  window_->show();
  Screenshot(window_.get(), "main_window_filled");
  QPushButton* open = window_->open_pages_button();
  EXPECT_FALSE(open->isEnabled());

  int seen_during_run = 0;
  QTimer during;
  QObject::connect(&during, &QTimer::timeout, [&] {
    if (!window_->running()) return;
    ++seen_during_run;
    EXPECT_FALSE(window_->isEnabled());
  });
  during.start(0);
  window_->Start();
  during.stop();

  ASSERT_EQ(1u, dialogs_.size()) << dialogs_[0].text;
  EXPECT_EQ("Ready", dialogs_[0].text);
  EXPECT_GT(seen_during_run, 0);
  EXPECT_TRUE(window_->isEnabled());
  for (const std::string& file : {out_ + "Index.htm", out_ + "Search.htm", rows}) {
    EXPECT_TRUE(fs_->IsFile(file)) << file;
  }
  ASSERT_TRUE(open->isEnabled());
  open->click();
  EXPECT_EQ(std::vector<QUrl>{QUrl::fromLocalFile(QString::fromStdString(out_ + "Index.htm"))},
            opened_);
  EXPECT_FALSE(ended_);

  if (std::getenv("ORVANO_SCREENSHOT_DIR")) {  // the demo runs too fast to be caught midway
    window_->progress().StatusStart("Working...", 10, true);
    for (int i = 0; i < 4; ++i) window_->progress().StatusTick();
    Screenshot(window_.get(), "main_window_running");
    window_->progress().StatusEnd();
  }

  context_->settings = RunSettings{};
  Restart();
  EXPECT_EQ(rows, window_->field(OutputField::kExportFile)->text().toStdString());
  EXPECT_TRUE(window_->search_box()->isChecked());
}

// All languages: the error of one language is asked on the window's thread while that language
// waits; Yes lets the others finish, and Open pages opens the list of languages.
TEST_F(MainWindowTest, AllLanguagesAskOnTheWindowsThreadWhenOneLanguageFails) {
  FillDemo(0);
  // A folder where a page of 1033 must go makes that page's write fail.
  testing::MakeFolders(out_ + "1033/Drives_Filler.htm/");
  std::vector<bool> on_window_thread;
  on_dialog_ = [&](const DialogRequest&) {
    on_window_thread.push_back(QThread::currentThread() == window_->thread());
  };
  window_->Start();
  ASSERT_FALSE(dialogs_.empty());
  EXPECT_EQ(0u, dialogs_[0].text.find("language 1033: Unexpected error!")) << dialogs_[0].text;
  EXPECT_EQ("Ready", dialogs_.back().text);
  EXPECT_EQ(std::vector<bool>(dialogs_.size(), true), on_window_thread);
  EXPECT_FALSE(fs_->IsFile(out_ + "1033/Index.htm"));
  EXPECT_TRUE(fs_->IsFile(out_ + "1049/Index.htm"));
  window_->open_pages_button()->click();
  EXPECT_EQ(std::vector<QUrl>{QUrl::fromLocalFile(QString::fromStdString(out_ + "Languages.htm"))},
            opened_);
}

// Check shows the check's problems in the table and its summary and writes nothing; a
// template's line opens the template through the window.
TEST_F(MainWindowTest, CheckListsTheProblemsAndOpensTemplates) {
  tools::ProjectPaths paths = FillDemo(2, [](tools::ProjectSources& sources) {
    for (tools::TemplateFile& file : sources.templates) {
      if (file.name == "Source_Main.htm") file.bytes += "<p>###DIREKT###x</p>\n";
    }
  });
  window_->resize(760, 560);
  ASSERT_NO_FATAL_FAILURE(ShowActive());
  EXPECT_FALSE(window_->problem_table()->isVisible());
  window_->Check();
  EXPECT_TRUE(dialogs_.empty()) << dialogs_[0].text;
  EXPECT_TRUE(fs_->ListFolder(out_).empty());
  ProblemTable* table = window_->problem_table();
  ASSERT_TRUE(table->isVisible());
  ASSERT_EQ(3, table->rowCount());
  EXPECT_EQ("check: 0 errors, 1 warning, 2 notes; 1 of 1 language built to the end",
            window_->check_summary()->text().toStdString());
  table->setFocus();
  table->setCurrentCell(2, 0);
  Screenshot(window_.get(), "main_window_checked");

  table->cellDoubleClicked(2, 2);
  EXPECT_EQ(std::vector<QUrl>{QUrl::fromLocalFile(
                QString::fromStdString(paths.template_folder + "Source_Main.htm"))},
            opened_);
  EXPECT_FALSE(window_->open_pages_button()->isEnabled());  // a check writes no page
  EXPECT_FALSE(ended_);
}

// File > Recent projects lists the remembered projects; choosing an entry fills the fields
// through their rules (the database lists its languages again).
TEST_F(MainWindowTest, RecentProjectsFillTheFields) {
  EXPECT_FALSE(window_->recent_menu()->isEnabled());
  tools::ProjectPaths paths = MakeProject();
  const RecentProject demo = {paths.description, paths.database, paths.workbook,
                              paths.template_folder, out_};
  const std::string other_doc = dir_.path() + "other/Orvano & Co.doc";
  testing::MakeFolders(dir_.path() + "other/");
  WriteBytes(other_doc, "[x]\r\n");
  RecentProject other = demo;
  other[0] = other_doc;
  WriteRecentProjects(*fs_, bin_ + "orvano-html.ini", {other, demo});

  Restart();
  QMenu* menu = window_->recent_menu();
  ASSERT_TRUE(menu->isEnabled());
  ASSERT_EQ(2, menu->actions().size());
  EXPECT_EQ("&1 " + QString::fromStdString(other_doc).replace("&", "&&") + " \u2192 " +
                QString::fromStdString(out_),
            menu->actions()[0]->text());
  if (const char* folder = std::getenv("ORVANO_SCREENSHOT_DIR")) {
    // The window with File > Recent projects open, the two menus drawn where they pop up.
    QMenu* file = window_->menuBar()->actions()[0]->menu();
    window_->resize(file->sizeHint().width() + menu->sizeHint().width() + 16, window_->height());
    window_->show();
    QPixmap shot = window_->grab();
    QPainter painter(&shot);
    const QPoint file_at(0, window_->menuBar()->height());
    file->popup(window_->mapToGlobal(file_at));
    painter.drawPixmap(file_at, file->grab());
    const QPoint recent_at = file_at + QPoint(file->width() - 4, 0);
    menu->popup(window_->mapToGlobal(recent_at));
    painter.drawPixmap(recent_at, menu->grab());
    painter.end();
    menu->hide();
    file->hide();
    shot.save(QString(folder) + "/recent_projects_menu.png");
  }

  window_->SetField(PathField::kDatabase, "");
  window_->language_box()->clear();
  menu->actions()[1]->trigger();
  for (std::size_t i = 0; i < demo.size(); ++i) {
    EXPECT_EQ(demo[i], Text(static_cast<PathField>(i))) << i;
  }
  EXPECT_EQ(paths.description, context_->settings.description_file);
  ASSERT_EQ(4, window_->language_box()->count());
  EXPECT_TRUE(dialogs_.empty());
}

// An output field says why it does not take a text; the chooser starts at the field's text and
// fills it, and Cancel leaves it.
TEST_F(MainWindowTest, OutputFieldsSayWhyNotAndTakeWhatIsChosen) {
  std::vector<std::string> started_at;
  std::optional<std::string> answer;
  PathDialogs dialogs;
  dialogs.open_file =
      dialogs.save_file = [&](const std::string&, const std::string& start, const std::string&) {
        started_at.push_back(start);
        return answer;
      };
  Restart(dialogs);
  const RunSettings& settings = context_->settings;
  QLineEdit* export_field = window_->field(OutputField::kExportFile);
  const QString described = export_field->toolTip();
  export_field->setText(QString::fromStdString(out_ + "rows.txt"));
  EXPECT_EQ("Export must be a file ending with .json or .csv: " + out_ + "rows.txt",
            export_field->toolTip().toStdString());
  answer = out_ + "rows.csv";
  window_->browse_button(OutputField::kExportFile)->click();
  EXPECT_EQ(*answer, settings.export_file);
  EXPECT_EQ(described, export_field->toolTip());
  answer.reset();
  window_->Browse(OutputField::kExportFile);
  EXPECT_EQ(out_ + "rows.csv", export_field->text().toStdString());
  EXPECT_EQ((std::vector<std::string>{out_ + "rows.txt", out_ + "rows.csv"}), started_at);
}

// Tab goes on from the destination folder's button through the new controls to Start; each
// Alt key of the window is taken once.
TEST_F(MainWindowTest, OutputControlsFollowTheDestinationInTabOrderAndHaveTheirOwnAltKeys) {
  ASSERT_NO_FATAL_FAILURE(ShowActive());
  window_->browse_button(PathField::kDestinationFolder)->setFocus(Qt::TabFocusReason);
  std::vector<QWidget*> reached;
  for (int i = 0; i < 6; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    reached.push_back(QApplication::focusWidget());
  }
  EXPECT_EQ((std::vector<QWidget*>{window_->field(OutputField::kExportFile),
                                   window_->browse_button(OutputField::kExportFile),
                                   window_->field(OutputField::kCompareFile),
                                   window_->browse_button(OutputField::kCompareFile),
                                   window_->search_box(), window_->start_button()}),
            reached);

  QStringList texts;
  for (QAction* menu : window_->menuBar()->actions()) texts << menu->text();
  for (QLabel* label : window_->findChildren<QLabel*>()) texts << label->text();
  for (QAbstractButton* button : window_->findChildren<QAbstractButton*>()) {
    texts << button->text();
  }
  std::string sorted;  // the letter after each "&" that is not "&&"
  for (const QString& text : texts) {
    QRegularExpressionMatch key = QRegularExpression("&([^&])").match(text);
    if (key.hasMatch()) sorted += key.captured(1).toUpper().toStdString();
  }
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ("ACEFIMOPSX", sorted);

  QTest::keyClick(window_.get(), Qt::Key_M, Qt::AltModifier);
  EXPECT_EQ(window_->field(OutputField::kCompareFile), QApplication::focusWidget());
  QTest::keyClick(window_.get(), Qt::Key_A, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([this] { return context_->settings.search; }));  // clicks later
}

}  // namespace
}  // namespace orvano::ui
