#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "core/Controller.h"
#include "core/link/LinkConfig.h"
#include "sim/SimDevice.h"
#include "sim/SimMatrix.h"
#include "sim/SimMultiviewer.h"
#include "sim/SimUdpServer.h"
#include "support/Patience.h"

namespace quintara::test {

// The three simulated devices on their own loopback addresses, and a link that searches them.
struct SimulatedLan {
  static constexpr Ipv4Address kMultiviewer{{127, 0, 0, 31}};
  static constexpr Ipv4Address kMatrix8{{127, 0, 0, 32}};
  static constexpr Ipv4Address kMatrix16{{127, 0, 0, 33}};

  // matrix16Name, when given, is the name the sixteen-channel switcher answers a search with
  // (the family's model name makes its panel take an output format). Spare multiviewers stand
  // at 127.0.0.34, .35 ..., for what goes to several units at once.
  explicit SimulatedLan(std::string_view matrix16Name = {}, std::size_t spareMultiviewers = 0);
  static Ipv4Address SpareAddress(std::size_t index);
  ~SimulatedLan();

  LinkConfig link;
  std::shared_ptr<sim::SimMultiviewer> multiviewer;
  std::shared_ptr<sim::SimMatrix> matrix8;
  std::shared_ptr<sim::SimMatrix> matrix16;
  std::vector<std::shared_ptr<sim::SimMultiviewer>> spares;
  sim::SimUdpServer server;
};

// Searches for the device at this address and selects it; false when it did not answer.
bool SearchAndSelect(Controller& controller, const Ipv4Address& address);

}  // namespace quintara::test
