#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QPoint>
#include <QSize>
#include <array>

#include "ui/skin/Palette.h"

namespace quintara::ui {

// The flat rounded button of the title bar and the settings dialog (minimise and close). It
// holds the mouse while hovered so that it always sees the cursor leave.
class ColourButton : public QAbstractButton {
  Q_OBJECT

 public:
  enum : int { Normal = 0, Pressed = 1, Hovered = 2, Disabled = 3 };

  explicit ColourButton(QWidget* parent = nullptr);

  // The caption's colour while the button is enabled; disabled, it dims to the skin's
  // disabled ink.
  void SetTextColour(const QColor& colour);
  const QColor& TextColour() const { return textColour_; }
  // Fill and outline of a state; all four start as the skin's plate, so the windows' buttons
  // look the same in every state.
  void SetStateColour(int state, const QColor& colour);
  // The state the face shows: Disabled while the button is, else what the mouse last did.
  int DrawState() const { return isEnabled() ? drawState_ : Disabled; }

  // The caption's font: Arial bold, a 40 pixel cell, widened towards an average character
  // width of 20 where the font engine can stretch.
  static QFont CaptionFont();
  // Where the caption's top-left corner goes: each half truncated on its own.
  static QPoint CaptionOrigin(QSize client, QSize text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void SetDrawState(int state);
  bool HoldsMouse() const;
  void ReleaseHold();

  int drawState_ = Normal;  // Normal, Pressed or Hovered; being disabled is not kept here
  std::array<QColor, 4> stateColours_{skin::Plate, skin::Plate, skin::Plate, skin::Plate};
  QColor textColour_ = Qt::white;
};

}  // namespace quintara::ui
