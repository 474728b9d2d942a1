#include "ui/path_chooser.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFormLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringList>
#include <QTreeView>
#include <QVBoxLayout>

#include "generation/folders.h"
#include "session/run_context.h"
#include "support/errors.h"
#include "support/file_system.h"
#include "ui/qt_host.h"

namespace orvano::ui {
namespace {

// The folder dialog: a folder tree, the folder's path (typed or picked), the name of a new
// sub-folder (destination only), OK and Abbrechen.
class FolderDialog final : public QDialog {
 public:
  FolderDialog(QWidget* owner, RunContext& context, QtHost& host, const std::string& folder,
               bool allow_create)
      : QDialog(owner), context_(context), host_(host) {
    setWindowTitle("Verzeichnisauswahl");
    setObjectName("DLGPath");
    model_.setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model_.setRootPath("/");
    tree_ = new QTreeView(this);
    tree_->setModel(&model_);
    for (int column = 1; column < model_.columnCount(); ++column) tree_->hideColumn(column);
    tree_->header()->hide();
    path_ = new QLineEdit(this);
    path_->setObjectName("DirSel");
    sub_folder_ = new QLineEdit(this);
    sub_folder_->setObjectName("TextDirectory");
    sub_folder_->setEnabled(allow_create);
    sub_folder_->setToolTip("Name of a new folder to create inside the folder above");
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton("OK", QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton("Abbrechen", QDialogButtonBox::RejectRole);

    auto* form = new QFormLayout;
    form->addRow("&Folder:", path_);
    form->addRow("&New folder:", sub_folder_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tree_, 1);
    layout->addLayout(form);
    layout->addWidget(buttons);
    resize(460, 420);

    // A folder that does not exist starts the dialog at the root.
    Show(context.fs.IsFolder(folder) ? WithTrailingSlash(folder) : "/");
    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) {
              if (!showing_) Show(WithTrailingSlash(model_.filePath(index).toStdString()));
            });
    connect(path_, &QLineEdit::textEdited, this, [this](const QString& text) {
      QModelIndex index = model_.index(text);
      if (index.isValid()) tree_->scrollTo(index);
      sub_folder_->clear();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { Confirm(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  }

  const std::string& chosen() const { return chosen_; }
  const std::optional<EndProgram>& ending() const { return ending_; }

 private:
  // Shows `folder` in the tree and the path box; a new folder shown clears the sub-folder name.
  void Show(const std::string& folder) {
    showing_ = true;
    path_->setText(QString::fromStdString(folder));
    QModelIndex index = model_.index(QString::fromStdString(folder));
    if (index.isValid()) {
      tree_->setCurrentIndex(index);
      tree_->scrollTo(index);
    }
    sub_folder_->clear();
    showing_ = false;
  }

  void Confirm() {
    std::string folder =
        ComposeFolder(path_->text().toStdString(), sub_folder_->text().trimmed().toStdString());
    if (folder.empty()) return;
    try {
      if (!ConfirmOrCreateFolder(context_, host_, folder)) return;
    } catch (const EndProgram& end) {
      // Exceptions must not cross Qt's event loop: SelectDirectory rethrows after exec().
      ending_ = end;
      reject();
      return;
    }
    chosen_ = folder;
    accept();
  }

  RunContext& context_;
  QtHost& host_;
  QFileSystemModel model_;
  QTreeView* tree_;
  QLineEdit* path_;
  QLineEdit* sub_folder_;
  bool showing_ = false;
  std::string chosen_;
  std::optional<EndProgram> ending_;
};

}  // namespace

std::optional<FileChooser> FileChooserFor(PathField field) {
  switch (field) {
    case PathField::kDescriptionFile:
      return FileChooser{"Please select Orvano descripionfile", "Orvano.doc (*.doc)|*.doc"};
    case PathField::kDatabase:
      return FileChooser{"Please select Orvano database",
                         "Orvano database  (*.mdb)|*.mdb| Orvano database (*.vws)|*.vws"};
    case PathField::kWorkbook:
      return FileChooser{"Please select modulecollection",
                         "Interfacedescription modulecollection (*.xls *.xlsx *.xlsm)|"
                         "*.xls;*.xlsx;*.xlsm"};
    default:
      return std::nullopt;
  }
}

QString QtFilterOf(std::string_view filter) {
  QStringList parts =
      QString::fromUtf8(filter.data(), static_cast<qsizetype>(filter.size())).split('|');
  QStringList displays;
  for (qsizetype i = 0; i < parts.size(); i += 2) displays << parts[i].trimmed();
  return displays.join(";;");
}

PathDialogs QtPathDialogs(QWidget* owner, RunContext& context, QtHost& host) {
  PathDialogs dialogs;
  dialogs.open_file = [owner](const std::string& title, const std::string& start,
                              const std::string& filter) -> std::optional<std::string> {
    QString file = QFileDialog::getOpenFileName(owner, QString::fromStdString(title),
                                                QString::fromStdString(start), QtFilterOf(filter));
    if (file.isEmpty()) return std::nullopt;
    return file.toStdString();
  };
  dialogs.save_file = [owner](const std::string& title, const std::string& start,
                              const std::string& filter) -> std::optional<std::string> {
    QFileDialog dialog(owner, QString::fromStdString(title), QString::fromStdString(start),
                       QtFilterOf(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The file is written by the next run, each run anew: choosing it overwrites nothing yet.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // A name typed without an ending gets the ending of the filter shown.
    auto take_suffix = [&dialog](const QString& shown) {
      QRegularExpressionMatch match = QRegularExpression(R"(\*\.(\w+))").match(shown);
      dialog.setDefaultSuffix(match.hasMatch() ? match.captured(1) : QString());
    };
    take_suffix(dialog.selectedNameFilter());
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, take_suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
      return std::nullopt;
    }
    return dialog.selectedFiles().first().toStdString();
  };
  dialogs.choose_folder = [owner, &context, &host](
                              const std::string& folder,
                              bool allow_create) -> std::optional<std::string> {
    FolderDialog dialog(owner, context, host, folder, allow_create);
    bool accepted = dialog.exec() == QDialog::Accepted;
    if (dialog.ending()) throw *dialog.ending();
    if (!accepted) return std::nullopt;
    return dialog.chosen();
  };
  return dialogs;
}

std::string ChooseFile(FileSystem& fs, const PathDialogs& dialogs, const FileChooser& chooser,
                       const std::string& path, const std::string& program_folder) {
  const bool exists = !path.empty() && fs.IsFile(path);
  std::optional<std::string> chosen =
      dialogs.open_file(chooser.title, exists ? path : program_folder, chooser.filter);
  if (chosen) return *chosen;
  return exists ? path : "";
}

std::optional<std::string> ChooseFileToWrite(FileSystem& fs, const PathDialogs& dialogs,
                                             const FileChooser& chooser, const std::string& path,
                                             const std::string& folder) {
  const bool folder_exists = !FolderOf(path).empty() && fs.IsFolder(FolderOf(path));
  return dialogs.save_file(chooser.title, folder_exists ? path : folder, chooser.filter);
}

std::string ComposeFolder(const std::string& shown, const std::string& typed) {
  if (shown.empty() || shown.front() != '/') return "";
  std::string folder = shown;
  if (!typed.empty()) folder = WithTrailingSlash(folder) + typed;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder == "/" ? folder : folder + "/";
}

bool ConfirmOrCreateFolder(RunContext& context, QtHost& host, const std::string& folder) {
  if (context.fs.IsFolder(folder)) return true;
  std::string shown = folder.size() > 1 ? folder.substr(0, folder.size() - 1) : folder;
  if (!host.AskOkCancel("Directory not found",
                        "Verzeichnis \"" + shown + "\" nicht vorhanden! Erstellen?")) {
    return false;
  }
  return CreateFolderWithParents(context.fs, context.errors(), folder) &&
         context.fs.IsFolder(folder);
}

}  // namespace orvano::ui
