#pragma once

#include <QColor>
#include <QSize>
#include <QString>

class QPainter;

// The painters behind the skin's table. Each paints a whole bitmap of the size it is given;
// opaque bitmaps arrive already filled with Ground.
namespace quintara::ui::skin {

// The windows' own surface. Bitmap buttons are filled with it outside their rounded plate,
// because black is their transparent colour and must not appear in them.
inline const QColor Ground{57, 60, 65};
inline const QColor Control{58, 58, 58};
inline const QColor Plate{46, 49, 54};
inline const QColor Edge{80, 84, 90};
inline const QColor Active{110, 187, 105};
inline const QColor Normal{150, 153, 158};
inline const QColor Label{205, 208, 212};

// The small sign left of a button's caption, if any.
enum class Mark { None, Magnifier, PortIdle, PortLive };

void PaintWindowIcon(QPainter& p, QSize size);
void PaintMainBackground(QPainter& p, QSize size);
void PaintSettingsBackground(QPainter& p, QSize size);
void PaintCaptionButton(QPainter& p, QSize size, const QString& caption, Mark mark);
void PaintLock(QPainter& p, QSize size, bool locked);

}  // namespace quintara::ui::skin
