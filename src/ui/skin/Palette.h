#pragma once

#include <QColor>

// The skin's colours. Windows, controls and the bitmap painters all take their colours from here.
namespace quintara::ui::skin {

// The windows' own surface; bitmaps are filled with it outside their rounded plates, because
// black is the bitmap buttons' transparent colour and must not appear in them.
inline constexpr QColor Ground{57, 60, 65};
// Behind the text of lists and edits, and the panel area.
inline constexpr QColor ControlGround{58, 58, 58};
// Live and selected states, the colour buttons' captions, the main window's labels.
inline constexpr QColor Green{110, 187, 105};
// Text of the lists and edits of the settings dialog and the device panels.
inline constexpr QColor ListBlue{60, 180, 255};
// The colour buttons' face, the bitmap buttons' plates and the title band they sit in.
inline constexpr QColor Plate{46, 49, 54};
// The rim of the plates, and of the lists, edits and pop-ups.
inline constexpr QColor PlateEdge{80, 84, 90};

// A control that takes no input: its text dims and its ground sinks below the control grey.
inline constexpr QColor DisabledInk{118, 121, 126};
inline constexpr QColor DisabledGround{42, 43, 46};
inline constexpr QColor DisabledEdge{64, 67, 72};

// Shades only the bitmap painters use.
inline constexpr QColor IdleGrey{150, 153, 158};   // ink of a state that is off
inline constexpr QColor LabelGrey{205, 208, 212};  // labels drawn into backgrounds
inline constexpr QColor Shadow{40, 42, 46};
inline constexpr QColor Rule{70, 74, 80};

}  // namespace quintara::ui::skin
