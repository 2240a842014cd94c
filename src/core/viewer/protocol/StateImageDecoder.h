#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/link/DeviceDirectory.h"
#include "core/viewer/state/ViewerState.h"

namespace quintara {

// What the state image carries for the controller rather than the ViewerState.
struct DecodedDevice {
  // The new device name text; unset when the name's length byte is above 32 (the text stays).
  std::optional<std::u16string> nameText;
  // What the main window's name field shows: the name, or "Custom Name" when there is none.
  std::u16string nameField;
  std::uint8_t AddressMode = 0;
};

// Writes every field StateImage carries into the ViewerState. The derived tables are not
// recomputed here; that is the caller's refresh.
DecodedDevice DecodeStateImage(ViewerState& state);

}  // namespace quintara
