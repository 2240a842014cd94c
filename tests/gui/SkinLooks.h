#pragma once

// Looking at what the skin paints: the skin put on the test's application, and the few pixel
// measures the GUI tests judge it by.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMap>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>
#include <chrono>
#include <functional>
#include <string>

#include "support/GuiApp.h"
#include "support/Patience.h"
#include "ui/skin/SkinStyle.h"

namespace quintara::test {

// The skin on the test's one application while the test runs, as the Application puts it on.
class Skinned {
 public:
  Skinned() : palette_((GuiApp(), QApplication::palette())), style_(qApp->style()->name()) {
    ui::ApplySkinStyle(*qApp);
  }
  ~Skinned() {
    qApp->setStyleSheet({});
    QApplication::setStyle(QStyleFactory::create(style_));
    QApplication::setPalette(palette_);
  }
  Skinned(const Skinned&) = delete;
  Skinned& operator=(const Skinned&) = delete;

 private:
  QPalette palette_;
  QString style_;
};

inline std::string Name(const QColor& colour) {
  return colour.name().toStdString();
}

inline int Distance(const QColor& a, const QColor& b) {
  return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
         std::abs(a.blue() - b.blue());
}

inline int Count(const QImage& image, const std::function<bool(const QColor&)>& wanted) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      count += wanted(image.pixelColor(x, y));
    }
  }
  return count;
}

// Pixels bright enough to be a light default ground.
inline int LightPixels(const QImage& image) {
  return Count(image, [](const QColor& c) { return qGray(c.rgb()) > 200; });
}

// The colour that fills most of the image.
inline QColor Dominant(const QImage& image) {
  QMap<QRgb, int> counts;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      ++counts[image.pixel(x, y) | 0xFF000000u];
    }
  }
  QRgb most = 0;
  int best = -1;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
    if (it.value() > best) {
      best = it.value();
      most = it.key();
    }
  }
  return QColor::fromRgb(most);
}

// Runs act on the widget find returns as soon as it is shown, while the caller sits in a loop
// of its own (a box's or a menu's); gives up once the test's patience ends.
inline void WhenShown(std::function<QWidget*()> find, std::function<void(QWidget&)> act) {
  auto* poll = new QTimer;
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  QObject::connect(poll, &QTimer::timeout, [poll, deadline, find, act] {
    QWidget* shown = find();
    if (shown != nullptr && shown->isVisible()) {
      poll->deleteLater();
      act(*shown);
    } else if (std::chrono::steady_clock::now() > deadline) {
      poll->deleteLater();
      ADD_FAILURE() << "never shown";
    }
  });
  poll->start(10);
}

}  // namespace quintara::test
