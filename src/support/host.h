// Host: the one door from the core to the person or script that runs it. The window implements
// it with dialogs (QtHost), silent runs with SilentHost; tests with a recording host. Nothing in
// the core shows a window, sleeps or writes to the terminal except through a Host.

#ifndef ORVANO_SUPPORT_HOST_H_
#define ORVANO_SUPPORT_HOST_H_

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace orvano {

class Host {
 public:
  virtual ~Host() = default;

  /// Shows the error `text` under `title` with the question "Continue?"; true when the user
  /// chooses to continue.
  virtual bool ShowError(std::string_view title, std::string_view text) = 0;
  /// Asks a yes/no question; true for yes.
  virtual bool AskYesNo(std::string_view text) = 0;
  /// Shows a message with an OK button.
  virtual void ShowMessage(std::string_view text) = 0;
  /// Lets the window process its pending events; implementations throttle to every 50 ms.
  virtual void PumpEvents() = 0;

  /// Progress display: opens it with `text` and `maximum` (0: no bar), locking the window when
  /// `lock`; advances it by one, `done` naming what was just finished (a page's file name, ""
  /// for a step of no page); closes it.
  virtual void StatusStart(std::string_view text, int maximum, bool lock) = 0;
  virtual void StatusTick(std::string_view done) = 0;
  virtual void StatusEnd() = 0;

  /// A diagnostic line for the person at the terminal (stderr): errors in silent runs, logs that
  /// could not be written.
  virtual void WriteDiagnostic(std::string_view text) = 0;
};

/// A host without a window: errors end the run (ShowError answers "no"), questions are answered
/// "yes", messages and diagnostics go to stderr. With `show_progress`, progress goes to stderr
/// too: on a terminal as one status line redrawn in place (pages done of all, time elapsed, the
/// last page finished), otherwise as one line per tenth of the maximum.
std::unique_ptr<Host> NewSilentHost(bool show_progress);

/// As NewSilentHost, writing to `out`, which is a terminal when `terminal` is set.
std::unique_ptr<Host> NewSilentHost(bool show_progress, std::FILE* out, bool terminal);

}  // namespace orvano

#endif  // ORVANO_SUPPORT_HOST_H_
