#include "ui/window_start.h"

#include <QApplication>
#include <QStatusBar>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "session/run_context.h"
#include "session/startup.h"
#include "ui/about_box.h"
#include "ui/main_window.h"
#include "ui/progress_display.h"
#include "ui/qt_host.h"

namespace orvano::ui {

int QtWindows::RunWindow(const ProgramStart& start) {
  QApplication app(argc_, argv_);
  app.setApplicationName(kAppTitle);
  // The desktop entry of that name gives the window its icon.
  app.setDesktopFileName("orvano-html");
  app.setQuitOnLastWindowClosed(false);  // the splash closing must not end the program

  QtHost host(MessageBoxAnswerer());
  std::unique_ptr<RunContext> started = NewStartContext(*start.fs, host, start.program, start.mode);
  RunContext& context = *started;

  int exit_code = 0;
  bool ended = false;
  auto end = [&exit_code, &ended](int code) {
    exit_code = code;
    ended = true;
    for (QWidget* widget : QApplication::topLevelWidgets()) widget->hide();
    QCoreApplication::exit(code);
  };
  std::unique_ptr<MainWindow> window;
  AboutBox splash(start.program.version);
  QObject::connect(&splash, &QDialog::finished, [&] {
    window = std::make_unique<MainWindow>(context, host, PathDialogs{}, end);
    window->LoadSettings(start.arguments);
    if (!ended) window->show();
  });
  splash.show();
  app.exec();
  return exit_code;
}

bool QtWindows::CanShowWindow() const {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

RunOutcome QtWindows::RunSilentWithProgressWindow(const ProgramStart& start) {
  QApplication app(argc_, argv_);
  app.setApplicationName(kAppTitle);

  // A silent run never waits for an answer: what would be asked is done, messages are printed.
  QtHost host([](const DialogRequest& request) {
    std::fprintf(stderr, "orvano-html: %s\n", request.text.c_str());
    return true;
  });
  std::unique_ptr<RunContext> started = NewStartContext(*start.fs, host, start.program, start.mode);
  RunContext& context = *started;

  // The main window stays hidden; its status bar keeps the progress display's books.
  QWidget hidden_window;
  QStatusBar status_bar(&hidden_window);
  ProgressDisplay display(&hidden_window, &status_bar, true,
                          PlacementFromCommandLine(context.settings.command_line_args));
  host.SetProgressDisplay(&display);
  RunOutcome outcome = RunWithoutWindow(context, start.arguments);
  host.SetProgressDisplay(nullptr);
  return outcome;
}

}  // namespace orvano::ui
