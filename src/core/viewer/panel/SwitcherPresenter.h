#pragma once

#include <cstdint>

#include "core/viewer/state/ViewerState.h"

namespace quintara {

class DeviceSession;

// The Switcher page's rules: the input of each of the sixteen loop outputs and the one-to-one
// routing. Every pick is sent as it comes; the routes live in the mirror.
class SwitcherPresenter {
 public:
  explicit SwitcherPresenter(DeviceSession& session) : session_(session) {}

  // A new page: the grid's numbers follow the stored routes.
  void Initialise();
  // The list of an output (1-16) moved to an item; sent unless the device is locked, in which
  // case the list keeps the pick until the route is shown again. True when sent.
  bool ChooseRoute(std::uint8_t output, int item);
  // Restores input n on output n (refused while locked); afterwards every list shows its
  // output's stored route.
  void OneToOne();

  // The item each output's list shows: the stored route's, -1 (none) for a route out of range.
  PerWindow<int> RouteItems() const;

 private:
  DeviceSession& session_;
};

}  // namespace quintara
