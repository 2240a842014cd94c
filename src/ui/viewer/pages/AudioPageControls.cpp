#include "ui/viewer/pages/AudioPageControls.h"

#include "ui/skin/Skin.h"

namespace quintara::ui {

ControlTable AudioPageControls() {
  static constexpr ControlRow kRows[] = {
      {.id = AudioPageId::Source,
       .kind = ControlKind::DropDownList,
       .rect = {250, 45, 120, 20},
       .size = Sizing::PixelHeight},
      {.id = AudioPageId::MeterOn,
       .kind = ControlKind::ShadeButton,
       .rect = {250, 122, 50, 20},
       .size = Sizing::Pixels,
       .bitmap = SkinId::MeterOnMark,
       .activeBitmap = SkinId::MeterOnMarked},
      {.id = AudioPageId::MeterOff,
       .kind = ControlKind::ShadeButton,
       .rect = {310, 122, 50, 20},
       .size = Sizing::Pixels,
       .bitmap = SkinId::MeterOffMark,
       .activeBitmap = SkinId::MeterOffMarked},
      {.id = AudioPageId::Window,
       .kind = ControlKind::DropDownList,
       .rect = {250, 165, 120, 20},
       .size = Sizing::PixelHeight},
      {.id = AudioPageId::Channels,
       .kind = ControlKind::DropDownList,
       .rect = {250, 205, 120, 20},
       .size = Sizing::PixelHeight},
      {.id = AudioPageId::AllMeters,
       .kind = ControlKind::ShadeButton,
       .rect = {180, 240, 200, 40},
       .size = Sizing::Pixels,
       .bitmap = SkinId::AllMetersOff,
       .activeBitmap = SkinId::AllMetersOn},
  };
  return kRows;
}

}  // namespace quintara::ui
