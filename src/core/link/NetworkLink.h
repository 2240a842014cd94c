#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/ControllerObserver.h"
#include "core/link/ControlFrame.h"
#include "core/link/DeviceDirectory.h"
#include "core/link/LinkConfig.h"
#include "core/platform/Clock.h"
#include "core/platform/Prompter.h"
#include "core/platform/UdpSocket.h"

namespace quintara {

inline constexpr std::string_view kCreateSocketError = "Create socket err";
inline constexpr std::string_view kChooseDeviceError = "Please choose a device";

// Ends a search early once the device at this address has answered (the command line uses it
// to reach one named device without waiting out the whole window).
struct SearchStop {
  std::optional<Ipv4Address> answeredBy;
};

// The UDP side of the link: the search and the sockets. At most one search or command socket is
// open at a time; it shares the local port.
class NetworkLink {
 public:
  NetworkLink(LinkConfig config, LinkTiming timing, DeviceDirectory& devices, Clock& clock,
              Prompter& prompter);

  // Fills the device table from the answers to one Discover; selects the first device found.
  void SearchNetwork(LinkKind link, ControllerObserver& observer, const SearchStop& stop = {});

  bool OpenSearchSocket();
  bool OpenCommandSocket();
  // The status socket belongs to whoever receives the reports; nothing is sent on it.
  std::optional<UdpSocket> OpenStatusSocket();
  bool CloseCommandSocket();

  // One datagram to the selected device's command port, then the protocol's pause.
  bool SendToSelectedDevice(std::span<const std::uint8_t> bytes);

  // The open command socket and where it is aimed, for exchanges that read a reply.
  UdpSocket* CommandSocket() { return commandSocket_ ? &*commandSocket_ : nullptr; }
  const UdpEndpoint& CommandPeer() const { return commandPeer_; }

  const LinkConfig& Config() const { return config_; }

 private:
  // A socket bound to localPort on the bind address, aimed at the selected device's devicePort.
  std::optional<UdpSocket> OpenAimedSocket(std::uint16_t localPort, std::uint16_t devicePort,
                                           UdpEndpoint& aim);
  // Takes answers until the window closes or the stop condition is met.
  void CollectAnswers(std::int64_t start, const SearchStop& stop);
  // Records every device of one answer; true when the awaited device was among them.
  bool RecordAnswer(std::span<const std::uint8_t> answer, const Ipv4Address& sender,
                    const SearchStop& stop);

  LinkConfig config_;
  LinkTiming timing_;
  DeviceDirectory& devices_;
  Clock& clock_;
  Prompter& prompter_;

  std::optional<UdpSocket> commandSocket_;
  UdpEndpoint commandPeer_;
};

}  // namespace quintara
