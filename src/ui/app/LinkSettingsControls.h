#pragma once

#include "ui/form/ControlTable.h"

namespace quintara::ui {

// The link settings dialog's controls, by their numbers in its layout.
namespace LinkSettingsId {
inline constexpr int LinkList = 1015;
inline constexpr int AddressField = 1016;
inline constexpr int ApplyButton = 1017;
inline constexpr int PortList = 1018;
inline constexpr int BaudList = 1019;
inline constexpr int PortButton = 1020;
inline constexpr int AddressingList = 1054;
inline constexpr int SubnetField = 1151;   // never shown, never read
inline constexpr int GatewayField = 1152;  // never shown, never read
inline constexpr int Close = 1153;
}  // namespace LinkSettingsId

ControlTable LinkSettingsControls();

}  // namespace quintara::ui
