#include "ui/controls/ColourButton.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "ui/controls/FocusMark.h"

namespace quintara::ui {
namespace {

// The caption font is asked for by cell height and average character width. The captions are
// single glyphs ("-", "x") on 40 x 35 buttons: a 16 pixel cell left them about 6 pixels across,
// too small to see at a glance; at 40 pixels, bold, they are about 11 and 15 pixels.
constexpr int kCellHeight = 40;
constexpr int kAverageWidth = 20;

}  // namespace

ColourButton::ColourButton(QWidget* parent) : QAbstractButton(parent) {
  // Moves over the button must arrive without a button held, to take the mouse.
  setMouseTracking(true);
}

void ColourButton::SetTextColour(const QColor& colour) {
  textColour_ = colour;
  update();
}

QFont ColourButton::CaptionFont() {
  // Every colour button shares the one caption font; fitting it loads faces, so it is done once.
  static const QFont font = [] {
    QFont fitted(QStringLiteral("Arial"));
    fitted.setWeight(QFont::Bold);
    fitted.setPixelSize(kCellHeight);
    // Captions are the skin's Latin words: no fallback faces to look up.
    fitted.setStyleStrategy(QFont::NoFontMerging);
    // Qt sizes a font by its em, the caption by its whole cell; shrink until the cell fits.
    const int cell = QFontMetrics(fitted).height();
    if (cell > kCellHeight) {
      fitted.setPixelSize(std::max(1, kCellHeight * kCellHeight / cell));
    }
    const int average = QFontMetrics(fitted).averageCharWidth();
    if (average > 0) {
      fitted.setStretch(std::clamp(kAverageWidth * 100 / average, 1, 4000));
    }
    return fitted;
  }();
  return font;
}

QPoint ColourButton::CaptionOrigin(QSize client, QSize text) {
  return {client.width() / 2 - text.width() / 2, client.height() / 2 - text.height() / 2};
}

void ColourButton::SetStateColour(int state, const QColor& colour) {
  stateColours_.at(static_cast<std::size_t>(state)) = colour;
  update();
}

void ColourButton::paintEvent(QPaintEvent*) {
  // Painting only reads the state: a repaint while disabled must not outlive the disabling.
  const QColor& colour = stateColours_[static_cast<std::size_t>(DrawState())];
  QPainter painter(this);
  painter.setPen(QPen(colour, 1));
  painter.setBrush(colour);
  // A 3 x 3 corner ellipse; the outline stays inside the client rectangle.
  painter.drawRoundedRect(rect().adjusted(0, 0, -1, -1), 1.5, 1.5);

  const QString caption = text();
  painter.setFont(CaptionFont());
  const QFontMetrics metrics = painter.fontMetrics();
  const QPoint at =
      CaptionOrigin(size(), QSize(metrics.horizontalAdvance(caption), metrics.height()));
  painter.setPen(isEnabled() ? textColour_ : skin::DisabledInk);
  painter.drawText(at.x(), at.y() + metrics.ascent(), caption);
  DrawFocusMark(painter, *this);
}

void ColourButton::mouseMoveEvent(QMouseEvent* event) {
  const bool inside = rect().contains(event->position().toPoint());
  if (!HoldsMouse()) {
    // Outside without the hold only happens while a press drags; that is not a hover.
    if (inside) {
      grabMouse();
      SetDrawState(Hovered);
    }
  } else if (!inside) {
    ReleaseHold();
  }
  QAbstractButton::mouseMoveEvent(event);
}

void ColourButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    if (!rect().contains(event->position().toPoint())) {
      // Held mouse, press elsewhere: let go rather than swallow someone else's click.
      ReleaseHold();
      event->ignore();
      return;
    }
    SetDrawState(Pressed);
  }
  QAbstractButton::mousePressEvent(event);
}

void ColourButton::mouseReleaseEvent(QMouseEvent* event) {
  // A release outside ends a press that was dragged away; only one over the button hovers.
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    SetDrawState(Hovered);
  }
  QAbstractButton::mouseReleaseEvent(event);
}

void ColourButton::focusInEvent(QFocusEvent* event) {
  QAbstractButton::focusInEvent(event);
  update();
}

void ColourButton::focusOutEvent(QFocusEvent* event) {
  QAbstractButton::focusOutEvent(event);
  update();
}

void ColourButton::hideEvent(QHideEvent* event) {
  // A hidden or minimised window must not keep the whole application's mouse.
  ReleaseHold();
  QAbstractButton::hideEvent(event);
}

void ColourButton::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
    ReleaseHold();
  }
  if (event->type() == QEvent::EnabledChange && !isEnabled()) {
    // Whatever the mouse was doing ends here; enabled again, the button starts at rest.
    ReleaseHold();
    drawState_ = Normal;
  }
  QAbstractButton::changeEvent(event);
}

void ColourButton::SetDrawState(int state) {
  drawState_ = state;
  update();
}

bool ColourButton::HoldsMouse() const {
  return QWidget::mouseGrabber() == this;
}

void ColourButton::ReleaseHold() {
  if (HoldsMouse()) {
    releaseMouse();
    SetDrawState(Normal);
  }
}

}  // namespace quintara::ui
