#pragma once

#include <QAbstractButton>
#include <QPixmap>
#include <optional>

class QPainter;

namespace quintara::ui {

// The skinned push button: shows a bitmap instead of the platform's button face and reports
// clicks like any push button. Always flat; pure black in a bitmap is transparent.
class BitmapButton : public QAbstractButton {
  Q_OBJECT

 public:
  explicit BitmapButton(QWidget* parent = nullptr);

  // Replaces the images. The second one, if given, shows while the button is neither pressed
  // nor hovered. A null normal image just drops the images. 0 on success, 2 when the
  // transparency of an image cannot be made (the button is then left without images).
  int SetButtonBitmap(const QPixmap& normal, const QPixmap& second = {});
  // The skin's bitmap of that resource id; an unknown id leaves the button without an image.
  int SetButtonBitmapById(int id);
  // The skin ids of the normal and the active look (0: none); shows the normal one.
  void SetBitmapIds(int normal, int active);
  // Shows the active look, or the normal one.
  void ShowActive(bool active);
  bool ShowsActive() const { return shownLook_.value_or(false); }
  // Lets the parent's painting show wherever the image does not cover the button.
  void SetParentBackground();
  // A thin 3-D border while hovered or pressed; the windows turn it off.
  void SetFlatBorder(bool flatBorder);

  // The normal image as drawn, black already made transparent.
  const QPixmap& Bitmap() const { return bitmapIn_; }
  bool IsPressedLook() const { return isDown(); }
  bool HasFlatBorder() const { return flatBorder_; }

 protected:
  virtual void DrawButtonBackground(QPainter& painter, const QRect& rect);
  virtual void DrawButtonBorder(QPainter& painter, const QRect& rect);

  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void SetHovered(bool hovered);
  void DrawImage(QPainter& painter, const QPixmap& image, QPoint at);

  bool hovered_ = false;
  bool parentBackground_ = false;
  bool flatBorder_ = true;
  int normalId_ = 0;
  int activeId_ = 0;
  QPixmap normalLook_;  // the two looks of SetBitmapIds, black already transparent
  QPixmap activeLook_;
  std::optional<bool> shownLook_;  // which of them shows; nothing after SetButtonBitmap
  QPixmap bitmapIn_;
  QPixmap bitmapOut_;
};

}  // namespace quintara::ui
