#include "sim/SimMatrix.h"

#include <algorithm>
#include <numeric>
#include <optional>
#include <utility>

#include "core/text/TextCodec.h"

namespace quintara::sim {
namespace {

constexpr std::uint8_t kEightChannelType = 0x82;
constexpr std::uint8_t kSixteenChannelType = 0x83;

constexpr std::uint8_t kReadStatus = 0x53;
constexpr std::uint8_t kReadBacklight = 0x50;  // with type 0x03; with the own type it is SetLock
constexpr std::uint8_t kSetBacklightTime = 0x51;
constexpr std::uint8_t kSetBacklightBrightness = 0x52;
constexpr std::uint8_t kSetOutputFormat = 0x19;

constexpr std::uint8_t kLastBacklightTime = 4;
constexpr std::uint8_t kMaxBrightness = 100;
constexpr std::size_t kNameRoom = 32;  // bytes of UTF-16LE in the status reply
constexpr std::size_t kNameChars = kNameRoom / 2;
constexpr std::size_t kNetworkModeIndex = 12;  // after the twelve address bytes

constexpr std::uint8_t kFormatCodes[] = {7,  23, 11, 3,  19, 13, 5,  21, 9, 25, 1,
                                         14, 30, 6,  10, 26, 2,  12, 4,  8, 24};

std::uint8_t Flag(std::uint8_t value) {
  return value != 0 ? 1 : 0;
}

std::u16string FitName(std::u16string name) {
  if (name.size() > kNameChars) {
    name.resize(kNameChars);
  }
  return name;
}

// A channel number 1..channels taken from the front of the text: decimal, no leading zero.
std::optional<std::uint8_t> TakeChannel(std::string_view& text, std::size_t channels) {
  std::size_t digits = 0;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
    ++digits;
  }
  if (digits == 0 || digits > 2 || text[0] == '0') {
    return std::nullopt;
  }
  unsigned value = 0;
  for (std::size_t i = 0; i < digits; ++i) {
    value = value * 10 + static_cast<unsigned>(text[i] - '0');
  }
  text.remove_prefix(digits);
  if (value > channels) {
    return std::nullopt;
  }
  return static_cast<std::uint8_t>(value);
}

// The routes after the text, or nothing when the text is not one whole routing command.
std::optional<std::vector<std::uint8_t>> Routed(std::string_view text,
                                                std::vector<std::uint8_t> routes) {
  const std::size_t channels = routes.size();
  if (text == "All#.") {
    std::iota(routes.begin(), routes.end(), std::uint8_t{1});
    return routes;
  }
  const std::optional<std::uint8_t> input = TakeChannel(text, channels);
  if (!input) {
    return std::nullopt;
  }
  if (text == "All.") {
    std::ranges::fill(routes, *input);
    return routes;
  }
  if (!text.starts_with('V')) {
    return std::nullopt;
  }
  text.remove_prefix(1);
  while (true) {
    const std::optional<std::uint8_t> output = TakeChannel(text, channels);
    if (!output) {
      return std::nullopt;
    }
    routes[*output - 1] = *input;
    if (text == ".") {
      return routes;
    }
    if (!text.starts_with(',')) {
      return std::nullopt;
    }
    text.remove_prefix(1);
  }
}

}  // namespace

SimMatrix::SimMatrix(SimDeviceConfig config)
    : SimDevice(std::move(config)), channels_(Config().kind == DeviceKind::Matrix16 ? 16 : 8) {
  state_.routes.resize(channels_);
  std::iota(state_.routes.begin(), state_.routes.end(), std::uint8_t{1});
  for (const char c : Config().name) {
    state_.name.push_back(static_cast<unsigned char>(c));
  }
  state_.name = FitName(std::move(state_.name));
}

MatrixState SimMatrix::State() const {
  const std::lock_guard lock(mutex_);
  return state_;
}

bool SimMatrix::Route(std::uint8_t input, std::uint8_t output) {
  if (input < 1 || input > channels_ || output < 1 || output > channels_) {
    return false;
  }
  const std::lock_guard lock(mutex_);
  state_.routes[output - 1] = input;
  return true;
}

std::string SimMatrix::DiscoverName() const {
  const std::lock_guard lock(mutex_);
  std::string name;
  for (const char16_t c : state_.name) {
    name.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
  }
  return name;
}

std::vector<OutgoingMessage> SimMatrix::Respond(std::span<const std::uint8_t> bytes,
                                                const UdpEndpoint& from) {
  if (bytes.empty()) {
    return {};
  }
  if (bytes.front() == frame::kStart) {
    return RespondToFrame(bytes, from);
  }
  std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  // Line endings typed on a terminal stay in front of the next text on the serial line.
  while (!text.empty() && (text.front() == '\r' || text.front() == '\n' || text.front() == ' ')) {
    text.remove_prefix(1);
  }
  const std::lock_guard lock(mutex_);
  if (state_.LockState == 0) {
    ApplyTextLocked(text);
  }
  return {};  // routing texts get no answer
}

std::vector<OutgoingMessage> SimMatrix::RespondToFrame(std::span<const std::uint8_t> bytes,
                                                       const UdpEndpoint& from) {
  if (!IsFrameShaped(bytes) || bytes.size() < frame::kOverhead) {
    return {};
  }
  const std::uint8_t code = bytes[frame::kCommandCodeOffset];
  const std::uint8_t type = bytes[frame::kDeviceTypeOffset];
  if (code == CommandCode::Discover) {
    return SimDevice::Respond(bytes, from);  // reads the name under the lock itself
  }
  const LinkKind link = bytes[frame::kLinkKindOffset] == 0 ? LinkKind::Serial : LinkKind::Lan;
  const auto payload = bytes.subspan(frame::kPayloadOffset, bytes.size() - frame::kOverhead);
  const std::lock_guard lock(mutex_);
  if (code == kReadStatus && (type == kEightChannelType || type == kSixteenChannelType)) {
    // Either panel's query gets this switcher's own layout.
    return {{StatusReplyLocked(link), from}};
  }
  if (code == kReadBacklight && type == kMatrixValueDeviceType) {
    return {{BacklightReplyLocked(link), from}};
  }
  if (code == CommandCode::SetLock && type == Config().DeviceType) {
    if (!payload.empty()) {
      state_.LockState = Flag(payload[0]);
    }
    return {};
  }
  if (state_.LockState == 0) {
    ApplySetterLocked(type, code, payload);
  }
  return {};
}

void SimMatrix::ApplyTextLocked(std::string_view text) {
  if (std::optional<std::vector<std::uint8_t>> routes = Routed(text, state_.routes)) {
    state_.routes = std::move(*routes);
  }
}

void SimMatrix::ApplySetterLocked(std::uint8_t type, std::uint8_t code,
                                  std::span<const std::uint8_t> p) {
  MatrixState& s = state_;
  const bool valueFrame = type == kMatrixValueDeviceType;
  const bool ownType = type == Config().DeviceType;
  if (valueFrame && code == kSetBacklightTime && !p.empty() && p[0] <= kLastBacklightTime) {
    s.BacklightTime = p[0];
  } else if (valueFrame && code == kSetBacklightBrightness && !p.empty() &&
             p[0] <= kMaxBrightness) {
    s.BacklightBrightness = p[0];
  } else if (code == kSetOutputFormat && type == kSixteenChannelType && channels_ == 16 &&
             p.size() >= 2 && std::ranges::find(kFormatCodes, p[1]) != std::end(kFormatCodes)) {
    s.OutputFormat = p[1];
  } else if (ownType && code == CommandCode::SetDeviceName) {
    s.name = FitName(DecodeUtf16Le(p));
  } else if (ownType && code == CommandCode::SetNetwork && p.size() > kNetworkModeIndex) {
    s.AddressMode = Flag(p[kNetworkModeIndex]);
  }
}

Frame SimMatrix::StatusReplyLocked(LinkKind link) const {
  std::vector<std::uint8_t> payload{0x00};  // byte 17, which the controller does not read
  payload.insert(payload.end(), state_.routes.begin(), state_.routes.end());
  payload.push_back(state_.LockState);
  payload.push_back(state_.AddressMode);
  if (channels_ == 16) {
    payload.push_back(state_.OutputFormat);
  }
  const std::vector<std::uint8_t> name = EncodeUtf16Le(state_.name);  // fits: at most 16 chars
  payload.push_back(static_cast<std::uint8_t>(name.size()));
  const std::size_t nameAt = payload.size();
  payload.resize(nameAt + kNameRoom, 0x00);
  std::ranges::copy(name, payload.begin() + static_cast<std::ptrdiff_t>(nameAt));
  return BuildOwnFrame(link, kReadStatus, payload);
}

Frame SimMatrix::BacklightReplyLocked(LinkKind link) const {
  const std::uint8_t payload[] = {0x00, state_.BacklightTime, state_.BacklightBrightness};
  return BuildOwnFrame(link, kReadBacklight, payload);
}

}  // namespace quintara::sim
