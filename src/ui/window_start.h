// The program's windows for the session's start, with no Qt type in sight: the interactive
// program (the about box as a three-second splash, then the main window, until the user ends the
// program), and the silent run that shows only the separate progress window.

#ifndef ORVANO_UI_WINDOW_START_H_
#define ORVANO_UI_WINDOW_START_H_

#include "session/startup.h"

namespace orvano::ui {

class QtWindows final : public WindowFrontEnd {
 public:
  /// `argc` and `argv` go to Qt; they must outlive the windows.
  QtWindows(int& argc, char** argv) : argc_(argc), argv_(argv) {}

  /// True when a window can be shown here (a display, or a Qt platform chosen explicitly).
  bool CanShowWindow() const override;
  /// Runs the window for `start`. Returns the exit status: 0 after Exit, 1 when the error
  /// dialog's No ended the program.
  int RunWindow(const ProgramStart& start) override;
  /// One silent run that shows its progress in the separate progress window ("progress=TRUE",
  /// placed by "pgleft", "pgtop", "pgheight"); nothing else is shown: errors and messages go
  /// to stderr and the error log as in any silent run. Throws EndProgram when an error ends
  /// the program.
  RunOutcome RunSilentWithProgressWindow(const ProgramStart& start) override;

 private:
  int& argc_;
  char** argv_;
};

}  // namespace orvano::ui

#endif  // ORVANO_UI_WINDOW_START_H_
