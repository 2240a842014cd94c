#pragma once

#include <QFont>
#include <QSize>
#include <QString>

#include "ui/skin/Palette.h"

class QPainter;

// The painters behind the skin's table. Each paints a whole bitmap of the size it is given;
// opaque bitmaps arrive already filled with Ground.
namespace quintara::ui::skin {

// The small sign left of a button's caption, if any.
enum class Mark { None, Magnifier, PortIdle, PortLive };

// The tabs of the multiviewer panel.
enum class Tab { Audio, Colours, Controls, Layout, Switcher, Umd };

// Shared by the painters: the skin's font at a pixel size, and the rounded plate of a button.
QFont SkinFont(int pixelSize, QFont::Weight weight);
void PaintPlate(QPainter& p, QSize size);
// A plate with a lamp left of its caption: lamp and caption green when on, grey when off, so the
// state reads without relying on colour alone.
void PaintLampButton(QPainter& p, QSize size, const QString& caption, int pixelSize, bool on);

// A page's 490 x 420 design canvas on the panel's grey; the painter then draws in page units.
void PaintPageCanvas(QPainter& p, QSize size);

void PaintWindowIcon(QPainter& p, QSize size);
void PaintMainBackground(QPainter& p, QSize size);
void PaintSettingsBackground(QPainter& p, QSize size);
void PaintCaptionButton(QPainter& p, QSize size, const QString& caption, Mark mark);
void PaintLock(QPainter& p, QSize size, bool locked);

void PaintPanelBackground(QPainter& p, QSize size);
void PaintTab(QPainter& p, QSize size, Tab tab, bool selected);
void PaintModeBackground(QPainter& p, QSize size);
void PaintSwitcherBackground(QPainter& p, QSize size);
// Single-window layout `window` (1-16): its number on a small screen.
void PaintSingleLayout(QPainter& p, QSize size, int window, bool selected);
void PaintOneToOne(QPainter& p, QSize size);

}  // namespace quintara::ui::skin
