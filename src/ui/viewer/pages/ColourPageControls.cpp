#include "ui/viewer/pages/ColourPageControls.h"

namespace quintara::ui {
namespace {

constexpr ControlRow List(int id, int y) {
  return {.id = id,
          .kind = ControlKind::DropDownList,
          .rect = {240, y, 100, 20},
          .size = Sizing::PixelHeight};
}

}  // namespace

int ColourListId(ColourList list) {
  switch (list) {
    case ColourList::UmdText:
      return ColourPageId::UmdText;
    case ColourList::UmdBack:
      return ColourPageId::UmdBack;
    case ColourList::FormatText:
      return ColourPageId::FormatText;
    case ColourList::FormatBack:
      return ColourPageId::FormatBack;
    case ColourList::TimecodeText:
      return ColourPageId::TimecodeText;
    case ColourList::TimecodeBack:
      break;
  }
  return ColourPageId::TimecodeBack;
}

ControlTable ColourPageControls() {
  static constexpr ControlRow kRows[] = {
      List(ColourPageId::Source, 25),        List(ColourPageId::UmdText, 62),
      List(ColourPageId::UmdBack, 100),      List(ColourPageId::Window, 150),
      List(ColourPageId::FormatText, 190),   List(ColourPageId::FormatBack, 230),
      List(ColourPageId::Border, 268),       List(ColourPageId::TimecodeText, 308),
      List(ColourPageId::TimecodeBack, 346),
  };
  return kRows;
}

}  // namespace quintara::ui
