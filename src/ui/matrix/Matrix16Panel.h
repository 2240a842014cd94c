#pragma once

#include "ui/matrix/MatrixPanel.h"

namespace quintara::ui {

// The panel of a sixteen-channel matrix switcher: sixteen inputs, sixteen outputs, their
// status, the backlight, and the switcher's output format.
class Matrix16Panel : public MatrixPanel {
  Q_OBJECT

 public:
  Matrix16Panel(DeviceSession& session, const DpiScale& scale, QWidget* parent);
};

}  // namespace quintara::ui
