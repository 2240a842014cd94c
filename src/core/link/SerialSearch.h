#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/link/ControlFrame.h"
#include "core/link/DeviceDirectory.h"
#include "core/link/DeviceListView.h"
#include "core/link/Link.h"
#include "core/link/LinkConfig.h"
#include "core/platform/Clock.h"

namespace quintara {

// What a search on the serial line found.
struct SerialFind {
  // 1 once an answer was found and handled, else 0.
  int result = 0;
  // The device that answered with its name, listed by the name alone.
  std::optional<DeviceEntry> device;
  std::string name;
  // The state image (code 0x32) a multiviewer may answer with instead; empty when none came.
  std::vector<std::uint8_t> stateImage;
};

// The search over the serial line: at most one device, found in the byte stream that answers
// a Discover. The search keeps what it finds to itself; Conclude hands it over on the owner's
// thread.
class SerialSearch {
 public:
  static constexpr std::size_t kSerialInputSize = 1024;

  // stateImageSize: the size of the state image a multiviewer may answer with.
  SerialSearch(std::size_t stateImageSize, const LinkTiming& timing, Clock& clock)
      : stateImageSize_(stateImageSize), timing_(timing), clock_(clock) {}

  // On a port the caller has opened: sends the Discover and scans what arrives.
  SerialFind SearchSerial(Link& link, std::span<const std::uint8_t> discover);

  // Looks for a complete answer in the bytes received so far, from the first byte on:
  // 1 when one was found and handled, else 0. Found() holds what this pass found.
  int ScanSerialReply(std::span<const std::uint8_t> bytes);
  const SerialFind& Found() const { return found_; }

  // Lists what was found and ends the search for the operator; a state image that came is
  // kept in stateImage, whose size is the image's.
  static void Conclude(const SerialFind& found, DeviceDirectory& devices,
                       std::span<std::uint8_t> stateImage, DeviceListView& view);

 private:
  int Scan(std::span<const std::uint8_t> bytes);
  // Handles the candidate frame at `start` of the given Length whose trailer checked out.
  // Nothing when the scan must go on.
  std::optional<int> ActOnFrame(std::span<const std::uint8_t> bytes, std::size_t start,
                                std::size_t length);

  std::size_t stateImageSize_;
  const LinkTiming& timing_;
  Clock& clock_;

  std::uint8_t savedType_ = 0;
  std::uint8_t savedAddress_ = 0;
  SerialFind found_;
};

}  // namespace quintara
