#pragma once

#include <QSize>

class QPainter;

// The UMD page's bitmaps.
namespace quintara::ui::skin {

// Plain, with a rule between the column of inputs 1-8 and that of inputs 9-16.
void PaintUmdBackground(QPainter& p, QSize size);
// The master switch: ALL UMD ON, grey when off, green when on.
void PaintAllUmdSwitch(QPainter& p, QSize size, bool on);
// The label switch of an input (1-16): SDI n, grey when off, green when on.
void PaintUmdSwitch(QPainter& p, QSize size, int input, bool on);

}  // namespace quintara::ui::skin
