// ProgressDisplay: the status text and progress bar at the bottom of the main window, the
// window's lock during a run, and the separate progress window that the command line may ask
// for ("progress=TRUE", placed by "pgleft", "pgtop", "pgheight"). Owned by the main window.

#ifndef ORVANO_UI_PROGRESS_DISPLAY_H_
#define ORVANO_UI_PROGRESS_DISPLAY_H_

#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QProgressBar;
class QStatusBar;
class QWidget;

namespace orvano::ui {

/// Where the separate progress window stands, in pixels; unset values keep the defaults.
struct ProgressWindowPlacement {
  std::optional<int> left;
  std::optional<int> top;
  std::optional<int> height;
};

/// The placement given by the command-line keys "pgleft", "pgtop" and "pgheight" (in twips,
/// 15 to a pixel); a value that is not a number is left out.
ProgressWindowPlacement PlacementFromCommandLine(const std::vector<std::string>& args);

class ProgressDisplay {
 public:
  /// Adds the status text and the (hidden) bar to `status_bar`; `window` is the window locked
  /// during a run. With `show_progress` the separate progress window joins in. Neither widget is
  /// owned; both must outlive the display.
  ProgressDisplay(QWidget* window, QStatusBar* status_bar, bool show_progress,
                  const ProgressWindowPlacement& placement);
  ~ProgressDisplay();
  ProgressDisplay(const ProgressDisplay&) = delete;
  ProgressDisplay& operator=(const ProgressDisplay&) = delete;

  /// Locks the window when `lock`, shows the busy cursor, `text` and an empty bar. `steps` > 0
  /// becomes the bar's maximum; 0 keeps the maximum it had.
  void StatusStart(const QString& text, int steps, bool lock);
  /// Advances the bar by one step; a tick beyond the maximum leaves it full.
  void StatusTick();
  /// Unlocks the window, clears the text, hides the bar and restores the cursor.
  void StatusEnd();
  /// Disables the window (with all its controls) when `lock`, enables it otherwise (unless a
  /// lock is held).
  void LockWindowControls(bool lock);
  /// While `hold` (a run from the window), the window stays locked whatever the status calls
  /// ask; releasing the hold leaves it as the last of them asked.
  void HoldLock(bool hold);

  QLabel* status_label() const { return label_; }
  QProgressBar* bar() const { return bar_; }
  /// The separate progress window; null until a run with `show_progress` has started.
  QWidget* progress_window() const { return progress_window_.get(); }
  QProgressBar* progress_window_bar() const { return progress_window_bar_; }

 private:
  void EnsureProgressWindow();
  // The progress window shows progress by its own width, one step behind the main bar.
  void SizeProgressWindow();

  QWidget* window_;
  QLabel* label_;
  QProgressBar* bar_;
  bool show_progress_;
  ProgressWindowPlacement placement_;
  std::unique_ptr<QWidget> progress_window_;
  QProgressBar* progress_window_bar_ = nullptr;
  int progress_full_width_ = 0;
  bool is_lock_asked_ = false;
  bool is_lock_held_ = false;
};

}  // namespace orvano::ui

#endif  // ORVANO_UI_PROGRESS_DISPLAY_H_
