#include "ui/controls/BitmapButton.h"

#include <QIcon>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include "ui/controls/FocusMark.h"
#include "ui/skin/Skin.h"

namespace quintara::ui {
namespace {

// Gap between the image and the edge, and between the image and the caption.
constexpr int kImageMargin = 3;

// The skin marks transparency with exact black, so the mask is made once here rather than at
// every paint.
QPixmap WithBlackTransparent(const QPixmap& source) {
  QImage image = source.toImage().convertToFormat(QImage::Format_ARGB32);
  if (image.isNull()) {
    return {};
  }
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      if ((line[x] & RGB_MASK) == 0) {
        line[x] = 0;
      }
    }
  }
  return QPixmap::fromImage(std::move(image));
}

void Draw3dRect(QPainter& painter, const QRect& r, const QColor& topLeft,
                const QColor& bottomRight) {
  painter.fillRect(r.x(), r.y(), r.width() - 1, 1, topLeft);
  painter.fillRect(r.x(), r.y(), 1, r.height() - 1, topLeft);
  painter.fillRect(r.right(), r.y(), 1, r.height(), bottomRight);
  painter.fillRect(r.x(), r.bottom(), r.width(), 1, bottomRight);
}

}  // namespace

BitmapButton::BitmapButton(QWidget* parent) : QAbstractButton(parent) {
  // Hover follows every move, not only drags.
  setMouseTracking(true);
}

int BitmapButton::SetButtonBitmap(const QPixmap& normal, const QPixmap& second) {
  shownLook_.reset();
  bitmapIn_ = {};
  bitmapOut_ = {};
  if (!normal.isNull()) {
    QPixmap in = WithBlackTransparent(normal);
    QPixmap out = second.isNull() ? QPixmap() : WithBlackTransparent(second);
    if (in.isNull() || (!second.isNull() && out.isNull())) {
      update();
      return 2;
    }
    bitmapIn_ = std::move(in);
    bitmapOut_ = std::move(out);
  }
  update();
  return 0;
}

int BitmapButton::SetButtonBitmapById(int id) {
  return SetButtonBitmap(Skin::Bitmap(id));
}

void BitmapButton::SetBitmapIds(int normal, int active) {
  normalId_ = normal;
  activeId_ = active;
  // Each look is made once, the active one when first shown: a page flips many buttons whenever
  // the device reports a change, and many are never lit at all.
  normalLook_ = WithBlackTransparent(Skin::Bitmap(normal));
  activeLook_ = QPixmap();
  shownLook_.reset();
  ShowActive(false);
}

void BitmapButton::ShowActive(bool active) {
  if (shownLook_ == active) {
    return;
  }
  shownLook_ = active;
  const bool lit = active && activeId_ != 0;
  if (lit && activeLook_.isNull()) {
    activeLook_ = WithBlackTransparent(Skin::Bitmap(activeId_));
  }
  bitmapIn_ = lit ? activeLook_ : normalLook_;
  bitmapOut_ = {};
  update();
}

void BitmapButton::SetParentBackground() {
  // Nothing to copy: the widget never fills its background, so skipping our own background
  // painter is enough for the parent's pixels to show.
  parentBackground_ = true;
  update();
}

void BitmapButton::SetFlatBorder(bool flatBorder) {
  flatBorder_ = flatBorder;
  update();
}

void BitmapButton::DrawButtonBackground(QPainter& painter, const QRect& rect) {
  painter.fillRect(rect, palette().color(QPalette::Button));
}

void BitmapButton::DrawButtonBorder(QPainter& painter, const QRect& rect) {
  Draw3dRect(painter, rect, palette().color(QPalette::Dark), palette().color(QPalette::Light));
}

void BitmapButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect area = rect();
  const bool pressed = isDown();

  if (!parentBackground_) {
    DrawButtonBackground(painter, area);
  }
  if (flatBorder_) {
    if (pressed) {
      DrawButtonBorder(painter, area);
    } else if (hovered_) {
      Draw3dRect(painter, area, palette().color(QPalette::Light), palette().color(QPalette::Dark));
    }
  }

  const QString caption = text();
  QRect captionArea = area;
  if (!bitmapIn_.isNull()) {
    const QSize size = bitmapIn_.size();
    // A larger image is cut evenly at both edges.
    QPoint at((area.width() - size.width()) / 2, (area.height() - size.height()) / 2);
    if (!caption.isEmpty()) {
      at.setX(kImageMargin);
      captionArea.setLeft(at.x() + size.width() + kImageMargin);
    }
    if (pressed) {
      at += QPoint(1, 1);
    }
    const bool useSecond = !bitmapOut_.isNull() && !pressed && !hovered_;
    DrawImage(painter, useSecond ? bitmapOut_ : bitmapIn_, at);
  }

  if (!caption.isEmpty()) {
    if (pressed) {
      captionArea.translate(1, 1);
    }
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;
    if (!isEnabled()) {
      painter.setPen(palette().color(QPalette::Light));
      painter.drawText(captionArea.translated(1, 1), flags, caption);
      painter.setPen(palette().color(QPalette::Dark));
    } else {
      painter.setPen(palette().color(QPalette::ButtonText));
    }
    painter.drawText(captionArea, flags, caption);
  }
  DrawFocusMark(painter, *this);
}

void BitmapButton::DrawImage(QPainter& painter, const QPixmap& image, QPoint at) {
  if (isEnabled()) {
    painter.drawPixmap(at, image);
    return;
  }
  QStyleOption option;
  option.initFrom(this);
  painter.drawPixmap(at, style()->generatedIconPixmap(QIcon::Disabled, image, &option));
}

void BitmapButton::mouseMoveEvent(QMouseEvent* event) {
  // A drag that started elsewhere does not light the button up.
  const bool dragging = (event->buttons() & Qt::LeftButton) != 0;
  if (!(dragging && !hovered_)) {
    SetHovered(rect().contains(event->position().toPoint()));
  }
  QAbstractButton::mouseMoveEvent(event);
}

void BitmapButton::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second click of a double click is a press of its own, so it clicks again.
  mousePressEvent(event);
}

void BitmapButton::leaveEvent(QEvent* event) {
  SetHovered(false);
  QAbstractButton::leaveEvent(event);
}

void BitmapButton::focusOutEvent(QFocusEvent* event) {
  SetHovered(false);
  QAbstractButton::focusOutEvent(event);
}

void BitmapButton::changeEvent(QEvent* event) {
  if ((event->type() == QEvent::ActivationChange && !isActiveWindow()) ||
      (event->type() == QEvent::EnabledChange && !isEnabled())) {
    SetHovered(false);
  }
  QAbstractButton::changeEvent(event);
}

void BitmapButton::SetHovered(bool hovered) {
  if (hovered_ != hovered) {
    hovered_ = hovered;
    update();
  }
}

}  // namespace quintara::ui
