#pragma once

#include <cstdint>
#include <optional>
#include <span>

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

// The search over the network: one Discover to every search target, and the answers of the
// devices collected into the device table.
class NetworkSearch {
 public:
  NetworkSearch(DeviceDirectory& devices, const LinkTiming& timing, Clock& clock)
      : devices_(devices), timing_(timing), clock_(clock) {}

  // Fills the device table from the answers; selects the first device found. False when no
  // search socket could be had and nothing was sent.
  bool SearchNetwork(Link& link, LinkKind kind, DeviceListView& view, const SearchStop& stop = {});

 private:
  Verdict JudgeAnswer(const Arrival& arrival, const SearchStop& stop);
  // Records every device of one answer; true when the awaited device was among them.
  bool RecordAnswer(std::span<const std::uint8_t> answer, const Ipv4Address& sender,
                    const SearchStop& stop);

  DeviceDirectory& devices_;
  const LinkTiming& timing_;
  Clock& clock_;
};

}  // namespace quintara
