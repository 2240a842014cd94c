#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quintara {

// What core asks its face to show. Core calls these on the thread that runs the operation; the
// desktop window, the command line and tests each implement what they need.
class ControllerObserver {
 public:
  virtual ~ControllerObserver() = default;
  // The open device panel must be hidden and destroyed.
  virtual void CloseDevicePanel() {}
  virtual void DeviceListChanged(const std::vector<std::string>& /*lines*/) {}
  virtual void DeviceListSelectionChanged(int /*index*/) {}
  virtual void StatusTextChanged(std::string_view /*text*/) {}
  // 1 shows the locked picture on the lock button, 0 the unlocked one.
  virtual void LockStateChanged(std::uint8_t /*lockState*/) {}
};

}  // namespace quintara
