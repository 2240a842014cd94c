#pragma once

#include <cstdint>
#include <string_view>

#include "core/link/DeviceListView.h"

namespace quintara {

// The controller's face: what the searches show, and the selected device's lock button, name
// field and notes. It lives as long as the controller. Core calls it on the controller's thread;
// the one call an exchange's wire part may make (a command that left from another port) comes
// from its worker, and the desktop window hands such calls over to its own thread in one
// adapter.
class ControllerObserver : public DeviceListView {
 public:
  // 1 shows the locked picture on the lock button, 0 the unlocked one.
  virtual void LockStateChanged(std::uint8_t /*lockState*/) {}
  virtual void NameFieldChanged(std::u16string_view /*text*/) {}
};

}  // namespace quintara
