#include "ui/viewer/pages/SystemPageControls.h"

#include <array>

#include "ui/res/Skin.h"

namespace quintara::ui {
namespace {

constexpr ControlRow Button(int id, int x, int y, int width, int height, int bitmap,
                            int activeBitmap = 0) {
  return {.id = id,
          .kind = ControlKind::ShadeButton,
          .rect = {x, y, width, height},
          .size = Sizing::Pixels,
          .bitmap = bitmap,
          .activeBitmap = activeBitmap};
}

const std::array<ControlRow, 9> kRows{{
    {.id = SystemPageId::OutputFormat,
     .kind = ControlKind::DropDownList,
     .rect = {180, 35, 100, 20}},
    Button(SystemPageId::FormatStatus, 60, 80, 182, 45, SkinId::FormatStatusOff,
           SkinId::FormatStatusOn),
    Button(SystemPageId::AudioAlarm, 250, 80, 181, 45, SkinId::AudioAlarmOff, SkinId::AudioAlarmOn),
    Button(SystemPageId::Timecode, 60, 120, 182, 40, SkinId::TimecodeOff, SkinId::TimecodeOn),
    Button(SystemPageId::LoadDefault, 250, 120, 181, 40, SkinId::LoadDefault),
    Button(SystemPageId::SaveCustom1, 60, 200, 182, 42, SkinId::SaveCustom1),
    Button(SystemPageId::SaveCustom2, 250, 200, 181, 42, SkinId::SaveCustom2),
    Button(SystemPageId::LoadCustom1, 60, 250, 182, 40, SkinId::LoadCustom1),
    Button(SystemPageId::LoadCustom2, 250, 250, 181, 40, SkinId::LoadCustom2),
}};

}  // namespace

ControlTable SystemPageControls() {
  return kRows;
}

}  // namespace quintara::ui
