#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "core/link/DeviceDirectory.h"
#include "core/link/Link.h"
#include "core/link/LinkConfig.h"
#include "core/platform/Clock.h"
#include "core/platform/Prompter.h"
#include "core/platform/UdpSocket.h"

namespace quintara {

inline constexpr std::string_view kCreateSocketError = "Create socket err";
inline constexpr std::string_view kChooseDeviceError = "Please choose a device";

// The UDP link: the search socket, the command socket and the status socket. At most one search
// or command socket is open at a time; they share the local port.
class NetworkLink final : public Link {
 public:
  NetworkLink(LinkConfig config, const LinkTiming& timing, const DeviceDirectory& devices,
              Clock& clock, Prompter& prompter);

  // One datagram to the selected device's command port, then the protocol's pause.
  [[nodiscard]] bool SendFrame(std::span<const std::uint8_t> frame,
                               SerialPause pause = SerialPause::After) override;
  // The request goes from the search socket to every search target, or from the command socket
  // to the selected device; replies are taken from the same socket.
  [[nodiscard]] ExchangeOutcome RunExchange(const Exchange& exchange) override;

  // What the status socket asks for: room for thousands of reports that arrive in a burst
  // while the listener is busy, where the system's default holds a few hundred.
  static constexpr std::size_t kStatusReceiveBuffer = 4 * 1024 * 1024;

  // The status socket belongs to whoever receives the reports; nothing is sent on it.
  std::optional<UdpSocket> OpenStatusSocket();
  void CloseCommandSocket() { socket_.reset(); }

  const LinkConfig& Config() const { return config_; }

 private:
  bool OpenSearchSocket();
  bool OpenCommandSocket();
  // A socket bound to localPort on the bind address, aimed at the selected device's devicePort.
  std::optional<UdpSocket> OpenAimedSocket(std::uint16_t localPort, std::uint16_t devicePort,
                                           UdpEndpoint& aim);
  void SendRequest(const Exchange& exchange);
  ExchangeOutcome AwaitReply(const Exchange& exchange);

  LinkConfig config_;
  const LinkTiming& timing_;
  const DeviceDirectory& devices_;
  Clock& clock_;
  Prompter& prompter_;

  std::optional<UdpSocket> socket_;
  UdpEndpoint commandPeer_;
};

}  // namespace quintara
