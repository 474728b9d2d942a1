// AboutBox: the program's name, version, description, legal notice and licence. Shown for three
// seconds as the splash at start-up, and modally from the main window's Info menu; OK or the
// timer closes it.

#ifndef ORVANO_UI_ABOUT_BOX_H_
#define ORVANO_UI_ABOUT_BOX_H_

#include <QDialog>
#include <string>

class QTimer;

namespace orvano::ui {

/// How long the box stays open unless OK is pressed first.
inline constexpr int kAboutBoxMilliseconds = 3000;

/// "Version " followed by `version` ("major.minor.patch").
std::string VersionText(const std::string& version);

class AboutBox final : public QDialog {
 public:
  /// A box for program version `version`; its timer starts when it is shown.
  explicit AboutBox(const std::string& version, QWidget* parent = nullptr);

  QTimer* timer() const { return timer_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QTimer* timer_;
};

}  // namespace orvano::ui

#endif  // ORVANO_UI_ABOUT_BOX_H_
