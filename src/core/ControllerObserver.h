#pragma once

#include <cstdint>
#include <string_view>

#include "core/link/DeviceListView.h"

namespace quintara {

// The controller's face: what the searches show, the lock button and the name field. It lives as
// long as the controller. Core calls it on whichever thread runs the controller's work: the
// window's own thread, or an exchange's worker while the window waits for it; the desktop
// window hands the worker's calls over to its own thread in one adapter.
class ControllerObserver : public DeviceListView {
 public:
  // 1 shows the locked picture on the lock button, 0 the unlocked one.
  virtual void LockStateChanged(std::uint8_t /*lockState*/) {}
  virtual void NameFieldChanged(std::u16string_view /*text*/) {}
};

}  // namespace quintara
