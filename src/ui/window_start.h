// The program's windows for main(), with no Qt type in sight: the interactive program (the about
// box as a three-second splash, then the main window, until the user ends the program), and the
// silent run that shows only the separate progress window.

#ifndef ORVANO_UI_WINDOW_START_H_
#define ORVANO_UI_WINDOW_START_H_

#include <string>

namespace orvano::ui {

/// Runs the window for the command line `argument_text` (`argc`/`argv` go to Qt). Returns the
/// exit status: 0 after Exit, 1 when the error dialog's No ended the program.
int RunWindow(int argc, char** argv, const std::string& argument_text);

/// True when a window can be shown here (a display, or a Qt platform chosen explicitly).
bool CanShowWindow();

/// One silent run that shows its progress in the separate progress window ("progress=TRUE",
/// placed by "pgleft", "pgtop", "pgheight"); nothing else is shown: errors and messages go to
/// stderr and the error log as in any silent run. Returns 0 when every page was written, 1
/// otherwise. Throws EndProgram when an error ends the program.
int RunSilentWithProgressWindow(int argc, char** argv, const std::string& argument_text);

}  // namespace orvano::ui

#endif  // ORVANO_UI_WINDOW_START_H_
