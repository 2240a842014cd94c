#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/viewer/protocol/ReadBack.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "core/viewer/state/ViewerState.h"
#include "sim/SimDevice.h"

namespace quintara::sim {

inline constexpr std::size_t kViewerChannels = 16;  // inputs, windows and switcher outputs
inline constexpr std::size_t kUmdTextRoom = 34;     // bytes of UTF-16LE
inline constexpr std::size_t kDeviceNameRoom = 32;  // bytes of UTF-16LE

template <typename T>
using PerChannel = std::array<T, kViewerChannels>;  // entry k: input, window or output k + 1

struct SignalState {
  std::uint8_t present = 0;
  std::uint8_t formatCode = 0;

  friend bool operator==(const SignalState&, const SignalState&) = default;
};

// Everything the multiviewer holds. Colours are palette indices; flags are 0 or 1.
struct MultiviewerState {
  std::uint8_t LayoutCode = 40;
  std::uint8_t OutputFormat = 7;  // 1080p60
  std::uint8_t FormatStatusOn = 1;
  PerChannel<std::uint8_t> UmdTextColour{};  // per input
  PerChannel<std::uint8_t> UmdBackColour{};  // per input
  std::uint8_t AllUmdOn = 1;
  PerChannel<std::uint8_t> UmdOn{};  // per input
  PerChannel<std::uint8_t> FormatTextColour{};
  PerChannel<std::uint8_t> FormatBackColour{};
  PerChannel<std::uint8_t> MeterOn{};
  PerChannel<std::uint8_t> MeterChannels{};
  std::uint8_t AllMetersOn = 1;
  std::uint8_t AudioSource = 1;
  std::uint8_t BorderOn = 1;
  std::uint8_t TimecodeOn = 0;
  PerChannel<std::uint8_t> TimecodeBackColour{};
  PerChannel<std::uint8_t> TimecodeTextColour{};
  std::uint8_t AudioAlarmOn = 0;
  PerChannel<std::u16string> UmdText{};  // per input
  PerChannel<std::uint8_t> WindowSource{};
  PerChannel<SignalState> WindowSignal{};
  PerChannel<std::uint8_t> SwitcherSource{};
  std::uint8_t SwitcherMode = 0;

  // Not touched by defaults or the custom memories.
  std::uint8_t LockState = 0;
  std::uint8_t AddressMode = 1;  // 0 static, 1 DHCP
  std::array<std::uint8_t, 12> NetworkPayload{};
  std::u16string name;

  // Factory settings; signals present at 1080p60 (input format code 31).
  static MultiviewerState Defaults(std::u16string name);
  friend bool operator==(const MultiviewerState&, const MultiviewerState&) = default;
};

// The device's state image: what a read-back reply carries from its byte 18.
std::array<std::uint8_t, kStateImageSize> EncodeStateImage(const MultiviewerState& state);

// A simulated sixteen-window multiviewer. It applies every setting command, answers ReadState
// and reports each change to UDP port statusPort of the last address that sent it a frame over
// UDP. While locked it refuses everything but SetLock, Discover and ReadState from the wire;
// the front panel (the Set... methods below) works regardless of the lock.
class SimMultiviewer : public SimDevice {
 public:
  explicit SimMultiviewer(SimDeviceConfig config);

  MultiviewerState State() const;
  std::array<std::uint8_t, kStateImageSize> StateImage() const;
  // Where reports go; nothing until a frame has arrived over UDP.
  std::optional<UdpEndpoint> ReportDestination() const;

  // Front panel: each changes the setting as its command would and reports it. False when a
  // value is out of range (nothing changes then).
  bool SetLayout(std::uint8_t layoutCode);
  // Routes the switcher output in switcher mode, else the window.
  bool SetWindowSource(std::uint8_t window, std::uint8_t input);
  bool SetUmdOn(std::uint8_t input, bool on);
  bool SetAllUmd(bool on);
  // commandCode is one of the six colour codes 0x3B-0x3E, 0x54, 0x55; item 0 means all.
  bool SetColour(std::uint8_t commandCode, std::uint8_t item, std::uint8_t colour);
  bool SetOutputFormat(std::uint8_t formatCode);
  bool SetAllMeters(bool on);
  // Reported as a device-wide change (0x38).
  bool SetSwitcherMode(std::uint8_t mode);
  // What the input shown in window (1-16) carries, reported as 0x51.
  bool SetSignal(std::uint8_t window, bool present, std::uint8_t formatCode);
  // Any other setting by its command code and payload (as from byte 17 of its frame).
  bool FrontPanel(std::uint8_t commandCode, std::span<const std::uint8_t> payload);

 protected:
  std::vector<OutgoingMessage> Respond(std::span<const std::uint8_t> bytes,
                                       const UdpEndpoint& from) override;
  std::string DiscoverName() const override;

 private:
  bool ApplyLocked(std::uint8_t code, std::span<const std::uint8_t> payload);
  bool ApplyColourLocked(std::uint8_t code, std::uint8_t item, std::uint8_t colour);
  void RestoreSettingsLocked(const MultiviewerState& from);
  void ReportLocked(std::uint8_t code, std::span<const std::uint8_t> values) const;
  Frame ReadStateReply(LinkKind link) const;

  mutable std::mutex mutex_;
  MultiviewerState state_;
  MultiviewerState defaults_;
  std::array<MultiviewerState, 2> memories_;
  std::optional<Ipv4Address> commander_;
};

}  // namespace quintara::sim
