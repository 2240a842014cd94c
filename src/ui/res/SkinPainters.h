#pragma once

#include <QSize>
#include <QString>

#include "ui/res/Palette.h"

class QPainter;

// The painters behind the skin's table. Each paints a whole bitmap of the size it is given;
// opaque bitmaps arrive already filled with Ground.
namespace quintara::ui::skin {

// The small sign left of a button's caption, if any.
enum class Mark { None, Magnifier, PortIdle, PortLive };

void PaintWindowIcon(QPainter& p, QSize size);
void PaintMainBackground(QPainter& p, QSize size);
void PaintSettingsBackground(QPainter& p, QSize size);
void PaintCaptionButton(QPainter& p, QSize size, const QString& caption, Mark mark);
void PaintLock(QPainter& p, QSize size, bool locked);

}  // namespace quintara::ui::skin
