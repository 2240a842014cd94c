#pragma once

#include "core/viewer/state/ViewerState.h"

namespace quintara {

// Recomputations of the tables the preview draws from. They only write the ViewerState; the
// caller asks the preview for a repaint.

// WindowRects := the windows of LayoutCode, the entries beyond them zeroed (all of them for an
// unknown code); then RefreshFormatTexts.
void RefreshLayout(ViewerState& state);

// SwitcherRects := the 4 x 4 grid of 180 x 120 cells, row by row, cell k numbered by
// SwitcherSource[k].
void RefreshSwitcherGrid(ViewerState& state);

// WindowFormatText := "No Signal" without a signal, else the text of the input format code;
// a code without a text leaves the window's text as it was.
void RefreshFormatTexts(ViewerState& state);

enum class ColourTable { UmdBack, UmdText, FormatBack, FormatText };

// Recomputes all sixteen entries of one RGB table. The UMD tables follow the input each window
// shows (WindowSource 1-16); a window whose source is 0 or above 16 has no input to take
// colours from and gets the canvas grey (152, 152, 152) background and black text. The format
// tables belong to the window position. A colour index above 15 leaves the entry as it was.
void RefreshColours(ViewerState& state, ColourTable table);

// RefreshLayout, then the colours: UMD background, UMD text, format background, format text.
// The switcher grid is left alone.
void RefreshAll(ViewerState& state);

}  // namespace quintara
