#pragma once

#include <QSize>
#include <QString>

class QPainter;

// The Audio and Colour pages' bitmaps. Each paints a whole bitmap of the size it is given;
// it arrives already filled with Ground.
namespace quintara::ui::skin {

void PaintAudioBackground(QPainter& p, QSize size);
void PaintColourBackground(QPainter& p, QSize size);
// The global meter switch: a level meter and ALL AUDIO METER ON, green when on.
void PaintAllMeters(QPainter& p, QSize size, bool on);
// One of a pair of choices: a round mark and the caption, green when marked.
void PaintChoice(QPainter& p, QSize size, const QString& caption, bool marked);

}  // namespace quintara::ui::skin
