#include "ui/viewer/pages/SystemPageControls.h"

#include <array>

#include "ui/skin/Skin.h"

namespace quintara::ui {
namespace {

const std::array<ControlRow, 9> kRows{{
    {.id = SystemPageId::OutputFormat,
     .kind = ControlKind::DropDownList,
     .rect = {180, 35, 100, 20}},
    BitmapButtonRow(SystemPageId::FormatStatus, 60, 80, 182, 45, SkinId::FormatStatusOff,
                    SkinId::FormatStatusOn),
    BitmapButtonRow(SystemPageId::AudioAlarm, 250, 80, 181, 45, SkinId::AudioAlarmOff,
                    SkinId::AudioAlarmOn),
    BitmapButtonRow(SystemPageId::Timecode, 60, 120, 182, 40, SkinId::TimecodeOff,
                    SkinId::TimecodeOn),
    BitmapButtonRow(SystemPageId::LoadDefault, 250, 120, 181, 40, SkinId::LoadDefault),
    BitmapButtonRow(SystemPageId::SaveCustom1, 60, 200, 182, 42, SkinId::SaveCustom1),
    BitmapButtonRow(SystemPageId::SaveCustom2, 250, 200, 181, 42, SkinId::SaveCustom2),
    BitmapButtonRow(SystemPageId::LoadCustom1, 60, 250, 182, 40, SkinId::LoadCustom1),
    BitmapButtonRow(SystemPageId::LoadCustom2, 250, 250, 181, 40, SkinId::LoadCustom2),
}};

}  // namespace

ControlTable SystemPageControls() {
  return kRows;
}

}  // namespace quintara::ui
