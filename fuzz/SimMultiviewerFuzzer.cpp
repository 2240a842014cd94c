// The simulated multiviewer fed with whatever arrives: everything it sends is a whole frame the
// controller takes (its answers, its state reply, its reports), and its state stays one that
// its state image carries faithfully.
#include <algorithm>
#include <array>

#include "core/link/DeviceTable.h"
#include "core/viewer/protocol/StateImageDecoder.h"
#include "core/viewer/protocol/StatusReports.h"
#include "core/viewer/state/LayoutGeometry.h"
#include "fuzz/ControllerRig.h"
#include "fuzz/Feeds.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/SimDeviceFeed.h"
#include "sim/SimMultiviewer.h"

namespace quintara::fuzz {
namespace {

constexpr std::array<std::uint8_t, 4> kIdentity{0x51, 0x54, 0x00, 0x01};

bool IsFlag(std::uint8_t value) {
  return value <= 1;
}

template <typename T, typename Holds>
bool AllOf(const T& values, Holds holds) {
  return std::all_of(values.begin(), values.end(), holds);
}

void CheckState(const sim::MultiviewerState& state) {
  QUINTARA_FUZZ_CHECK(IsKnownLayout(state.LayoutCode));
  QUINTARA_FUZZ_CHECK(state.OutputFormat <= 0x0F && state.AudioSource <= 16);
  for (const std::uint8_t flag :
       {state.FormatStatusOn, state.AllUmdOn, state.AllMetersOn, state.BorderOn, state.TimecodeOn,
        state.AudioAlarmOn, state.SwitcherMode, state.LockState, state.AddressMode}) {
    QUINTARA_FUZZ_CHECK(IsFlag(flag));
  }
  QUINTARA_FUZZ_CHECK(AllOf(state.UmdOn, IsFlag) && AllOf(state.MeterOn, IsFlag));
  const auto text = [](std::uint8_t colour) { return colour <= 15; };
  const auto back = [](std::uint8_t colour) { return colour <= 31; };
  QUINTARA_FUZZ_CHECK(AllOf(state.UmdTextColour, text) && AllOf(state.UmdBackColour, back));
  QUINTARA_FUZZ_CHECK(AllOf(state.FormatTextColour, text) && AllOf(state.FormatBackColour, back));
  QUINTARA_FUZZ_CHECK(AllOf(state.TimecodeTextColour, text) &&
                      AllOf(state.TimecodeBackColour, back));
  QUINTARA_FUZZ_CHECK(AllOf(state.MeterChannels, text));
  QUINTARA_FUZZ_CHECK(
      AllOf(state.UmdText, [](const std::u16string& label) { return label.size() <= 17; }));
  QUINTARA_FUZZ_CHECK(state.name.size() <= 16);
}

// What the controller decodes from the device's image is what the device holds.
void CheckImageCarriesState(const sim::MultiviewerState& state) {
  ViewerState viewer;
  viewer.StateImage = sim::EncodeStateImage(state);
  const DecodedDevice device = DecodeStateImage(viewer);
  QUINTARA_FUZZ_CHECK(viewer.LayoutCode == state.LayoutCode);
  QUINTARA_FUZZ_CHECK(viewer.OutputFormat == state.OutputFormat);
  QUINTARA_FUZZ_CHECK(viewer.AudioSource == state.AudioSource);
  QUINTARA_FUZZ_CHECK(viewer.WindowSource == state.WindowSource);
  QUINTARA_FUZZ_CHECK(viewer.SwitcherSource == state.SwitcherSource);
  QUINTARA_FUZZ_CHECK(viewer.SwitcherMode == state.SwitcherMode);
  QUINTARA_FUZZ_CHECK(viewer.AllUmdOn == state.AllUmdOn && viewer.UmdOn == state.UmdOn);
  QUINTARA_FUZZ_CHECK(viewer.AllMetersOn == state.AllMetersOn && viewer.MeterOn == state.MeterOn);
  QUINTARA_FUZZ_CHECK(viewer.MeterChannels == state.MeterChannels);
  QUINTARA_FUZZ_CHECK(viewer.FormatStatusOn == state.FormatStatusOn);
  QUINTARA_FUZZ_CHECK(viewer.TimecodeOn == state.TimecodeOn);
  QUINTARA_FUZZ_CHECK(viewer.AudioAlarmOn == state.AudioAlarmOn);
  QUINTARA_FUZZ_CHECK(viewer.BorderOn == state.BorderOn);
  QUINTARA_FUZZ_CHECK(device.AddressMode == state.AddressMode);
  QUINTARA_FUZZ_CHECK(viewer.UmdTextColour == state.UmdTextColour);
  QUINTARA_FUZZ_CHECK(viewer.UmdBackColour == state.UmdBackColour);
  QUINTARA_FUZZ_CHECK(viewer.FormatTextColour == state.FormatTextColour);
  QUINTARA_FUZZ_CHECK(viewer.FormatBackColour == state.FormatBackColour);
  QUINTARA_FUZZ_CHECK(viewer.TimecodeTextColour == state.TimecodeTextColour);
  QUINTARA_FUZZ_CHECK(viewer.TimecodeBackColour == state.TimecodeBackColour);
}

}  // namespace

void FeedSimMultiviewer(Input input) {
  if (input.empty()) {
    return;
  }
  sim::SimDeviceConfig config =
      sim::SimDeviceConfig::Of(sim::DeviceKind::Multiviewer, {{{127, 0, 0, 11}}, 7000});
  config.DeviceIdentity = kIdentity;
  sim::SimMultiviewer device(config);
  // The panel the device reports to, showing no page.
  ControllerRig panel(LinkKind::Lan);

  DeliverToDevice(device, (input[0] & 0x01) != 0, SplitMessages(input.subspan(1)),
                  [&](std::span<const std::uint8_t> sent) {
                    QUINTARA_FUZZ_CHECK(IsWholeFrame(sent));
                    const std::uint8_t code = sent[frame::kCommandCodeOffset];
                    if (code == CommandCode::Discover) {
                      const auto found = ParseDiscoverAnswer(sent, Ipv4Address::Loopback());
                      QUINTARA_FUZZ_CHECK(std::ranges::any_of(found, [](const auto& d) {
                        return d.entry.DeviceType == 0xA1 && d.entry.DeviceIdentity == kIdentity;
                      }));
                    } else if (code == ViewerCode::ReadState) {
                      QUINTARA_FUZZ_CHECK(sent.size() == kStateReplySize && IsStateReply(sent));
                      // A reply leaves outside the device's lock: its state can be asked.
                      const StateImageBytes image = device.StateImage();
                      QUINTARA_FUZZ_CHECK(
                          std::equal(image.begin(), image.end(), sent.begin() + kStateImageOffset));
                    } else {
                      QUINTARA_FUZZ_CHECK(IsReportOf(sent, kIdentity));
                      QUINTARA_FUZZ_CHECK(IsReReadReport(code) ||
                                          ApplyStatusReport(panel.controller.Session(), sent));
                    }
                  });

  QUINTARA_FUZZ_CHECK(device.Received().size() <= sim::SimDevice::kReceivedLimit);
  const sim::MultiviewerState state = device.State();
  CheckState(state);
  CheckImageCarriesState(state);
}

}  // namespace quintara::fuzz
