#include "core/viewer/protocol/ReadBack.h"

#include <algorithm>

#include "core/session/DeviceSession.h"
#include "core/viewer/protocol/StateImageDecoder.h"
#include "core/viewer/protocol/ViewerCommands.h"

namespace quintara {
namespace {

constexpr std::size_t kReceiveBufferSize = 1024;

void StoreImage(ViewerState& viewer, std::span<const std::uint8_t> reply) {
  std::ranges::copy(reply.subspan(kStateImageOffset, kStateImageSize), viewer.StateImage.begin());
}

// The network takes the first datagram that is a state reply. The serial line takes the first
// 809 bytes that arrive, untested; fewer, once read, end the wait.
Verdict JudgeStateReply(ViewerState& viewer, LinkKind kind, const std::optional<Arrival>& arrival) {
  if (!arrival || arrival->bytes.empty()) {
    return Verdict::KeepWaiting;
  }
  const std::span<const std::uint8_t> bytes = arrival->bytes;
  if (kind == LinkKind::Serial) {
    if (bytes.size() < kStateReplySize) {
      return Verdict::GaveUp;
    }
    StoreImage(viewer, bytes);
    return Verdict::Accepted;
  }
  if (!IsStateReply(bytes)) {
    return Verdict::KeepWaiting;
  }
  StoreImage(viewer, bytes);
  return Verdict::Accepted;
}

void Decode(DeviceSession& session) {
  ViewerState& viewer = session.Viewer();
  const DecodedDevice device = DecodeStateImage(viewer);
  if (device.nameText) {
    session.SetNameText(*device.nameText);
  }
  ControllerObserver& observer = session.Observer();
  observer.NameFieldChanged(device.nameField);
  observer.LockStateChanged(session.LockState());
  session.SetAddressMode(device.AddressMode);
}

}  // namespace

bool IsStateReply(std::span<const std::uint8_t> datagram) {
  return datagram.size() >= kStateReplySize &&
         datagram[frame::kCommandCodeOffset] == ViewerCode::ReadState &&
         datagram[frame::kDeviceTypeOffset] == kMultiviewerType;
}

ExchangeOutcome ReadBack(DeviceSession& session) {
  const LinkTiming& timing = session.Timing();
  const LinkKind kind = session.CurrentLink();
  const DeviceEntry entry = session.Entry();
  Exchange exchange;
  exchange.startMs = session.GetClock().NowMs();
  const Frame request =
      BuildFrame(entry.DeviceType, entry.DeviceAddress, kind, ViewerCode::ReadState);
  exchange.request = request;
  exchange.windowMs = timing.readBackWindowMs;
  exchange.pauseAfterSendMs = Exchange::kLinkPause;
  exchange.settleMs = timing.readBackSerialPollMs;
  exchange.readAtLeast = kStateReplySize;
  exchange.readAtMost = kStateReplySize;
  exchange.bufferSize = kReceiveBufferSize;
  exchange.judge = [&viewer = session.Viewer(), kind](const std::optional<Arrival>& arrival) {
    return JudgeStateReply(viewer, kind, arrival);
  };
  const ExchangeOutcome outcome = session.RunExchange(exchange);
  if (outcome == ExchangeOutcome::NotSent) {
    return outcome;
  }
  // Unanswered, the mirror keeps what it knows: the last image would take back every change
  // sent or reported since it was read.
  const bool answered = outcome == ExchangeOutcome::Answered;
  if (answered) {
    Decode(session);
  }
  session.NoteExchange(answered);
  return outcome;
}

}  // namespace quintara
