#pragma once

#include <QRect>
#include <span>
#include <string_view>

// A window's controls as data: one row per control, in the order they are built (which is also
// their stacking and tab order). The windows keep their tables next to them; BuildControls
// (ControlFactory.h) turns a table into widgets.
namespace quintara::ui {

enum class ControlKind {
  ShadeButton,   // the skinned button: a bitmap, no border, no background of its own
  ColourButton,  // the flat rounded button with a green caption
  DropDownList,
  Edit,
  LimitedEdit,   // an edit that refuses the characters a device label cannot carry
  AddressEdit,   // an edit that takes a dotted IPv4 address
  ReadOnlyEdit,  // an edit that shows a value the window sets
  TrackBar,      // a horizontal slider
  StaticLabel,   // text on a background of its own
  FocusSink,     // an edit nobody sees, kept to take the focus away from the others
  Area,          // a hidden frame that only marks a rectangle of the window
};

// Positions are always 96-dpi units; sizes are units too, or pixels for controls that must keep
// the size of their bitmaps at every dpi, or a width in units and a height in pixels for the
// lists whose height the pages fix.
enum class Sizing { Scaled, Pixels, PixelHeight };

struct ControlRow {
  int id = 0;  // the control's number in the window's layout
  ControlKind kind = ControlKind::StaticLabel;
  QRect rect{};  // x, y in units; width, height as `size` says
  Sizing size = Sizing::Scaled;
  int bitmap = 0;              // skin id of a button's normal look
  int activeBitmap = 0;        // skin id of its active look, for buttons that have one
  std::string_view caption{};  // UTF-8: a button's or a label's text, or an edit's first text
  bool hidden = false;
  std::string_view tip{};  // UTF-8: what a button shows no words for does, as its tooltip
};

using ControlTable = std::span<const ControlRow>;

// A skinned button placed in units, as large as its bitmaps in pixels at every dpi.
constexpr ControlRow BitmapButtonRow(int id, int x, int y, int width, int height, int bitmap,
                                     int activeBitmap = 0) {
  return {.id = id,
          .kind = ControlKind::ShadeButton,
          .rect = {x, y, width, height},
          .size = Sizing::Pixels,
          .bitmap = bitmap,
          .activeBitmap = activeBitmap};
}

}  // namespace quintara::ui
