#include "ui/main_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <cstdlib>

#include "project_sources.h"
#include "project_writer.h"
#include "session/run_context.h"
#include "support/file_system.h"
#include "testing/test_util.h"
#include "ui/progress_display.h"
#include "ui/qt_host.h"

namespace orvano::ui {
namespace {

using ::testing::HasSubstr;
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
    window_ = std::make_unique<MainWindow>(*context_, host_, PathDialogs{},
                                           [this](int code) { ended_ = code; });
    window_->LoadSettings({});
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
  ScopedTempDir dir_;
  std::unique_ptr<FileSystem> fs_ = NewPosixFileSystem();
  std::string bin_;
  std::string out_;
  std::unique_ptr<RunContext> context_;
  std::unique_ptr<MainWindow> window_;
  std::optional<int> ended_;
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

TEST_F(MainWindowTest, LanguageBoxListsNamesOrBareIds) {
  tools::ProjectPaths paths = MakeProject([](tools::ProjectSources& sources) {
    auto& names = *sources.language_names;
    std::erase_if(names, [](const tools::LanguageName& n) { return n.language == 1049; });
  });
  window_->SetField(PathField::kDatabase, paths.database);
  QComboBox* box = window_->language_box();
  std::vector<std::string> items;
  for (int i = 0; i < box->count(); ++i) items.push_back(box->itemText(i).toStdString());
  EXPECT_EQ((std::vector<std::string>{"All languages", "Deutsch", "English", "1049"}), items);
  EXPECT_EQ(-1, box->currentIndex());
  EXPECT_EQ(paths.database, context_->settings.database_file);
  window_->ChooseLanguage(2);
  EXPECT_EQ("1033", context_->settings.language_id);
  window_->ChooseLanguage(0);
  EXPECT_EQ("ALL", context_->settings.language_id);
}

TEST_F(MainWindowTest, StartWithAMissingInputAsksToCompleteIt) {
  tools::ProjectPaths paths = MakeProject();
  Fill(paths);
  ASSERT_NO_FATAL_FAILURE(ShowActive());
  window_->SetField(PathField::kWorkbook, dir_.path() + "Missing.xls");
  window_->Start();
  ASSERT_EQ(1u, dialogs_.size());
  EXPECT_EQ(DialogKind::kWarning, dialogs_[0].kind);
  EXPECT_EQ("Please complete input!", dialogs_[0].text);
  EXPECT_EQ("", Text(PathField::kWorkbook));
  EXPECT_TRUE(window_->field(PathField::kWorkbook)->hasFocus());
  EXPECT_FALSE(fs_->IsFile(out_ + "Logfile.log"));
}

TEST_F(MainWindowTest, BrokenProjectShowsTheDriversMessageAndLeavesTheWindowUsable) {
  tools::ProjectPaths paths = MakeProject([](tools::ProjectSources& sources) {
    sources.orvano_doc = "[General]\r\n";  // no sections
  });
  Fill(paths);
  window_->ChooseLanguage(1);
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
    EXPECT_EQ("", window_->progress().status_label()->text().toStdString());
    EXPECT_FALSE(ended_);
  }
  {  // No: the program ends
    answer_ = false;
    window_->Start();
    EXPECT_EQ(1, ended_.value_or(0));
    EXPECT_FALSE(window_->running());
  }
}

TEST_F(MainWindowTest, RunsTheDemoProjectAndRemembersThePaths) {
  Screenshot(window_.get(), "main_window_empty");
  tools::ProjectPaths paths = MakeProject();
  Fill(paths);
  window_->language_box()->setCurrentIndex(2);
  window_->ChooseLanguage(2);
  window_->show();
  Screenshot(window_.get(), "main_window_filled");

  // The window repaints during the run: a timer fires while the driver works.
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
  for (const char* page : {"Overview.htm", "Index.htm", "Brenk.gif", "Logfile.log"}) {
    EXPECT_TRUE(fs_->IsFile(out_ + page)) << page;
  }
  std::string ini = ReadBytes(bin_ + "orvano-html.ini");
  EXPECT_THAT(ini, HasSubstr("PathDestinationFolder=" + out_));
  EXPECT_FALSE(ended_);

  if (std::getenv("ORVANO_SCREENSHOT_DIR")) {  // the demo runs too fast to be caught midway
    window_->progress().StatusStart("Working...", 10, true);
    for (int i = 0; i < 4; ++i) window_->progress().StatusTick();
    Screenshot(window_.get(), "main_window_running");
    window_->progress().StatusEnd();
  }
}

// All languages: the error of one language is asked on the window's thread while that language
// waits. Yes lets the others finish; No ends the program once they have stopped.
TEST_F(MainWindowTest, AllLanguagesAskOnTheWindowsThreadWhenOneLanguageFails) {
  tools::ProjectPaths paths = MakeProject();
  for (bool go_on : {true, false}) {
    SCOPED_TRACE(go_on ? "Yes" : "No");
    dialogs_.clear();
    ended_.reset();
    Fill(paths);
    window_->ChooseLanguage(0);
    // A folder where a page of 1033 must go makes that page's write fail.
    testing::MakeFolders(out_ + "1033/Drives_Filler.htm/");
    std::vector<bool> on_window_thread;
    on_dialog_ = [&](const DialogRequest&) {
      on_window_thread.push_back(QThread::currentThread() == window_->thread());
    };
    answer_ = go_on;
    window_->Start();
    ASSERT_FALSE(dialogs_.empty());
    EXPECT_EQ(0u, dialogs_[0].text.find("language 1033: Unexpected error!")) << dialogs_[0].text;
    EXPECT_EQ(std::vector<bool>(dialogs_.size(), true), on_window_thread);
    EXPECT_FALSE(fs_->IsFile(out_ + "1033/Index.htm"));
    if (go_on) {
      EXPECT_EQ("Ready", dialogs_.back().text);
      EXPECT_FALSE(ended_);
      for (const char* id : {"1031", "1049"}) {
        EXPECT_TRUE(fs_->IsFile(out_ + id + "/Index.htm")) << id;
      }
      std::string list = ReadBytes(out_ + "Languages.htm");
      EXPECT_THAT(list, HasSubstr("1031/Index.htm"));
      EXPECT_EQ(std::string::npos, list.find("1033/Index.htm"));
    } else {
      EXPECT_EQ(1u, dialogs_.size());
      EXPECT_EQ(1, ended_.value_or(0));
      EXPECT_FALSE(window_->running());
    }
    on_dialog_ = nullptr;
  }
}

}  // namespace
}  // namespace orvano::ui
