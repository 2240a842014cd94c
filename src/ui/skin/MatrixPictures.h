#pragma once

#include <QSize>
#include <QString>

class QPainter;

// The matrix switchers' panels: the numbered channel buttons, the action buttons and the two
// panels' backgrounds.
namespace quintara::ui::skin {

// A channel's number on a square button, grey when normal, green when active.
void PaintMatrixNumber(QPainter& p, QSize size, int number, bool lit);
// An action button: a lamp and its caption, green when active. A button smaller than the bitmap
// shows the centred `view` of it and cuts the rest evenly from the edges, so the plate keeps
// inside that view and the margin around it is plain ground.
void PaintMatrixAction(QPainter& p, QSize size, const QString& caption, QSize view, bool lit);
// The eight-channel panel: INPUT, OUTPUT and OUTPUT STATUS framed on the left, the routing
// modes' pictograms and the backlight's captions on the right.
void PaintMatrix8Background(QPainter& p, QSize size);
// The sixteen-channel panel: the same three sections full width, the routing modes' pictograms
// at the bottom left.
void PaintMatrix16Background(QPainter& p, QSize size);

}  // namespace quintara::ui::skin
