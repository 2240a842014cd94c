#include "sim/SimMultiviewer.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <utility>

#include "core/viewer/protocol/ReportCodes.h"

namespace quintara::sim {
namespace {

namespace vc = ViewerCode;

constexpr std::uint8_t kWhite = 7;
constexpr std::uint8_t kTrans = 14;
constexpr std::uint8_t k1080p60Input = 31;
constexpr std::size_t kUmdTextStart = 196;
constexpr std::size_t kUmdTextStride = 35;
constexpr std::size_t kNameStart = 756;
constexpr std::size_t kLabelPrefix = 8;  // input byte and the fixed run 01 00 01 00 01 00 01

std::uint8_t Flag(std::uint8_t value) {
  return value != 0 ? 1 : 0;
}
bool IsChannel(std::uint8_t number) {
  return number >= 1 && number <= kViewerChannels;
}

bool IsLayout(std::uint8_t code) {
  static constexpr std::uint8_t kMulti[] = {40, 41, 42, 60,  61,  80,  81,  82,  83,  90,
                                            91, 92, 93, 100, 101, 102, 111, 121, 160, 161};
  return IsChannel(code) || std::ranges::find(kMulti, code) != std::end(kMulti);
}

bool IsColourCode(std::uint8_t code) {
  using namespace ViewerCode;
  return code == SetUmdTextColour || code == SetUmdBackColour || code == SetFormatTextColour ||
         code == SetFormatBackColour || code == SetTimecodeTextColour ||
         code == SetTimecodeBackColour;
}

std::u16string Widen(std::string_view latin1) {
  std::u16string text;
  for (const char c : latin1) {
    text.push_back(static_cast<unsigned char>(c));
  }
  return text;
}

std::u16string DecodeUtf16Le(std::span<const std::uint8_t> bytes, std::size_t maxChars) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < bytes.size() && text.size() < maxChars; i += 2) {
    text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
  }
  return text;
}

// Writes as much of the text as fits the room; returns the bytes written.
std::uint8_t PutUtf16Le(std::u16string_view text, std::span<std::uint8_t> room) {
  std::size_t at = 0;
  for (const char16_t c : text) {
    if (at + 2 > room.size()) {
      break;
    }
    room[at++] = static_cast<std::uint8_t>(c & 0xFF);
    room[at++] = static_cast<std::uint8_t>(c >> 8);
  }
  return static_cast<std::uint8_t>(at);
}

}  // namespace

MultiviewerState MultiviewerState::Defaults(std::u16string name) {
  MultiviewerState state;
  state.name = std::move(name);
  for (std::size_t k = 0; k < kViewerChannels; ++k) {
    const auto number = static_cast<std::uint8_t>(k + 1);
    state.UmdTextColour[k] = kWhite;
    state.UmdBackColour[k] = kTrans;
    state.UmdOn[k] = 1;
    state.FormatTextColour[k] = kWhite;
    state.FormatBackColour[k] = kTrans;
    state.MeterOn[k] = 1;
    state.TimecodeTextColour[k] = kWhite;
    char label[8];
    std::snprintf(label, sizeof label, "Umd_%02u", static_cast<unsigned>(number));
    state.UmdText[k] = Widen(label);
    state.WindowSource[k] = number;
    state.SwitcherSource[k] = number;
    state.WindowSignal[k] = {1, k1080p60Input};
  }
  return state;
}

std::array<std::uint8_t, kStateImageSize> EncodeStateImage(const MultiviewerState& s) {
  std::array<std::uint8_t, kStateImageSize> image{};
  image[0] = s.LayoutCode;
  image[1] = s.OutputFormat & 0x0F;
  image[2] = static_cast<std::uint8_t>((s.AudioSource & 0x1F) | (s.AllMetersOn << 7));
  image[3] = static_cast<std::uint8_t>(s.AllUmdOn | (s.FormatStatusOn << 1) | (s.TimecodeOn << 2) |
                                       (s.AudioAlarmOn << 3) | (s.BorderOn << 4) |
                                       (s.AddressMode << 6) | (s.SwitcherMode << 7));
  std::ranges::copy(s.WindowSource, image.begin() + 4);
  std::ranges::copy(s.SwitcherSource, image.begin() + 20);
  for (std::size_t i = 0; i < kViewerChannels; ++i) {
    image[36 + 2 * i] = static_cast<std::uint8_t>(s.UmdOn[i] | ((s.UmdTextColour[i] & 0x0F) << 1));
    image[37 + 2 * i] = s.UmdBackColour[i] & 0x1F;
  }
  for (std::size_t j = 0; j < kViewerChannels; ++j) {
    std::uint8_t* window = image.data() + 68 + 8 * j;
    window[0] = static_cast<std::uint8_t>(s.MeterOn[j] | ((s.MeterChannels[j] & 0x0F) << 1));
    window[1] = static_cast<std::uint8_t>((s.WindowSignal[j].formatCode & 0x3F) |
                                          (s.WindowSignal[j].present << 6));
    window[2] = static_cast<std::uint8_t>((s.FormatTextColour[j] & 0x0F) << 1);
    window[3] = s.FormatBackColour[j] & 0x1F;
    window[4] = static_cast<std::uint8_t>((s.TimecodeTextColour[j] & 0x0F) << 1);
    window[5] = s.TimecodeBackColour[j] & 0x1F;
  }
  for (std::size_t i = 0; i < kViewerChannels; ++i) {
    const std::size_t at = kUmdTextStart + kUmdTextStride * i;
    image[at] = PutUtf16Le(s.UmdText[i], std::span(image).subspan(at + 1, kUmdTextRoom));
  }
  image[kNameStart] = PutUtf16Le(s.name, std::span(image).subspan(kNameStart + 1, kDeviceNameRoom));
  return image;
}

SimMultiviewer::SimMultiviewer(SimDeviceConfig config)
    : SimDevice(std::move(config)),
      state_(MultiviewerState::Defaults(Widen(Config().name))),
      defaults_(state_),
      memories_{state_, state_} {}

MultiviewerState SimMultiviewer::State() const {
  const std::lock_guard lock(mutex_);
  return state_;
}

std::array<std::uint8_t, kStateImageSize> SimMultiviewer::StateImage() const {
  const std::lock_guard lock(mutex_);
  return EncodeStateImage(state_);
}

std::optional<UdpEndpoint> SimMultiviewer::ReportDestination() const {
  const std::lock_guard lock(mutex_);
  if (!commander_) {
    return std::nullopt;
  }
  return UdpEndpoint{*commander_, Config().statusPort};
}

std::string SimMultiviewer::DiscoverName() const {
  const std::lock_guard lock(mutex_);
  std::string name;
  for (const char16_t c : state_.name) {
    name.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
  }
  return name;
}

bool SimMultiviewer::SetLayout(std::uint8_t layoutCode) {
  return FrontPanel(ViewerCode::SetLayout, std::array{layoutCode});
}

bool SimMultiviewer::SetWindowSource(std::uint8_t window, std::uint8_t input) {
  return FrontPanel(ViewerCode::SetWindowSource, std::array{input, window});
}

bool SimMultiviewer::SetUmdOn(std::uint8_t input, bool on) {
  return FrontPanel(ViewerCode::SetUmdOn, std::array{input, static_cast<std::uint8_t>(on)});
}

bool SimMultiviewer::SetAllUmd(bool on) {
  return FrontPanel(ViewerCode::SetAllUmd, std::array{static_cast<std::uint8_t>(on)});
}

bool SimMultiviewer::SetColour(std::uint8_t commandCode, std::uint8_t item, std::uint8_t colour) {
  return IsColourCode(commandCode) && FrontPanel(commandCode, std::array{item, colour});
}

bool SimMultiviewer::SetOutputFormat(std::uint8_t formatCode) {
  return FrontPanel(ViewerCode::SetOutputFormat, std::array<std::uint8_t, 2>{0, formatCode});
}

bool SimMultiviewer::SetAllMeters(bool on) {
  return FrontPanel(ViewerCode::SetAllMeters, std::array{static_cast<std::uint8_t>(on)});
}

bool SimMultiviewer::SetSwitcherMode(std::uint8_t mode) {
  return FrontPanel(ViewerCode::SetSwitcherMode, std::array{mode});
}

bool SimMultiviewer::SetSignal(std::uint8_t window, bool present, std::uint8_t formatCode) {
  if (!IsChannel(window) || formatCode > 0x3F) {
    return false;
  }
  const std::lock_guard lock(mutex_);
  const auto presentByte = static_cast<std::uint8_t>(present);
  state_.WindowSignal[window - 1] = {presentByte, formatCode};
  const auto index = static_cast<std::uint8_t>(window - 1);
  ReportLocked(ViewerCode::WindowSignalReport, std::array{index, presentByte, formatCode});
  return true;
}

bool SimMultiviewer::FrontPanel(std::uint8_t commandCode, std::span<const std::uint8_t> payload) {
  const std::lock_guard lock(mutex_);
  return ApplyLocked(commandCode, payload);
}

std::vector<OutgoingMessage> SimMultiviewer::Respond(std::span<const std::uint8_t> bytes,
                                                     const UdpEndpoint& from) {
  if (!IsFrameShaped(bytes) || bytes.size() < frame::kOverhead) {
    return {};
  }
  const std::uint8_t code = bytes[frame::kCommandCodeOffset];
  const LinkKind link = bytes[frame::kLinkKindOffset] == 0 ? LinkKind::Serial : LinkKind::Lan;
  const auto payload = bytes.subspan(frame::kPayloadOffset, bytes.size() - frame::kOverhead);
  std::unique_lock lock(mutex_);
  // Serial frames come with an empty endpoint; only a UDP commander gets reports.
  if (from.port != 0) {
    commander_ = from.address;
  }
  switch (code) {
    case CommandCode::Discover:
      lock.unlock();  // the answer reads the name under the lock
      return SimDevice::Respond(bytes, from);
    case ViewerCode::ReadState:
      return {{ReadStateReply(link), from}};
    case CommandCode::SetLock:
      if (!payload.empty()) {
        state_.LockState = Flag(payload[0]);
      }
      return {};
    default:
      if (state_.LockState == 0) {
        ApplyLocked(code, payload);
      }
      return {};
  }
}

bool SimMultiviewer::ApplyLocked(std::uint8_t code, std::span<const std::uint8_t> p) {
  MultiviewerState& s = state_;
  const std::uint8_t v = p.empty() ? 0 : p[0];
  const std::uint8_t u = p.size() < 2 ? 0 : p[1];
  const auto report = [&](std::initializer_list<std::uint8_t> values) {
    ReportLocked(code, std::span(values.begin(), values.size()));
  };
  if (IsColourCode(code)) {
    return p.size() >= 2 && ApplyColourLocked(code, v, u);
  }
  switch (code) {
    case vc::LoadDefaults:
      RestoreSettingsLocked(defaults_);
      report({0});
      return true;
    case vc::LoadCustom:
    case vc::SaveCustom:
      if (v != 1 && v != 2) {
        return false;
      }
      if (code == vc::SaveCustom) {
        memories_[v - 1] = s;
        return true;
      }
      RestoreSettingsLocked(memories_[v - 1]);
      report({v});
      return true;
    case vc::SetOutputFormat:
      if (p.size() < 2 || u > 0x0F) {
        return false;
      }
      s.OutputFormat = u;
      report({0, u});
      return true;
    case vc::SetUmdText:
      if (p.size() < kLabelPrefix || !IsChannel(v)) {
        return false;
      }
      s.UmdText[v - 1] = DecodeUtf16Le(p.subspan(kLabelPrefix), kUmdTextRoom / 2);
      return true;  // the listener has no report for labels
    case vc::SetLayout:
      if (p.empty() || !IsLayout(v)) {
        return false;
      }
      s.LayoutCode = v;
      report({v});
      return true;
    case vc::SetWindowSource:
      if (p.size() < 2 || !IsChannel(v) || !IsChannel(u)) {
        return false;
      }
      (s.SwitcherMode != 0 ? s.SwitcherSource : s.WindowSource)[u - 1] = v;
      report({v, u});
      return true;
    case vc::SetUmdOn:
    case vc::SetMeterOn:
    case vc::SetMeterChannels:
      if (p.size() < 2 || !IsChannel(v) || (code == vc::SetMeterChannels && u > 0x0F)) {
        return false;
      }
      if (code == vc::SetMeterChannels) {
        s.MeterChannels[v - 1] = u;
      } else {
        (code == vc::SetUmdOn ? s.UmdOn : s.MeterOn)[v - 1] = Flag(u);
      }
      report({v, code == vc::SetMeterChannels ? u : Flag(u)});
      return true;
    case vc::SetAudioSource:
      if (p.empty() || v > kViewerChannels) {
        return false;
      }
      s.AudioSource = v;
      report({v});
      return true;
    case vc::SetBorder:
    case vc::SetAudioAlarm:
    case vc::SetAllMeters:
    case vc::SetAllUmd:
    case vc::SetFormatStatus:
    case vc::SetTimecode: {
      if (p.empty()) {
        return false;
      }
      std::uint8_t& field = code == vc::SetBorder       ? s.BorderOn
                            : code == vc::SetAudioAlarm ? s.AudioAlarmOn
                            : code == vc::SetAllMeters  ? s.AllMetersOn
                            : code == vc::SetAllUmd     ? s.AllUmdOn
                            : code == vc::SetTimecode   ? s.TimecodeOn
                                                        : s.FormatStatusOn;
      field = Flag(v);
      report({field});
      return true;
    }
    case vc::SetOneToOne:
      for (std::uint8_t k = 1; k <= kViewerChannels; ++k) {
        s.SwitcherSource[k - 1] = k;
        ReportLocked(vc::SetWindowSource, std::array{k, k});
      }
      return true;
    case vc::SetSwitcherMode:
      if (p.empty()) {
        return false;
      }
      s.SwitcherMode = Flag(v);
      ReportLocked(vc::DeviceWideChange, std::array{s.SwitcherMode});
      return true;
    case CommandCode::SetDeviceName:
      s.name = DecodeUtf16Le(p, kDeviceNameRoom / 2);
      return true;
    case CommandCode::SetNetwork:
      if (p.size() < s.NetworkPayload.size() + 1) {
        return false;
      }
      std::ranges::copy(p.first(s.NetworkPayload.size()), s.NetworkPayload.begin());
      s.AddressMode = Flag(p[s.NetworkPayload.size()]);
      return true;
    default:
      return false;
  }
}

bool SimMultiviewer::ApplyColourLocked(std::uint8_t code, std::uint8_t item, std::uint8_t colour) {
  const bool background = code == vc::SetUmdBackColour || code == vc::SetFormatBackColour ||
                          code == vc::SetTimecodeBackColour;
  if (item > kViewerChannels || colour > (background ? 31 : 15)) {
    return false;
  }
  MultiviewerState& s = state_;
  PerChannel<std::uint8_t>& table = code == vc::SetUmdTextColour        ? s.UmdTextColour
                                    : code == vc::SetUmdBackColour      ? s.UmdBackColour
                                    : code == vc::SetFormatTextColour   ? s.FormatTextColour
                                    : code == vc::SetFormatBackColour   ? s.FormatBackColour
                                    : code == vc::SetTimecodeTextColour ? s.TimecodeTextColour
                                                                        : s.TimecodeBackColour;
  // Item 0 is every input or window, for the time code colours too.
  if (item == 0) {
    table.fill(colour);
  } else {
    table[item - 1] = colour;
  }
  ReportLocked(code, std::array{item, colour});
  return true;
}

void SimMultiviewer::RestoreSettingsLocked(const MultiviewerState& from) {
  MultiviewerState next = from;
  // The lock, the network and the name are not settings of a memory; signals are the inputs'.
  next.LockState = state_.LockState;
  next.AddressMode = state_.AddressMode;
  next.NetworkPayload = state_.NetworkPayload;
  next.name = state_.name;
  next.WindowSignal = state_.WindowSignal;
  state_ = std::move(next);
}

void SimMultiviewer::ReportLocked(std::uint8_t code, std::span<const std::uint8_t> values) const {
  // Only what a listener takes as a report leaves, with at least the values it reads.
  const ReportCode* report = FindReportCode(code);
  if (!commander_ || report == nullptr || values.size() < report->values) {
    return;
  }
  std::vector<std::uint8_t> payload{0x00};  // byte 17, which the listener does not read
  payload.insert(payload.end(), values.begin(), values.end());
  // Sent under the state lock, so reports leave in the order the changes were made.
  Send({BuildOwnFrame(LinkKind::Lan, code, payload), {*commander_, Config().statusPort}});
}

Frame SimMultiviewer::ReadStateReply(LinkKind link) const {
  const std::array<std::uint8_t, kStateImageSize> image = EncodeStateImage(state_);
  // 809 bytes hold byte 17 and all of the image but its last byte, whose place is the sum's low
  // byte. Byte 17 is not read, so it is chosen to make that low byte equal the image byte.
  std::vector<std::uint8_t> payload(kStateReplySize - frame::kOverhead);
  std::copy(image.begin(), image.end() - 1, payload.begin() + 1);
  Frame reply = BuildOwnFrame(link, ViewerCode::ReadState, payload);
  const std::size_t sumOffset = reply.size() - 3;
  reply[frame::kPayloadOffset] = static_cast<std::uint8_t>(image.back() - reply[sumOffset]);
  const std::uint16_t sum = FrameSum(std::span(reply).first(sumOffset));
  reply[sumOffset] = static_cast<std::uint8_t>(sum & 0xFF);
  reply[sumOffset + 1] = static_cast<std::uint8_t>(sum >> 8);
  return reply;
}

}  // namespace quintara::sim
