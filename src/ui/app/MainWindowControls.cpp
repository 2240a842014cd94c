#include "ui/app/MainWindowControls.h"

#include "core/link/DeviceDirectory.h"
#include "ui/Version.h"
#include "ui/skin/Skin.h"

namespace quintara::ui {
namespace {

using namespace MainWindowId;

constexpr ControlRow kControls[] = {
    {.id = Minimise,
     .kind = ControlKind::ColourButton,
     .rect = {1200, 0, 40, 35},
     .caption = "-",
     .tip = "Minimise"},
    {.id = Close,
     .kind = ControlKind::ColourButton,
     .rect = {1240, 0, 40, 35},
     .caption = "x",
     .tip = "Close Quintara"},
    // The layout's 40 units include the open list; the closed box is one line high.
    {.id = DeviceList, .kind = ControlKind::DropDownList, .rect = {45, 80, 320, 24}},
    {.id = NameField, .kind = ControlKind::Edit, .rect = {45, 110, 320, 20}},
    {.id = FocusSink, .kind = ControlKind::FocusSink, .rect = {0, 0, 1, 1}, .size = Sizing::Pixels},
    {.id = Search,
     .kind = ControlKind::ShadeButton,
     .rect = {380, 75, 135, 35},
     .size = Sizing::Pixels,
     .bitmap = SkinId::Search,
     .tip = "Search the network or the serial line for devices"},
    {.id = LinkSettings,
     .kind = ControlKind::ShadeButton,
     .rect = {520, 73, 134, 38},
     .size = Sizing::Pixels,
     .bitmap = SkinId::LinkSettings,
     .tip = "Link settings: network or serial line, the device's addressing"},
    {.id = Lock,
     .kind = ControlKind::ShadeButton,
     .rect = {665, 75, 70, 37},
     .size = Sizing::Pixels,
     .bitmap = SkinId::LockOpen,
     .activeBitmap = SkinId::LockClosed,
     .tip = "Lock or unlock the device: while it is locked, nothing is sent to it"},
    {.id = StatusLine,
     .kind = ControlKind::StaticLabel,
     .rect = {30, 40, 140, 20},
     .caption = kNoDeviceConnected},
    {.id = VersionLine,
     .kind = ControlKind::StaticLabel,
     .rect = {1200, 40, 140, 20},
     .caption = kVersionText},
    {.id = PanelArea, .kind = ControlKind::Area, .rect = {20, 160, 1240, 540}},
};

}  // namespace

ControlTable MainWindowControls() {
  return kControls;
}

}  // namespace quintara::ui
