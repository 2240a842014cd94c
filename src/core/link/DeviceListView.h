#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quintara {

// What a search shows the operator: the device list, its selection and the status line.
class DeviceListView {
 public:
  virtual ~DeviceListView() = default;
  // A search begins: the open device panel must be hidden and destroyed.
  virtual void CloseDevicePanel() {}
  virtual void DeviceListChanged(const std::vector<std::string>& /*lines*/) {}
  virtual void DeviceListSelectionChanged(int /*index*/) {}
  virtual void StatusTextChanged(std::string_view /*text*/) {}
};

}  // namespace quintara
