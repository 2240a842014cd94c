#pragma once

#include "ui/matrix/MatrixPanel.h"

namespace quintara::ui {

// The panel of an eight-channel matrix switcher: eight inputs, eight outputs, their status, and
// the backlight.
class Matrix8Panel : public MatrixPanel {
  Q_OBJECT

 public:
  Matrix8Panel(DeviceSession& session, const DpiScale& scale, QWidget* parent);
};

}  // namespace quintara::ui
