#include "ui/about_box.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

#include "session/program_info.h"
#include "ui/qt_host.h"

namespace orvano::ui {
namespace {

constexpr char kDescription[] =
    "Generates the HTML interface allocation description of an Orvano visualisation project "
    "from its text database, description file, module collection workbook and HTML templates.";
constexpr char kNotice[] = "Copyright \u00a9 Brenk.";

QLabel* AddLabel(QWidget* parent, const QString& name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

}  // namespace

std::string VersionText(const std::string& version) { return "Version " + version; }

AboutBox::AboutBox(const std::string& version, QWidget* parent)
    : QDialog(parent), timer_(new QTimer(this)) {
  setObjectName("frmAbout");
  setWindowTitle(kAppTitle);

  auto* icon = new QLabel(this);
  icon->setObjectName("picIcon");
  icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48));
  icon->setAlignment(Qt::AlignTop);

  QLabel* title = AddLabel(this, "LabelTitle", kAppTitle);
  QFont bigger = title->font();
  bigger.setBold(true);
  bigger.setPointSizeF(bigger.pointSizeF() * 1.3);
  title->setFont(bigger);
  QLabel* version_label =
      AddLabel(this, "LabelVersion", QString::fromStdString(VersionText(version)));
  QLabel* description = AddLabel(this, "LabelDescription", kDescription);
  QLabel* notice = AddLabel(this, "LabelCopyright", kNotice);
  QLabel* licence = AddLabel(this, "LabelLicence", kLicenceNotice);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("CommandOK");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QGridLayout(this);
  layout->setHorizontalSpacing(16);
  layout->addWidget(icon, 0, 0, 5, 1);
  layout->addWidget(title, 0, 1);
  layout->addWidget(version_label, 1, 1);
  layout->addWidget(description, 2, 1);
  layout->addWidget(notice, 3, 1);
  layout->addWidget(licence, 4, 1);
  layout->setRowStretch(5, 1);  // extra height goes below the texts, not between them
  layout->addWidget(buttons, 6, 0, 1, 2);
  layout->setColumnStretch(1, 1);
  setMinimumWidth(480);

  timer_->setSingleShot(true);
  timer_->setInterval(kAboutBoxMilliseconds);
  connect(timer_, &QTimer::timeout, this, &QDialog::accept);
}

void AboutBox::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  timer_->start();
}

}  // namespace orvano::ui
