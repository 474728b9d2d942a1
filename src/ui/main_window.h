// MainWindow: the program's one working window. It shows the five paths and the language of a
// run, validates and stores each path as it is typed or chosen, and starts the generation. The
// settings loader fills its fields at start-up through SettingsFields. Lives for the whole
// interactive program; all its handlers run on the window's thread.

#ifndef ORVANO_UI_MAIN_WINDOW_H_
#define ORVANO_UI_MAIN_WINDOW_H_

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "session/settings_loader.h"
#include "ui/path_chooser.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace orvano {
struct RunContext;
}

namespace orvano::ui {

class ProgressDisplay;
class QtHost;

class MainWindow final : public QMainWindow, public SettingsFields {
 public:
  /// A window over `context` and `host` (both must outlive it; the host's progress calls are
  /// routed to this window's progress display). `dialogs` are the choosers' dialogs (empty: the
  /// real ones over this window). `end` is
  /// called with the exit status when the program is to end (Exit, the error dialog's No).
  MainWindow(RunContext& context, QtHost& host, PathDialogs dialogs, std::function<void(int)> end);
  ~MainWindow() override;

  /// Loads the settings from the command line's tokens `arguments`, the user INI file and the
  /// defaults into the fields (the window's loading). Errors go through the error dialog.
  void LoadSettings(const std::vector<std::string>& arguments);

  /// Sets the field's text, which runs its change handling.
  void SetField(PathField field, const std::string& text) override;

  /// The Start button: checks the four input fields, remembers the paths, runs the generation
  /// and says "Ready". A missing input says "Please complete input!" and focuses that field.
  void Start();
  /// The language box's choice of row `row`: the run's language becomes that row's id.
  void ChooseLanguage(int row);
  /// The browse button of `field`: the file or folder chooser.
  void Browse(PathField field);

  QLineEdit* field(PathField field) const { return fields_[Index(field)]; }
  QToolButton* browse_button(PathField field) const { return browse_[Index(field)]; }
  QComboBox* language_box() const { return language_box_; }
  QPushButton* start_button() const { return start_; }
  QPushButton* exit_button() const { return exit_; }
  ProgressDisplay& progress() const { return *progress_; }
  /// True while a generation runs.
  bool running() const { return running_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  static std::size_t Index(PathField field) { return static_cast<std::size_t>(field); }

  void BuildControls();
  // Runs `step` under the common error handling of `procedure`; the program's end (EndProgram)
  // becomes a call of `end_`, because exceptions must not cross Qt's event loop.
  void Handle(std::string_view procedure, const std::function<void()>& step);
  void End(int exit_code);
  void FieldChanged(PathField field);
  void FieldLostFocus(PathField field);
  void DatabaseChanged(const std::string& text);

  RunContext& context_;
  QtHost& host_;
  PathDialogs dialogs_;
  std::function<void(int)> end_;
  bool ended_ = false;
  bool running_ = false;

  std::array<QLineEdit*, 5> fields_{};
  std::array<QToolButton*, 5> browse_{};
  QComboBox* language_box_ = nullptr;
  QPushButton* start_ = nullptr;
  QPushButton* exit_ = nullptr;
  std::unique_ptr<ProgressDisplay> progress_;
};

}  // namespace orvano::ui

#endif  // ORVANO_UI_MAIN_WINDOW_H_
