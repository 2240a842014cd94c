#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quintara {

enum class DeviceKind : std::uint8_t { Multiviewer, Matrix8, Matrix16 };

// How the process works with one kind of device: the byte its frames and search answers carry,
// the name documents and lists give it, the command group that drives it and its size. The
// window's panels and the command line's groups are tables indexed by the kind; a new kind is a
// row here, a panel there and a command group there.
struct DeviceKindInfo {
  DeviceKind kind;
  std::uint8_t deviceType;       // byte 4 of its frames and search answers
  std::string_view name;         // "multiviewer", "matrix8", "matrix16"
  std::string_view commandWord;  // quintara-cli's command group: "mv" or "matrix"
  std::size_t channels;          // inputs, and windows or outputs
  bool reportsChanges;           // sends status reports of its own to the status port
};

inline constexpr std::array<DeviceKindInfo, 3> kDeviceKinds{{
    {DeviceKind::Multiviewer, 0xA1, "multiviewer", "mv", 16, true},
    {DeviceKind::Matrix8, 0x82, "matrix8", "matrix", 8, false},
    {DeviceKind::Matrix16, 0x83, "matrix16", "matrix", 16, false},
}};

// The kind of a device by the type byte it answered with; null for a type the process can find
// but not drive.
const DeviceKindInfo* FindDeviceKind(std::uint8_t deviceType);
// The row of a kind.
constexpr const DeviceKindInfo& KindInfo(DeviceKind kind) {
  return kDeviceKinds[static_cast<std::size_t>(kind)];
}

}  // namespace quintara
