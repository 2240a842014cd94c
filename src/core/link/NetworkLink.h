#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/link/DeviceListView.h"
#include "core/link/Link.h"
#include "core/link/LinkConfig.h"
#include "core/platform/Clock.h"
#include "core/platform/UdpSocket.h"

namespace quintara {

inline constexpr std::string_view kCreateSocketError = "Create socket err";
inline constexpr std::string_view kChooseDeviceError = "Please choose a device";
// The status line's note when a command left from another port than the command port.
inline constexpr std::string_view kPortBusyText = "Port busy: sent from another port";

// The UDP link: the search socket, the command socket and the status socket. At most one search
// or command socket is open at a time; they share the local port.
class NetworkLink final : public Link {
 public:
  // The view's status line tells when a command left from another port than the command port.
  NetworkLink(LinkConfig config, const LinkTiming& timing, Clock& clock, DeviceListView& view);

  // One datagram to the device's command port, then the protocol's pause. Nothing is shown to
  // the operator: what went wrong is in the result (and in SetupFailure).
  [[nodiscard]] SendResult SendFrame(std::span<const std::uint8_t> frame,
                                     const std::optional<Ipv4Address>& device,
                                     SerialPause pause = SerialPause::After,
                                     BusyPort busyPort = BusyPort::Refuse) override;
  // The request goes from the search socket to every search target, or from the command socket
  // to the exchange's device; replies are taken from the same socket. Nothing is shown to the
  // operator.
  [[nodiscard]] ExchangeOutcome RunExchange(const Exchange& exchange) override;

  // What the status socket asks for: room for thousands of reports that arrive in a burst
  // while the listener is busy, where the system's default holds a few hundred.
  static constexpr std::size_t kStatusReceiveBuffer = 4 * 1024 * 1024;

  // The status socket belongs to whoever receives the reports; nothing is sent on it. One per
  // process: every device sends its reports to the same port.
  std::optional<UdpSocket> OpenStatusSocket();
  void CloseCommandSocket() { socket_.reset(); }

  const LinkConfig& Config() const { return config_; }
  // Why the last search, command or status socket could not be set up on this machine (no
  // socket to be had, a local port held by another program); empty when it could, or when only
  // the device was missing.
  const std::string& SetupFailure() const { return setupFailure_; }

 private:
  bool OpenSearchSocket();
  bool OpenCommandSocket(const std::optional<Ipv4Address>& device, BusyPort busyPort);
  // A socket bound to localPort on the bind address, aimed at the device's devicePort; nothing
  // without a device, SetupFailure saying why when the device was not all that was missing.
  // With SendAnyway a port held elsewhere leaves the socket on a port of the system's choosing.
  std::optional<UdpSocket> OpenAimedSocket(std::uint16_t localPort, std::uint16_t devicePort,
                                           const std::optional<Ipv4Address>& device,
                                           UdpEndpoint& aim, BusyPort busyPort);
  // Notes why a local socket could not be set up; false, for the caller to return.
  bool SetUpFailed(const std::string& what);
  void SendRequest(const Exchange& exchange);
  ExchangeOutcome AwaitReply(const Exchange& exchange);

  LinkConfig config_;
  const LinkTiming& timing_;
  Clock& clock_;
  DeviceListView& view_;

  std::optional<UdpSocket> socket_;
  std::string setupFailure_;
  UdpEndpoint commandPeer_;
};

}  // namespace quintara
