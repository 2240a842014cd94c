#pragma once

#include <memory>
#include <vector>

#include "core/Controller.h"
#include "core/link/LinkConfig.h"
#include "sim/SimDevice.h"
#include "sim/SimMatrix.h"
#include "sim/SimMultiviewer.h"
#include "sim/SimUdpServer.h"

namespace quintara::test {

// The three simulated devices on their own loopback addresses, and a link that searches them.
struct SimulatedLan {
  static constexpr Ipv4Address kMultiviewer{{127, 0, 0, 31}};
  static constexpr Ipv4Address kMatrix8{{127, 0, 0, 32}};
  static constexpr Ipv4Address kMatrix16{{127, 0, 0, 33}};

  SimulatedLan();
  ~SimulatedLan();

  LinkConfig link;
  std::shared_ptr<sim::SimMultiviewer> multiviewer;
  std::shared_ptr<sim::SimMatrix> matrix8;
  std::shared_ptr<sim::SimMatrix> matrix16;
  sim::SimUdpServer server;
};

// Searches for the device at this address and selects it; false when it did not answer.
bool SearchAndSelect(Controller& controller, const Ipv4Address& address);

}  // namespace quintara::test
