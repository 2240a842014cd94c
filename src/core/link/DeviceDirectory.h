#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/link/DeviceListView.h"
#include "core/link/DeviceTable.h"

namespace quintara {

inline constexpr std::string_view kNoDeviceFound = "No Device Found";
inline constexpr std::string_view kNoDeviceConnected = "No Device Connected";
// What the name field shows for a device that has no name.
inline constexpr std::u16string_view kCustomName = u"Custom Name";

// What a search leaves for the operator: the device table, the device list shown for it, the
// selection and the status line. Both searches, network and serial, fill it on the owner's
// thread once they have ended; the wire part of a search never touches it.
class DeviceDirectory {
 public:
  // What the operator sees as a search starts: the list empties if it held any line.
  void ShowSearchStarting(DeviceListView& view) const;
  // The first step in applying what a search found: no selection, no device, no line.
  void BeginSearch();
  // Appends a device and its list line; false once the table is full.
  bool Record(const DiscoveredDevice& device);
  // The device on the serial line: entry 0, listed by its name alone.
  void RecordSerialDevice(const DeviceEntry& entry, const std::string& name);

  // Ends a search that found devices: the first is selected, the status counts them.
  void ConcludeFound(std::size_t count, DeviceListView& view);
  // Ends a search that found none; the selection becomes the given index.
  void ConcludeNoneFound(int selectedIndex, DeviceListView& view);

  const DeviceTable& Table() const { return table_; }
  const std::vector<std::string>& Lines() const { return lines_; }
  const std::string& StatusText() const { return statusText_; }
  // How many devices the last search that ended found (on the serial line, 1 or 0).
  std::size_t FoundCount() const { return foundCount_; }
  // How many searches have been applied: what was found before may be gone once it changes.
  std::uint64_t SearchCount() const { return searchCount_; }

  int SelectedIndex() const { return selectedIndex_; }
  void SetSelectedIndex(int index) { selectedIndex_ = index; }
  int ConnectedIndex() const { return connectedIndex_; }
  void SetConnectedIndex(int index) { connectedIndex_ = index; }
  // The entry SelectedIndex names, or null when it names none.
  const DeviceEntry* SelectedEntry() const;

 private:
  void Show(DeviceListView& view) const;

  DeviceTable table_;
  std::vector<std::string> lines_;
  std::string statusText_{kNoDeviceConnected};
  std::size_t foundCount_ = 0;
  std::uint64_t searchCount_ = 0;
  int selectedIndex_ = -1;
  int connectedIndex_ = -1;
};

}  // namespace quintara
