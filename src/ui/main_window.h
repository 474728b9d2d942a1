// MainWindow: the program's one working window. It shows the five paths, the optional outputs
// (export, comparison, search page) and the language of a run and the recently used projects, and
// starts the generation or a check, whose problems it lists; the session's field rules decide what
// a path does, the window shows their outcome. The settings loader fills its fields at start-up
// through SettingsFields. Lives for the whole interactive program; all its handlers run on the
// window's thread.

#ifndef ORVANO_UI_MAIN_WINDOW_H_
#define ORVANO_UI_MAIN_WINDOW_H_

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "session/output_fields.h"
#include "session/recent_projects.h"
#include "session/settings_loader.h"
#include "ui/path_chooser.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;
class QUrl;
class QVBoxLayout;

namespace orvano {
struct RunContext;
}

namespace orvano::ui {

class ProblemTable;
class ProgressDisplay;
class QtHost;

/// Opens a file or page with the desktop's default application; true when it could. The real
/// one is QDesktopServices::openUrl; tests record the URL instead.
using UrlOpener = std::function<bool(const QUrl&)>;

class MainWindow final : public QMainWindow, public SettingsFields {
 public:
  /// A window over `context` and `host` (both must outlive it; the host's progress calls are
  /// routed to this window's progress display). `dialogs` are the choosers' dialogs (empty: the
  /// real ones over this window). `end` is
  /// called with the exit status when the program is to end (Exit, the error dialog's No).
  MainWindow(RunContext& context, QtHost& host, PathDialogs dialogs, std::function<void(int)> end);
  ~MainWindow() override;

  /// Loads the settings from the command line's tokens `arguments`, the user INI file and the
  /// defaults into the fields, then the outputs (LoadWindowOutputs; the window's loading).
  /// Errors go through the error dialog.
  void LoadSettings(const std::vector<std::string>& arguments);

  /// Sets the field's text, which runs its change handling.
  void SetField(PathField field, const std::string& text) override;

  /// The Start button: checks the four input fields, remembers the paths and the project, runs
  /// the generation and says "Ready". A missing input says "Please complete input!", empties
  /// and focuses that field. Open pages is enabled after a run that wrote the page it opens,
  /// disabled after one that did not.
  void Start();
  /// The Check button: checks the four input fields as Start does, then checks the project
  /// without writing anything and lists its problems in the problem table.
  void Check();
  /// The Open pages button: opens the page the last run wrote (Index.htm, or Languages.htm for
  /// several languages).
  void OpenPages();
  /// The recent projects menu's entry `index` (0 for the most recent): fills the five fields
  /// with its paths.
  void ChooseRecentProject(std::size_t index);
  /// Opens `url` through the opener instead of the desktop (tests).
  void set_url_opener(UrlOpener opener) { open_url_ = std::move(opener); }
  /// The language box's choice of row `row`: the run's language becomes that row's id.
  void ChooseLanguage(int row);
  /// The browse button of `field`: the file or folder chooser.
  void Browse(PathField field);
  /// The browse button of the output `field`: the save-file chooser of the export, the
  /// open-file chooser of the earlier export. Cancel leaves the field as it is.
  void Browse(OutputField field);

  QLineEdit* field(PathField field) const { return fields_[Index(field)]; }
  QToolButton* browse_button(PathField field) const { return browse_[Index(field)]; }
  QLineEdit* field(OutputField field) const { return outputs_[Index(field)]; }
  QToolButton* browse_button(OutputField field) const { return output_browse_[Index(field)]; }
  QCheckBox* search_box() const { return search_box_; }
  QComboBox* language_box() const { return language_box_; }
  QPushButton* start_button() const { return start_; }
  QPushButton* exit_button() const { return exit_; }
  QPushButton* check_button() const { return check_; }
  QPushButton* open_pages_button() const { return open_pages_; }
  ProblemTable* problem_table() const { return problems_; }
  QLabel* check_summary() const { return check_summary_; }
  QMenu* recent_menu() const { return recent_menu_; }
  ProgressDisplay& progress() const { return *progress_; }
  /// True while a generation runs.
  bool running() const { return running_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  static std::size_t Index(PathField field) { return static_cast<std::size_t>(field); }
  static std::size_t Index(OutputField field) { return static_cast<std::size_t>(field); }

  void BuildControls();
  // The export, comparison and search page controls in `frame`, chained into the Tab order
  // by `chain`.
  void BuildOutputControls(QFrame* frame, const std::function<void(QWidget*)>& chain);
  // Runs `step` under the common error handling of `procedure`; the program's end (EndProgram)
  // becomes a call of `end_`, because exceptions must not cross Qt's event loop.
  void Handle(std::string_view procedure, const std::function<void()>& step);
  void End(int exit_code);
  void FieldChanged(PathField field);
  void FieldLostFocus(PathField field);
  void OutputFieldChanged(OutputField field);
  // Checks the four input fields before a run; false (after saying so) when one is missing.
  bool AreInputsComplete();
  // Runs `work` with the window marked as running and locked.
  void RunLocked(const std::function<void()>& work);
  void OpenFile(const std::string& path);
  void FillRecentMenu();
  std::string Text(PathField which) const;

  RunContext& context_;
  QtHost& host_;
  PathDialogs dialogs_;
  std::function<void(int)> end_;
  bool ended_ = false;
  bool running_ = false;

  std::array<QLineEdit*, 5> fields_{};
  std::array<QToolButton*, 5> browse_{};
  std::array<QLineEdit*, 2> outputs_{};
  std::array<QToolButton*, 2> output_browse_{};
  QCheckBox* search_box_ = nullptr;
  QComboBox* language_box_ = nullptr;
  QPushButton* start_ = nullptr;
  QPushButton* exit_ = nullptr;
  QPushButton* check_ = nullptr;
  QPushButton* open_pages_ = nullptr;
  QLabel* check_summary_ = nullptr;
  ProblemTable* problems_ = nullptr;
  QMenu* recent_menu_ = nullptr;
  QVBoxLayout* central_layout_ = nullptr;
  std::unique_ptr<ProgressDisplay> progress_;
  UrlOpener open_url_;
  std::string page_to_open_;  // what Open pages opens; "" before a run wrote one
  std::vector<RecentProject> recent_;
};

}  // namespace orvano::ui

#endif  // ORVANO_UI_MAIN_WINDOW_H_
