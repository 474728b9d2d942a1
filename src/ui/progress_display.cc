#include "ui/progress_display.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QWidget>
#include <algorithm>

#include "session/command_line.h"
#include "support/number_text.h"

namespace orvano::ui {
namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kProgressWindowWidth = 320;  // pixels: the full width the window grows to
constexpr int kProgressWindowHeight = 24;
// The bar overhangs the window by a few pixels on every side, so its own frame stays hidden.
constexpr int kOverhang = 2;

std::optional<int> PixelsOf(const std::vector<std::string>& args, const char* key) {
  std::optional<double> twips = ParseNumber(CommandLineValue(args, key));
  if (!twips || *twips < -1e7 || *twips > 1e7) return std::nullopt;
  return static_cast<int>(ToInt32(*twips / kTwipsPerPixel));
}

}  // namespace

ProgressWindowPlacement PlacementFromCommandLine(const std::vector<std::string>& args) {
  return {PixelsOf(args, "pgleft"), PixelsOf(args, "pgtop"), PixelsOf(args, "pgheight")};
}

ProgressDisplay::ProgressDisplay(QWidget* window, QStatusBar* status_bar, bool show_progress,
                                 const ProgressWindowPlacement& placement)
    : window_(window),
      label_(new QLabel(status_bar)),
      bar_(new QProgressBar(status_bar)),
      show_progress_(show_progress),
      placement_(placement) {
  label_->setObjectName("StatusText");
  bar_->setObjectName("ProgressBar");
  bar_->setTextVisible(false);
  bar_->setRange(0, 100);
  bar_->setValue(0);
  bar_->hide();
  status_bar->addWidget(label_);
  status_bar->addWidget(bar_, 1);
}

ProgressDisplay::~ProgressDisplay() = default;

void ProgressDisplay::LockWindowControls(bool lock) {
  is_lock_asked_ = lock;
  window_->setEnabled(!(is_lock_asked_ || is_lock_held_));
}

void ProgressDisplay::HoldLock(bool hold) {
  is_lock_held_ = hold;
  LockWindowControls(is_lock_asked_);
}

void ProgressDisplay::StatusStart(const QString& text, int steps, bool lock) {
  LockWindowControls(lock);
  window_->setCursor(Qt::WaitCursor);
  label_->setText(text);
  bar_->show();
  bar_->setValue(0);
  if (steps > 0) bar_->setMaximum(steps);
  if (show_progress_) {
    EnsureProgressWindow();
    progress_window_->show();
    progress_window_bar_->hide();
    progress_window_bar_->setMaximum(std::max(steps, 1));
    progress_window_bar_->setValue(0);
    SizeProgressWindow();
    progress_window_bar_->show();
  }
}

void ProgressDisplay::StatusTick() {
  bar_->setValue(std::min(bar_->value() + 1, bar_->maximum()));
  bar_->show();
  if (show_progress_ && progress_window_) {
    SizeProgressWindow();
    progress_window_bar_->setValue(
        std::min(progress_window_bar_->value() + 1, progress_window_bar_->maximum()));
    progress_window_bar_->show();
  }
}

void ProgressDisplay::StatusEnd() {
  LockWindowControls(false);
  label_->clear();
  bar_->hide();
  window_->unsetCursor();
  if (show_progress_ && progress_window_) {
    SizeProgressWindow();
    progress_window_bar_->hide();
  }
}

void ProgressDisplay::EnsureProgressWindow() {
  if (progress_window_) return;
  progress_window_ = std::make_unique<QWidget>(
      nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  progress_window_->setObjectName("frmProgress");
  progress_window_->setWindowTitle(QCoreApplication::applicationName());
  int height = std::max(placement_.height.value_or(kProgressWindowHeight), 1);
  progress_window_->move(placement_.left.value_or(progress_window_->x()),
                         placement_.top.value_or(progress_window_->y()));
  progress_window_->resize(kProgressWindowWidth, height);
  progress_full_width_ = kProgressWindowWidth + 2 * kOverhang;
  progress_window_bar_ = new QProgressBar(progress_window_.get());
  progress_window_bar_->setTextVisible(false);
  progress_window_bar_->setGeometry(-kOverhang, -kOverhang, progress_full_width_,
                                    height + 2 * kOverhang);
}

void ProgressDisplay::SizeProgressWindow() {
  const int maximum = std::max(progress_window_bar_->maximum(), 1);
  const int value = std::min(progress_window_bar_->value(), maximum);
  // A window cannot be 0 pixels wide; one pixel stands for "nothing done yet".
  int width = std::max(progress_full_width_ * value / maximum, 1);
  progress_window_->resize(width, progress_window_->height());
}

}  // namespace orvano::ui
