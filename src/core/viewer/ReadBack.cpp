#include "core/viewer/ReadBack.h"

#include <algorithm>
#include <array>

#include "core/Controller.h"
#include "core/viewer/StateImageDecoder.h"
#include "core/viewer/ViewerCommands.h"

namespace quintara {
namespace {

constexpr std::size_t kReceiveBufferSize = 1024;
constexpr std::uint8_t kMultiviewerType = 0xA1;

void StoreImage(ViewerState& viewer, std::span<const std::uint8_t> reply) {
  std::ranges::copy(reply.subspan(kStateImageOffset, kStateImageSize), viewer.StateImage.begin());
}

// The exchange on the network: true when the request went out.
bool ExchangeOnLan(Controller& controller, const Frame& request, std::int64_t start) {
  NetworkLink& network = controller.Network();
  if (!network.OpenCommandSocket()) {
    return false;
  }
  Clock& clock = controller.GetClock();
  const LinkTiming& timing = controller.Timing();
  UdpSocket& socket = *network.CommandSocket();
  socket.SendTo(request, network.CommandPeer());
  clock.SleepMs(timing.lanSendPauseMs);
  std::array<std::uint8_t, kReceiveBufferSize> buffer{};
  for (std::int64_t elapsed = clock.NowMs() - start; elapsed <= timing.readBackWindowMs;
       elapsed = clock.NowMs() - start) {
    const std::optional<ReceivedDatagram> datagram = socket.ReceiveFrom(buffer);
    if (!datagram) {
      socket.WaitReadable(
          static_cast<int>(std::max<std::int64_t>(timing.readBackWindowMs - elapsed, 1)));
      continue;
    }
    const auto reply =
        std::span<const std::uint8_t>(buffer).first(std::min(datagram->size, buffer.size()));
    if (IsStateReply(reply)) {
      StoreImage(controller.Viewer(), reply);
      break;
    }
  }
  network.CloseCommandSocket();
  return true;
}

// The exchange on the serial line: true when the request went out.
bool ExchangeOnSerial(Controller& controller, const Frame& request, std::int64_t start) {
  CnComm& port = controller.SerialPort();
  if (!port.IsOpen()) {
    return false;
  }
  Clock& clock = controller.GetClock();
  const LinkTiming& timing = controller.Timing();
  DiscardInput(port);
  port.SerialWrite(request);
  clock.SleepMs(timing.serialSendPauseMs);
  std::array<std::uint8_t, kReceiveBufferSize> buffer{};
  while (clock.NowMs() - start <= timing.readBackWindowMs) {
    const int queued = port.QueuedInput();
    clock.SleepMs(timing.readBackSerialPollMs);
    // A queue that cannot be read is not a reply that has arrived.
    if (queued < static_cast<int>(kStateReplySize)) {
      continue;
    }
    const auto reply = std::span(buffer).first(kStateReplySize);
    if (port.SerialRead(reply) == kStateReplySize) {
      StoreImage(controller.Viewer(), reply);
    }
    break;
  }
  return true;
}

void Decode(Controller& controller) {
  ViewerState& viewer = controller.Viewer();
  const DecodedDevice device = DecodeStateImage(viewer);
  if (device.nameText) {
    controller.SetNameText(*device.nameText);
  }
  ControllerObserver& observer = controller.Observer();
  observer.NameFieldChanged(device.nameField);
  observer.LockStateChanged(controller.LockState());
  controller.SetAddressMode(device.AddressMode);
}

}  // namespace

bool IsStateReply(std::span<const std::uint8_t> datagram) {
  return datagram.size() >= kStateReplySize &&
         datagram[frame::kCommandCodeOffset] == ViewerCode::ReadState &&
         datagram[frame::kDeviceTypeOffset] == kMultiviewerType;
}

bool ReadBack(Controller& controller) {
  const std::int64_t start = controller.GetClock().NowMs();
  const DeviceEntry entry = controller.SelectedOrEmptyEntry();
  const Frame request = BuildFrame(entry.DeviceType, entry.DeviceAddress, controller.CurrentLink(),
                                   ViewerCode::ReadState);
  const bool sent = controller.CurrentLink() == LinkKind::Lan
                        ? ExchangeOnLan(controller, request, start)
                        : ExchangeOnSerial(controller, request, start);
  if (!sent) {
    return false;
  }
  Decode(controller);
  return true;
}

}  // namespace quintara
