// The simulated matrix switchers fed with whatever arrives: their replies are whole frames the
// controller parses back into what the switcher holds, and their state stays in range.
#include <algorithm>
#include <array>

#include "core/link/DeviceDirectory.h"
#include "core/link/DeviceTable.h"
#include "core/matrix/MatrixCommands.h"
#include "core/matrix/MatrixState.h"
#include "fuzz/Feeds.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/SimDeviceFeed.h"
#include "sim/SimMatrix.h"

namespace quintara::fuzz {
namespace {

constexpr std::array<std::uint8_t, 4> kIdentity{0x51, 0x54, 0x00, 0x03};
constexpr std::uint8_t kStatusCode = 0x53;
constexpr std::uint8_t kBacklightCode = 0x50;

void CheckStatusReply(std::span<const std::uint8_t> reply, const sim::MatrixState& state,
                      std::uint8_t type) {
  const bool sixteen = type == kSixteenChannelType;
  QUINTARA_FUZZ_CHECK(reply.size() ==
                      (sixteen ? kSixteenChannelStatusSize : kEightChannelStatusSize));
  const std::optional<MatrixStatus> status = ParseMatrixStatus(reply, type);
  QUINTARA_FUZZ_CHECK(status.has_value());
  QUINTARA_FUZZ_CHECK(
      std::equal(state.routes.begin(), state.routes.end(), status->statusTable.begin()));
  QUINTARA_FUZZ_CHECK(status->LockState == state.LockState);
  QUINTARA_FUZZ_CHECK(status->AddressMode == state.AddressMode);
  QUINTARA_FUZZ_CHECK(status->name == (state.name.empty() ? kCustomName : state.name));
  if (sixteen) {
    QUINTARA_FUZZ_CHECK(status->formatCode == state.OutputFormat);
  }
}

void CheckState(const sim::MatrixState& state, std::size_t channels) {
  QUINTARA_FUZZ_CHECK(state.routes.size() == channels);
  QUINTARA_FUZZ_CHECK(std::ranges::all_of(
      state.routes, [channels](std::uint8_t input) { return input >= 1 && input <= channels; }));
  QUINTARA_FUZZ_CHECK(state.LockState <= 1 && state.AddressMode <= 1);
  QUINTARA_FUZZ_CHECK(state.BacklightTime < kBacklightTimeTexts.size());
  QUINTARA_FUZZ_CHECK(state.BacklightBrightness <= kMaxBrightness);
  QUINTARA_FUZZ_CHECK(MatrixFormatIndex(state.OutputFormat).has_value());
  QUINTARA_FUZZ_CHECK(state.name.size() <= 16);
}

}  // namespace

void FeedSimMatrix(Input input) {
  if (input.empty()) {
    return;
  }
  const bool sixteen = (input[0] & 0x02) != 0;
  sim::SimDeviceConfig config = sim::SimDeviceConfig::Of(
      sixteen ? sim::DeviceKind::Matrix16 : sim::DeviceKind::Matrix8, {{{127, 0, 0, 13}}, 7000});
  config.DeviceIdentity = kIdentity;
  sim::SimMatrix device(config);
  const std::uint8_t type = config.DeviceType;

  DeliverToDevice(device, (input[0] & 0x01) != 0, SplitMessages(input.subspan(1)),
                  [&](std::span<const std::uint8_t> sent) {
                    QUINTARA_FUZZ_CHECK(IsWholeFrame(sent));
                    const std::uint8_t code = sent[frame::kCommandCodeOffset];
                    const sim::MatrixState state = device.State();
                    if (code == CommandCode::Discover) {
                      const auto found = ParseDiscoverAnswer(sent, Ipv4Address::Loopback());
                      QUINTARA_FUZZ_CHECK(std::ranges::any_of(found, [type](const auto& d) {
                        return d.entry.DeviceType == type && d.entry.DeviceIdentity == kIdentity;
                      }));
                    } else if (code == kStatusCode) {
                      CheckStatusReply(sent, state, type);
                    } else {
                      QUINTARA_FUZZ_CHECK(code == kBacklightCode);
                      QUINTARA_FUZZ_CHECK(sent.size() == kBacklightReplySize);
                      QUINTARA_FUZZ_CHECK(sent[18] == state.BacklightTime &&
                                          sent[19] == state.BacklightBrightness);
                    }
                  });

  CheckState(device.State(), device.Channels());
}

}  // namespace quintara::fuzz
