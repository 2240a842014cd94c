#include "core/viewer/protocol/ReadBack.h"

#include <algorithm>
#include <utility>

#include "core/session/DeviceSession.h"
#include "core/viewer/protocol/StateImageDecoder.h"
#include "core/viewer/protocol/ViewerCommands.h"

namespace quintara {
namespace {

constexpr std::size_t kReceiveBufferSize = 1024;

void KeepImage(StateImageBytes& image, std::span<const std::uint8_t> reply) {
  std::ranges::copy(reply.subspan(kStateImageOffset, kStateImageSize), image.begin());
}

// The network takes the first datagram that is a state reply. The serial line takes the first
// 809 bytes that arrive, untested; fewer, once read, end the wait.
Verdict JudgeStateReply(StateImageBytes& image, LinkKind kind,
                        const std::optional<Arrival>& arrival) {
  if (!arrival || arrival->bytes.empty()) {
    return Verdict::KeepWaiting;
  }
  const std::span<const std::uint8_t> bytes = arrival->bytes;
  if (kind == LinkKind::Serial) {
    if (bytes.size() < kStateReplySize) {
      return Verdict::GaveUp;
    }
    KeepImage(image, bytes);
    return Verdict::Accepted;
  }
  if (!IsStateReply(bytes)) {
    return Verdict::KeepWaiting;
  }
  KeepImage(image, bytes);
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
  if (PanelSelections* panel = session.Panel()) {
    panel->PageSwitchPass = 1;
  }
}

}  // namespace

bool IsStateReply(std::span<const std::uint8_t> datagram) {
  return datagram.size() >= kStateReplySize &&
         datagram[frame::kCommandCodeOffset] == ViewerCode::ReadState &&
         datagram[frame::kDeviceTypeOffset] == kMultiviewerType;
}

StateRequest PrepareReadBack(const DeviceSession& session) {
  const DeviceEntry& entry = session.Entry();
  const LinkKind kind = session.CurrentLink();
  return {BuildFrame(entry.DeviceType, entry.DeviceAddress, kind, ViewerCode::ReadState), kind,
          session.Timing().readBackWindowMs, session.Timing().readBackSerialPollMs};
}

StateReply FetchState(DeviceSession& session, const StateRequest& request) {
  StateReply reply;
  Exchange exchange;
  exchange.startMs = session.GetClock().NowMs();
  exchange.request = request.request;
  exchange.windowMs = request.windowMs;
  exchange.pauseAfterSendMs = Exchange::kLinkPause;
  exchange.settleMs = request.serialPollMs;
  exchange.readAtLeast = kStateReplySize;
  exchange.readAtMost = kStateReplySize;
  exchange.bufferSize = kReceiveBufferSize;
  exchange.judge = [&image = reply.image,
                    kind = request.kind](const std::optional<Arrival>& arrival) {
    return JudgeStateReply(image, kind, arrival);
  };
  reply.outcome = session.RunExchange(exchange);
  return reply;
}

ExchangeOutcome ApplyStateReply(DeviceSession& session, const StateReply& reply) {
  if (reply.outcome == ExchangeOutcome::NotSent) {
    return reply.outcome;
  }
  // Unanswered, the mirror keeps what it knows: the last image would take back every change
  // sent or reported since it was read.
  if (reply.Answered()) {
    session.Viewer().StateImage = reply.image;
    Decode(session);
  }
  session.NoteExchange(reply.Answered());
  return reply.outcome;
}

ExchangeOutcome ReadBack(DeviceSession& session) {
  return ApplyStateReply(session, FetchState(session, PrepareReadBack(session)));
}

WireWork ReadBackWork(DeviceSession& session, std::function<void(ExchangeOutcome)> then) {
  return [&session, request = PrepareReadBack(session), then = std::move(then)]() -> Continuation {
    return [&session, reply = FetchState(session, request), then] {
      then(ApplyStateReply(session, reply));
    };
  };
}

}  // namespace quintara
