#include "ui/app/LinkSettingsControls.h"

#include "ui/skin/Skin.h"

namespace quintara::ui {
namespace {

using namespace LinkSettingsId;

// The address fields scale with the dpi like the lists above them, so that a whole address
// (255.255.255.255) fits in the screen's font at every dpi.
constexpr ControlRow kControls[] = {
    {.id = Close, .kind = ControlKind::ColourButton, .rect = {400, 0, 40, 35}, .caption = "x"},
    {.id = LinkList, .kind = ControlKind::DropDownList, .rect = {175, 30, 170, 20}},
    {.id = PortList, .kind = ControlKind::DropDownList, .rect = {175, 80, 170, 20}},
    {.id = BaudList, .kind = ControlKind::DropDownList, .rect = {175, 130, 170, 20}},
    {.id = PortButton,
     .kind = ControlKind::ShadeButton,
     .rect = {165, 160, 180, 40},
     .size = Sizing::Pixels,
     .bitmap = SkinId::Connect,
     .activeBitmap = SkinId::Disconnect},
    {.id = AddressField, .kind = ControlKind::AddressEdit, .rect = {175, 300, 150, 22}},
    {.id = SubnetField,
     .kind = ControlKind::AddressEdit,
     .rect = {175, 300, 150, 22},
     .caption = "255.255.255.0",
     .hidden = true},
    {.id = GatewayField,
     .kind = ControlKind::AddressEdit,
     .rect = {175, 300, 150, 22},
     .caption = "192.168.1.1",
     .hidden = true},
    {.id = ApplyButton,
     .kind = ControlKind::ShadeButton,
     .rect = {165, 350, 180, 40},
     .size = Sizing::Pixels,
     .bitmap = SkinId::Apply},
    {.id = AddressingList, .kind = ControlKind::DropDownList, .rect = {175, 250, 170, 20}},
};

}  // namespace

ControlTable LinkSettingsControls() {
  return kControls;
}

}  // namespace quintara::ui
