#pragma once

#include <QImage>

#include "core/viewer/panel/PanelSelections.h"
#include "core/viewer/state/ViewerState.h"
#include "ui/form/DpiScale.h"

class QPainter;

namespace quintara::ui {

// Draws the whole preview canvas (720 x 480 units, scaled) with its top-left corner at the
// painter's origin: the switcher grid while the panel shows the Switcher page, else the windows
// of LayoutCode with their frames, numbers, labels, meter bars, format texts and decorations.
void PaintPreview(QPainter& painter, const ViewerState& viewer, const DpiScale& scale,
                  std::uint8_t shownPage);

// The canvas as an image of its scaled size.
QImage RenderPreview(const ViewerState& viewer, const DpiScale& scale,
                     std::uint8_t shownPage = ViewerPage::Mode);

}  // namespace quintara::ui
