#include "ui/qt_host.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QString>
#include <cstdio>

#include "ui/progress_display.h"

namespace orvano::ui {
namespace {

constexpr qint64 kPumpIntervalMs = 50;

}  // namespace

QString DialogText(std::string_view text) {
  std::string plain;
  plain.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    plain += text[i];
    if (text[i] == '\n' && i + 1 < text.size() && text[i + 1] == '\r') ++i;
  }
  return QString::fromStdString(plain);
}

std::unique_ptr<QMessageBox> MakeMessageBox(const DialogRequest& request, QWidget* parent) {
  auto box = std::make_unique<QMessageBox>(parent);
  box->setWindowTitle(QString::fromStdString(request.title));
  box->setText(QString::fromStdString(request.text));
  QMessageBox::StandardButton yes = QMessageBox::Ok;
  switch (request.kind) {
    case DialogKind::kCritical:
      box->setIcon(QMessageBox::Critical);
      box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      yes = QMessageBox::Yes;
      break;
    case DialogKind::kQuestion:
      box->setIcon(QMessageBox::Question);
      box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      yes = QMessageBox::Yes;
      break;
    case DialogKind::kWarning:
      box->setIcon(QMessageBox::Warning);
      box->setStandardButtons(QMessageBox::Ok);
      break;
    case DialogKind::kPlain:
      box->setStandardButtons(QMessageBox::Ok);
      break;
    case DialogKind::kOkCancel:
      box->setIcon(QMessageBox::Question);
      box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
  }
  box->setDefaultButton(yes);
  return box;
}

DialogAnswerer MessageBoxAnswerer() {
  return [](const DialogRequest& request) {
    std::unique_ptr<QMessageBox> box = MakeMessageBox(request, QApplication::activeWindow());
    return box->exec() == box->standardButton(box->defaultButton());
  };
}

QtHost::QtHost(DialogAnswerer answerer) : answerer_(std::move(answerer)) {}

bool QtHost::Ask(DialogKind kind, std::string_view title, std::string_view text) {
  DialogRequest request{kind, std::string(title), DialogText(text).toStdString()};
  bool answer = answerer_(request);
  since_pump_.invalidate();
  return answer;
}

bool QtHost::ShowError(std::string_view title, std::string_view text) {
  return Ask(DialogKind::kCritical, title, text);
}

bool QtHost::AskYesNo(std::string_view text) { return Ask(DialogKind::kQuestion, kAppTitle, text); }

void QtHost::ShowMessage(std::string_view text) { Ask(DialogKind::kPlain, kAppTitle, text); }

void QtHost::ShowWarning(std::string_view text) { Ask(DialogKind::kWarning, kAppTitle, text); }

bool QtHost::AskOkCancel(std::string_view title, std::string_view text) {
  return Ask(DialogKind::kOkCancel, title, text);
}

void QtHost::PumpEvents() {
  if (since_pump_.isValid() && since_pump_.elapsed() < kPumpIntervalMs) return;
  PumpEventsNow();
}

void QtHost::PumpEventsNow() {
  QCoreApplication::processEvents();
  since_pump_.start();
}

void QtHost::StatusStart(std::string_view text, int maximum, bool lock) {
  if (display_ == nullptr) return;
  display_->StatusStart(QString::fromStdString(std::string(text)), maximum, lock);
  PumpEventsNow();  // the text and the bar appear before the work starts
}

void QtHost::StatusTick(std::string_view) {
  if (display_ != nullptr) display_->StatusTick();
}

void QtHost::StatusEnd() {
  if (display_ != nullptr) display_->StatusEnd();
}

void QtHost::WriteDiagnostic(std::string_view text) {
  std::string line = DialogText(text).toStdString();
  std::fprintf(stderr, "orvano-html: %s\n", line.c_str());
}

}  // namespace orvano::ui
