#include <gtest/gtest.h>

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include "support/GuiApp.h"
#include "support/Patience.h"
#include "ui/controls/ColourButton.h"
#include "ui/controls/LimitedEdit.h"
#include "ui/controls/ShadeButton.h"

namespace quintara::ui {
namespace {

const QColor kParent(10, 200, 30);

// A shown top-level window painted in a known colour, so transparency shows as that colour.
struct Host {
  QApplication& app = test::GuiApp();
  QWidget window;
  Host() {
    window.resize(100, 80);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, kParent);
    window.setPalette(palette);
    window.setAutoFillBackground(true);
  }
  void Show() {
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window, test::kPatienceMs));
  }
  QPoint At(const QWidget& w, QPoint p) const { return w.mapTo(&window, p); }
  QImage Shot(const QWidget& w) { return window.grab(w.geometry()).toImage(); }
  QWindow* Handle() { return window.windowHandle(); }
};

QPixmap Filled(int size, QColor colour, std::initializer_list<std::pair<QPoint, QColor>> dots) {
  QImage image(size, size, QImage::Format_RGB32);
  image.fill(colour);
  for (const auto& [at, dot] : dots) {
    image.setPixelColor(at, dot);
  }
  return QPixmap::fromImage(image);
}

TEST(BitmapButton, PressShiftsTheImageAndReleaseClicksOnceWithBlackTransparent) {
  Host host;
  ShadeButton button(&host.window);
  button.setGeometry(20, 20, 10, 10);
  // Centred in 10 x 10, the 4 x 4 image covers (3,3)-(6,6).
  ASSERT_EQ(button.SetButtonBitmap(Filled(4, Qt::red, {{{0, 0}, Qt::blue}, {{2, 2}, Qt::black}})),
            0);
  button.SetFlatBorder(false);
  button.SetParentBackground();
  // Without the parent background a shade button still paints no background of its own.
  ShadeButton plain(&host.window);
  plain.setGeometry(40, 20, 10, 10);
  plain.SetButtonBitmap(Filled(4, Qt::red, {}));
  plain.SetFlatBorder(false);
  host.Show();
  QSignalSpy clicks(&button, &QAbstractButton::clicked);

  QImage shot = host.Shot(button);
  EXPECT_EQ(shot.pixelColor(3, 3), QColor(Qt::blue));
  EXPECT_EQ(shot.pixelColor(4, 4), QColor(Qt::red));
  EXPECT_EQ(shot.pixelColor(5, 5), kParent);  // black is transparent
  EXPECT_EQ(shot.pixelColor(0, 0), kParent);  // nothing painted around the image
  EXPECT_EQ(host.Shot(plain).pixelColor(0, 0), kParent);
  EXPECT_EQ(host.Shot(plain).pixelColor(4, 4), QColor(Qt::red));

  QTest::mousePress(host.Handle(), Qt::LeftButton, {}, host.At(button, {5, 5}));
  EXPECT_TRUE(button.IsPressedLook());
  shot = host.Shot(button);
  EXPECT_EQ(shot.pixelColor(4, 4), QColor(Qt::blue));
  EXPECT_EQ(shot.pixelColor(3, 3), kParent);
  EXPECT_EQ(clicks.count(), 0);

  QTest::mouseRelease(host.Handle(), Qt::LeftButton, {}, host.At(button, {5, 5}));
  EXPECT_EQ(clicks.count(), 1);
  EXPECT_EQ(host.Shot(button).pixelColor(3, 3), QColor(Qt::blue));
}

TEST(BitmapButton, LargerImageShowsItsCentreAndDoubleClickClicksTwice) {
  Host host;
  ShadeButton button(&host.window);
  button.setGeometry(20, 20, 10, 10);
  button.SetButtonBitmap(Filled(30, Qt::red, {{{10, 10}, Qt::blue}, {{19, 19}, Qt::yellow}}));
  host.Show();

  const QImage shot = host.Shot(button);
  EXPECT_EQ(shot.pixelColor(0, 0), QColor(Qt::blue));
  EXPECT_EQ(shot.pixelColor(9, 9), QColor(Qt::yellow));

  QSignalSpy clicks(&button, &QAbstractButton::clicked);
  QTest::mouseDClick(host.Handle(), Qt::LeftButton, {}, host.At(button, {5, 5}));
  EXPECT_EQ(clicks.count(), 2);

  EXPECT_EQ(button.SetButtonBitmap(QPixmap()), 0);
  EXPECT_TRUE(button.Bitmap().isNull());
}

// Tab shows where the focus went: a green frame on the button that holds it, on a bitmap
// button and a colour button alike; a click leaves no frame.
TEST(FocusMark, TheKeyboardsFocusIsFramedInGreen) {
  Host host;
  ShadeButton bitmap(&host.window);
  bitmap.setGeometry(10, 10, 30, 20);
  bitmap.SetButtonBitmap(Filled(30, Qt::red, {}));
  ColourButton colour(&host.window);
  colour.setGeometry(50, 10, 30, 20);
  host.Show();
  const auto framed = [&host](QWidget& button) {
    return host.Shot(button).pixelColor(1, button.height() / 2) == skin::Green;
  };
  QTest::mouseClick(&bitmap, Qt::LeftButton);
  ASSERT_TRUE(bitmap.hasFocus());
  EXPECT_FALSE(framed(bitmap)) << "a click";
  QTest::keyClick(&bitmap, Qt::Key_Tab);
  ASSERT_TRUE(colour.hasFocus());
  EXPECT_TRUE(framed(colour));
  EXPECT_FALSE(framed(bitmap));
  QTest::keyClick(&colour, Qt::Key_Tab);
  ASSERT_TRUE(bitmap.hasFocus());
  EXPECT_TRUE(framed(bitmap));
}

TEST(ColourButton, HoldsTheMouseWhileHoveredAndCentresItsCaption) {
  Host host;
  ColourButton button(&host.window);
  button.setGeometry(10, 10, 41, 31);
  button.setText(QStringLiteral("x"));
  button.SetTextColour(QColor(110, 187, 105));
  host.Show();
  QSignalSpy clicks(&button, &QAbstractButton::clicked);

  QTest::mouseMove(host.Handle(), host.At(button, {20, 15}));
  EXPECT_EQ(button.DrawState(), ColourButton::Hovered);
  EXPECT_EQ(QWidget::mouseGrabber(), &button);
  QTest::mousePress(host.Handle(), Qt::LeftButton, {}, host.At(button, {20, 15}));
  EXPECT_EQ(button.DrawState(), ColourButton::Pressed);
  QTest::mouseRelease(host.Handle(), Qt::LeftButton, {}, host.At(button, {20, 15}));
  EXPECT_EQ(button.DrawState(), ColourButton::Hovered);
  EXPECT_EQ(clicks.count(), 1);
  QTest::mouseMove(host.Handle(), host.At(button, {60, 15}));
  EXPECT_EQ(button.DrawState(), ColourButton::Normal);
  EXPECT_EQ(QWidget::mouseGrabber(), nullptr);

  // Halves truncate separately: 12 - 3 and 8 - 4.
  EXPECT_EQ(ColourButton::CaptionOrigin({25, 17}, {7, 9}), QPoint(9, 4));

  // The caption's ink sits where the rule puts the text cell.
  const QFontMetrics metrics(ColourButton::CaptionFont());
  const QPoint at = ColourButton::CaptionOrigin(
      button.size(), {metrics.horizontalAdvance(QStringLiteral("x")), metrics.height()});
  const QRect ink = metrics.tightBoundingRect(QStringLiteral("x"));
  const QImage shot = button.grab().toImage();
  const QColor face(46, 49, 54);
  int left = shot.width();
  int top = shot.height();
  for (int y = 0; y < shot.height(); ++y) {
    for (int x = 0; x < shot.width(); ++x) {
      const QColor c = shot.pixelColor(x, y);
      if (c.red() > face.red() + 20 && c.green() > face.green() + 40) {
        left = std::min(left, x);
        top = std::min(top, y);
      }
    }
  }
  EXPECT_NEAR(left, at.x() + ink.left(), 1);
  EXPECT_NEAR(top, at.y() + metrics.ascent() + ink.top(), 1);
  EXPECT_EQ(shot.pixelColor(1, 15), face);
}

TEST(ColourButton, RepaintWhileDisabledLeavesNoStateBehind) {
  Host host;
  ColourButton button(&host.window);
  button.setGeometry(10, 10, 40, 35);
  button.SetStateColour(ColourButton::Disabled, Qt::red);
  host.Show();
  const auto face = [&button] { return button.grab().toImage().pixelColor(20, 5); };

  QTest::mouseMove(host.Handle(), host.At(button, {20, 15}));
  ASSERT_EQ(button.DrawState(), ColourButton::Hovered);
  button.setEnabled(false);
  EXPECT_EQ(button.DrawState(), ColourButton::Disabled);
  EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
  EXPECT_EQ(face(), QColor(Qt::red));

  button.setEnabled(true);
  EXPECT_EQ(button.DrawState(), ColourButton::Normal);
  EXPECT_EQ(face(), QColor(46, 49, 54));
}

// The box around the pixels of the caption's green.
QRect GreenInk(const QImage& shot) {
  const QColor green(110, 187, 105);
  QRect ink;
  for (int y = 0; y < shot.height(); ++y) {
    for (int x = 0; x < shot.width(); ++x) {
      const QColor c = shot.pixelColor(x, y);
      if (std::abs(c.red() - green.red()) + std::abs(c.green() - green.green()) +
              std::abs(c.blue() - green.blue()) <
          40) {
        ink |= QRect(x, y, 1, 1);
      }
    }
  }
  return ink;
}

TEST(ColourButton, TitleBarGlyphsAreLargeEnoughToSeeAndDimWhenDisabled) {
  Host host;
  // The minimise and close buttons of the title bar, at their 96-dpi size.
  for (const auto& [caption, least] :
       {std::pair{"x", QSize(14, 14)}, std::pair{"-", QSize(8, 3)}}) {
    SCOPED_TRACE(caption);
    ColourButton button(&host.window);
    button.setGeometry(0, 0, 40, 35);
    button.setText(QString::fromLatin1(caption));
    button.SetTextColour(QColor(110, 187, 105));
    const QRect ink = GreenInk(button.grab().toImage());
    EXPECT_GE(ink.width(), least.width());
    EXPECT_GE(ink.height(), least.height());
    EXPECT_NEAR(ink.center().x(), 20, 3);
    EXPECT_NEAR(ink.center().y(), 17, 4);
    EXPECT_EQ(button.size(), QSize(40, 35));

    button.setEnabled(false);
    EXPECT_TRUE(GreenInk(button.grab().toImage()).isEmpty());
  }
}

TEST(LimitedEdit, DropsBackslashAndHighCharactersWhenTypedOnly) {
  test::GuiApp();
  LimitedEdit edit;
  QTest::keyClicks(&edit, QStringLiteral("AB\\C"));
  EXPECT_EQ(edit.text(), QStringLiteral("ABC"));

  QKeyEvent accented(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QStringLiteral("é"));
  QApplication::sendEvent(&edit, &accented);
  QInputMethodEvent composed;
  composed.setCommitString(QStringLiteral("é\\D"));
  QApplication::sendEvent(&edit, &composed);
  EXPECT_EQ(edit.text(), QStringLiteral("ABCD"));

  QTest::keyClick(&edit, Qt::Key_Backspace);
  EXPECT_EQ(edit.text(), QStringLiteral("ABC"));

  edit.insert(QStringLiteral("\\é"));
  EXPECT_EQ(edit.text(), QStringLiteral("ABC\\é"));
}

}  // namespace
}  // namespace quintara::ui
