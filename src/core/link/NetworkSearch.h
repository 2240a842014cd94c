#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/link/ControlFrame.h"
#include "core/link/DeviceDirectory.h"
#include "core/link/DeviceListView.h"
#include "core/link/Link.h"
#include "core/link/LinkConfig.h"
#include "core/platform/Clock.h"

namespace quintara {

// Ends a search early once the device at this address has answered (the command line uses it
// to reach one named device without waiting out the whole window).
struct SearchStop {
  std::optional<Ipv4Address> answeredBy;
};

// What a search over the network heard.
struct NetworkFind {
  bool sent = false;  // false when no search socket could be had and nothing was sent
  // In the order they answered; no more than the device table keeps.
  std::vector<DiscoveredDevice> devices;
};

// The search over the network: one Discover to every search target, and the answers of the
// devices collected. The search itself keeps what it hears to itself; Conclude hands it to the
// device table on the owner's thread.
class NetworkSearch {
 public:
  NetworkSearch(const LinkTiming& timing, Clock& clock) : timing_(timing), clock_(clock) {}

  // Sends the Discover and collects the answers until the window ends or the awaited device
  // answered.
  NetworkFind SearchNetwork(Link& link, std::span<const std::uint8_t> discover,
                            const SearchStop& stop = {});

  // Fills the device table from what was heard; selects the first device found.
  static void Conclude(const NetworkFind& found, DeviceDirectory& devices, DeviceListView& view);

 private:
  Verdict JudgeAnswer(const Arrival& arrival, const SearchStop& stop);
  // Keeps every device of one answer; true when the awaited device was among them.
  bool KeepAnswer(std::span<const std::uint8_t> answer, const Ipv4Address& sender,
                  const SearchStop& stop);

  const LinkTiming& timing_;
  Clock& clock_;
  NetworkFind found_;
};

}  // namespace quintara
