#include "ui/about_box.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <QTimer>
#include <cstdlib>

namespace orvano::ui {
namespace {

TEST(AboutBoxTest, ShowsTheVersionAndLicenceAndClosesByItself) {
  AboutBox box("2.2.11");
  EXPECT_EQ("Version 2.2.11", box.findChild<QLabel*>("LabelVersion")->text().toStdString());
  const QLabel* licence = box.findChild<QLabel*>("LabelLicence");
  ASSERT_NE(nullptr, licence);
  EXPECT_TRUE(licence->text().contains("Apache License, Version 2.0"))
      << licence->text().toStdString();
  box.timer()->setInterval(10);  // the real box waits three seconds
  box.show();
  if (const char* folder = std::getenv("ORVANO_SCREENSHOT_DIR")) {
    box.grab().save(QString(folder) + "/about_box.png");
  }
  EXPECT_TRUE(box.isVisible());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !box.isVisible(); }, 2000));
  EXPECT_EQ(QDialog::Accepted, box.result());
}

}  // namespace
}  // namespace orvano::ui
