#pragma once

#include <QSize>
#include <QString>

class QPainter;

// The System page's pictures: its background, its on/off switches and its memory buttons.
namespace quintara::ui::skin {

// The sign left of a memory button's caption: into the device's memory, out of it, or back to
// the factory settings.
enum class Recall { Save, Load, Restore };

void PaintSystemBackground(QPainter& p, QSize size);
// A switch: the caption beside a toggle, grey when off, green when on.
void PaintSwitchButton(QPainter& p, QSize size, const QString& caption, bool on);
void PaintRecallButton(QPainter& p, QSize size, const QString& caption, Recall kind);

}  // namespace quintara::ui::skin
