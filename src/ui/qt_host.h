// QtHost: the Host of the interactive program. Errors, questions and messages become message
// boxes, progress goes to the main window's progress display, and long loops let the window
// repaint. Lives on the window's thread for the whole program.

#ifndef ORVANO_UI_QT_HOST_H_
#define ORVANO_UI_QT_HOST_H_

#include <QElapsedTimer>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "support/host.h"

class QMessageBox;
class QString;
class QWidget;

namespace orvano::ui {

class ProgressDisplay;

/// The program's name: the caption of the main window and the title of its message boxes.
inline constexpr char kAppTitle[] = "Brenk Orvano Interface Allocation Description";

/// The kinds of message box the window shows.
enum class DialogKind {
  kCritical,  // critical icon, Yes and No
  kQuestion,  // question icon, Yes and No
  kWarning,   // exclamation icon, OK
  kPlain,     // no icon, OK
  kOkCancel,  // question icon, OK and Cancel
};

struct DialogRequest {
  DialogKind kind = DialogKind::kPlain;
  std::string title;
  std::string text;  // line breaks as "\n"
};

/// Shows a message box and returns true for Yes or OK. The real one blocks until the user
/// answers; tests pass their own so that nothing blocks.
using DialogAnswerer = std::function<bool(const DialogRequest&)>;

/// The message box for `request` (title, text, icon and buttons), not yet shown; the button
/// that answers "true" is its default button.
std::unique_ptr<QMessageBox> MakeMessageBox(const DialogRequest& request, QWidget* parent);

/// The answerer that shows a modal MakeMessageBox over the active window.
DialogAnswerer MessageBoxAnswerer();

/// `text` with the core's LF CR line breaks turned into plain "\n", as a QString.
QString DialogText(std::string_view text);

class QtHost final : public Host {
 public:
  explicit QtHost(DialogAnswerer answerer);
  QtHost(const QtHost&) = delete;
  QtHost& operator=(const QtHost&) = delete;

  /// Progress calls go to `display` (may be null: they are then ignored). Not owned.
  void SetProgressDisplay(ProgressDisplay* display) { display_ = display; }

  /// A critical Yes/No box titled `title` ("Error", "Unexpected error"); `text` already ends
  /// with "Continue?". True for Yes.
  bool ShowError(std::string_view title, std::string_view text) override;
  /// A Yes/No question under the program's title. True for Yes.
  bool AskYesNo(std::string_view text) override;
  /// An OK box without icon under the program's title.
  void ShowMessage(std::string_view text) override;
  /// An OK box with the exclamation icon under the program's title.
  void ShowWarning(std::string_view text);
  /// An OK/Cancel question under `title`. True for OK.
  bool AskOkCancel(std::string_view title, std::string_view text);

  /// Processes pending window events, at most once every 50 ms.
  void PumpEvents() override;
  /// Processes pending window events now.
  void PumpEventsNow();

  void StatusStart(std::string_view text, int maximum, bool lock) override;
  void StatusTick(std::string_view done) override;
  void StatusEnd() override;

  /// Writes `text` as one line to stderr.
  void WriteDiagnostic(std::string_view text) override;

 private:
  bool Ask(DialogKind kind, std::string_view title, std::string_view text);

  DialogAnswerer answerer_;
  ProgressDisplay* display_ = nullptr;
  QElapsedTimer since_pump_;
};

}  // namespace orvano::ui

#endif  // ORVANO_UI_QT_HOST_H_
