// The about box: what it shows, how it closes, and where it opens from.
#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "SkinLooks.h"
#include "support/Patience.h"
#include "support/TestLink.h"
#include "ui/app/AboutDialog.h"
#include "ui/app/MainWindow.h"
#include "ui/skin/Palette.h"

namespace quintara::ui {
namespace {

TEST(AboutDialog, ShowsIconTitleVersionAndOkOnTheSkinAndClosesWithEnterOrEscape) {
  const test::Skinned skinned;
  AboutDialog about;
  EXPECT_FALSE(about.windowIcon().isNull());
  QStringList texts;
  bool picture = false;
  for (const QLabel* label : about.findChildren<QLabel*>()) {
    texts << label->text();
    picture = picture || !label->pixmap().isNull();
  }
  EXPECT_TRUE(texts.contains("Quintara")) << texts.join(", ").toStdString();
  EXPECT_TRUE(texts.contains("Ver " QUINTARA_PROJECT_VERSION)) << texts.join(", ").toStdString();
  EXPECT_TRUE(picture) << "no icon";
  const QList<QPushButton*> buttons = about.findChildren<QPushButton*>();
  ASSERT_EQ(buttons.size(), 1);
  EXPECT_EQ(buttons[0]->text(), "OK");

  about.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&about, test::kPatienceMs));
  EXPECT_GE(about.width(), 150);
  EXPECT_GE(about.height(), 90);
  EXPECT_EQ(test::Name(test::Dominant(about.grab().toImage())), test::Name(skin::Ground));
  about.hide();

  const std::pair<Qt::Key, int> closings[] = {{Qt::Key_Return, QDialog::Accepted},
                                              {Qt::Key_Enter, QDialog::Accepted},
                                              {Qt::Key_Escape, QDialog::Rejected}};
  for (const auto& [key, result] : closings) {
    SCOPED_TRACE(key);
    test::WhenShown([] { return QApplication::activeModalWidget(); },
                    [key = key](QWidget& shown) { QTest::keyClick(&shown, key); });
    EXPECT_EQ(about.exec(), result);
    EXPECT_FALSE(about.isVisible());
  }
}

TEST(AboutDialog, OpensFromTheMainWindowsContextMenu) {
  const test::Skinned skinned;
  test::RecordingPrompter prompter;
  MainWindow window({}, prompter);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, test::kPatienceMs));
  bool opened = false;
  test::WhenShown([] { return QApplication::activePopupWidget(); },
                  [&opened](QWidget& menu) {
                    EXPECT_EQ(qobject_cast<QMenu*>(&menu)->actions().value(0)->text(),
                              QString::fromUtf8(kAboutEntryText));
                    test::WhenShown([] { return QApplication::activeModalWidget(); },
                                    [&opened](QWidget& box) {
                                      opened = qobject_cast<AboutDialog*>(&box) != nullptr;
                                      box.close();
                                    });
                    QTest::keyClick(&menu, Qt::Key_Down);
                    QTest::keyClick(&menu, Qt::Key_Return);
                  });
  const QPoint at(600, 400);
  QContextMenuEvent event(QContextMenuEvent::Mouse, at, window.mapToGlobal(at));
  QApplication::sendEvent(&window, &event);
  EXPECT_TRUE(opened);
}

}  // namespace
}  // namespace quintara::ui
