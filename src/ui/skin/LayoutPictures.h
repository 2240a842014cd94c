#pragma once

#include <QSize>
#include <cstdint>

class QPainter;

namespace quintara::ui::skin {

// The picture of a multi-window layout's button, grey or green when selected. Drawn from the
// preview's own window and decoration tables, so the button shows what the preview will.
void PaintLayoutPicture(QPainter& p, QSize size, std::uint8_t layoutCode, bool selected);

}  // namespace quintara::ui::skin
