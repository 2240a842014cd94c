#include "core/link/DeviceDirectory.h"

namespace quintara {

void DeviceDirectory::ShowSearchStarting(DeviceListView& view) const {
  if (!lines_.empty()) {
    view.DeviceListChanged({});
  }
}

void DeviceDirectory::BeginSearch() {
  ++searchCount_;
  selectedIndex_ = -1;
  lines_.clear();
  table_.Clear();
}

bool DeviceDirectory::Record(const DiscoveredDevice& device) {
  if (!table_.Record(device.entry)) {
    return false;
  }
  lines_.push_back(device.listLine);
  return true;
}

void DeviceDirectory::RecordSerialDevice(const DeviceEntry& entry, const std::string& name) {
  table_.Clear();
  table_.Record(entry);
  lines_.insert(lines_.begin(), name);
}

void DeviceDirectory::ConcludeFound(std::size_t count, DeviceListView& view) {
  selectedIndex_ = 0;
  foundCount_ = count;
  statusText_ = "Connected - " + std::to_string(count);
  Show(view);
}

void DeviceDirectory::ConcludeNoneFound(int selectedIndex, DeviceListView& view) {
  selectedIndex_ = selectedIndex;
  foundCount_ = 0;
  lines_.insert(lines_.begin(), std::string(kNoDeviceFound));
  statusText_ = std::string(kNoDeviceConnected);
  Show(view);
}

void DeviceDirectory::Show(DeviceListView& view) const {
  view.DeviceListChanged(lines_);
  view.StatusTextChanged(statusText_);
  view.DeviceListSelectionChanged(0);
}

const DeviceEntry* DeviceDirectory::SelectedEntry() const {
  if (selectedIndex_ < 0 || static_cast<std::size_t>(selectedIndex_) >= DeviceTable::kCapacity) {
    return nullptr;
  }
  return &table_.Entry(static_cast<std::size_t>(selectedIndex_));
}

}  // namespace quintara
