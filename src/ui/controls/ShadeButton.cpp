#include "ui/controls/ShadeButton.h"

namespace quintara::ui {

void ShadeButton::DrawButtonBackground(QPainter&, const QRect&) {}

}  // namespace quintara::ui
