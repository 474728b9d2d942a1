#include "ui/path_chooser.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>

#include "session/run_context.h"
#include "support/file_system.h"
#include "testing/test_util.h"
#include "ui/qt_host.h"

namespace orvano::ui {
namespace {

// A chooser's filter shows its descriptions; a folder typed in the chooser's box is joined with
// one "/", never relative to the working folder.
TEST(PathChooserTest, FiltersAndFolderNames) {
  EXPECT_EQ("Orvano database  (*.mdb);;Orvano database (*.vws)",
            QtFilterOf(FileChooserFor(PathField::kDatabase)->filter).toStdString());
  EXPECT_EQ("/out/New/", ComposeFolder("/out", "New"));
  EXPECT_EQ("/out/New/", ComposeFolder("/out/", "New"));
  EXPECT_EQ("/out/", ComposeFolder("/out//", ""));
  EXPECT_EQ("/", ComposeFolder("/", ""));
  EXPECT_EQ("", ComposeFolder("out", "New"));
}

TEST(PathChooserTest, CancelKeepsOnlyAnExistingFile) {
  testing::ScopedTempDir dir;
  auto fs = NewPosixFileSystem();
  const std::string doc = dir.path() + "Orvano.doc";
  testing::WriteBytes(doc, "x");
  std::string started_at;
  std::optional<std::string> answer;
  PathDialogs dialogs;
  dialogs.open_file = [&](const std::string&, const std::string& start, const std::string&) {
    started_at = start;
    return answer;
  };
  FileChooser chooser = *FileChooserFor(PathField::kDescriptionFile);
  EXPECT_EQ(doc, ChooseFile(*fs, dialogs, chooser, doc, "/bin/"));
  EXPECT_EQ(doc, started_at);
  EXPECT_EQ("", ChooseFile(*fs, dialogs, chooser, dir.path() + "Gone.doc", "/bin/"));
  EXPECT_EQ("/bin/", started_at);
  answer = dir.path() + "Other.doc";
  EXPECT_EQ(*answer, ChooseFile(*fs, dialogs, chooser, doc, "/bin/"));
}

// The export's chooser starts at the export while its folder exists; the real dialog gives a
// name typed without an ending the ending of the filter shown.
TEST(PathChooserTest, ExportChooserStartsAtTheExportAndAddsTheEnding) {
  testing::ScopedTempDir dir;
  auto fs = NewPosixFileSystem();
  std::string started_at;
  PathDialogs answers;
  answers.save_file = [&](const std::string&, const std::string& start, const std::string&) {
    started_at = start;
    return std::optional<std::string>();
  };
  EXPECT_FALSE(ChooseFileToWrite(*fs, answers, kExportChooser, dir.path() + "rows.csv", "/out/"));
  EXPECT_EQ(dir.path() + "rows.csv", started_at);  // need not exist yet
  static_cast<void>(
      ChooseFileToWrite(*fs, answers, kExportChooser, dir.path() + "gone/rows.csv", "/out/"));
  EXPECT_EQ("/out/", started_at);

  QtHost host([](const DialogRequest&) { return true; });
  RunContext context(*fs, host, ProgramInfo{dir.path(), "orvano-html", "0.1.0", "/none/"});
  PathDialogs dialogs = QtPathDialogs(nullptr, context, host);
  for (const char* typed : {"rows", "rows.csv"}) {
    QTimer::singleShot(0, [typed] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(nullptr, dialog);
      dialog->findChild<QLineEdit*>("fileNameEdit")->setText(typed);
      static_cast<QDialog*>(dialog)->accept();  // as the Save button does
    });
    const std::string expected = dir.path() + (std::string(typed) == "rows" ? "rows.json" : typed);
    EXPECT_EQ(expected,
              dialogs.save_file("Export", dir.path(), kExportChooser.filter).value_or("?"));
  }
}

TEST(PathChooserTest, FolderDialogCreatesTheTypedSubFolder) {
  testing::ScopedTempDir dir;
  auto fs = NewPosixFileSystem();
  std::vector<DialogRequest> asked;
  QtHost host([&](const DialogRequest& request) {
    asked.push_back(request);
    return true;
  });
  RunContext context(*fs, host, ProgramInfo{dir.path(), "orvano-html", "0.1.0", "/none/"});
  PathDialogs dialogs = QtPathDialogs(nullptr, context, host);
  // Answers the modal dialog once it runs: a sub-folder name, then OK.
  auto answer = [](const char* typed, const char* button) {
    QTimer::singleShot(0, [typed, button] {
      QWidget* dialog = QApplication::activeModalWidget();
      ASSERT_NE(nullptr, dialog);
      if (const char* folder = std::getenv("ORVANO_SCREENSHOT_DIR")) {
        dialog->grab().save(QString(folder) + "/folder_dialog.png");
      }
      dialog->findChild<QLineEdit*>("TextDirectory")->setText(typed);
      for (QPushButton* b : dialog->findChildren<QPushButton*>()) {
        if (b->text() == button) b->click();
      }
    });
  };
  answer("New", "OK");
  EXPECT_EQ(dir.path() + "New/", dialogs.choose_folder(dir.path(), true).value_or("?"));
  EXPECT_TRUE(fs->IsFolder(dir.path() + "New/"));
  ASSERT_EQ(1u, asked.size());
  EXPECT_EQ("Directory not found", asked[0].title);
  EXPECT_EQ("Verzeichnis \"" + dir.path() + "New\" nicht vorhanden! Erstellen?", asked[0].text);

  answer("Other", "Abbrechen");
  EXPECT_FALSE(dialogs.choose_folder(dir.path(), true));
  EXPECT_FALSE(fs->IsFolder(dir.path() + "Other/"));
}

}  // namespace
}  // namespace orvano::ui
