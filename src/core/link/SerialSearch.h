#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/link/ControlFrame.h"
#include "core/link/DeviceDirectory.h"
#include "core/link/DeviceListView.h"
#include "core/link/Link.h"
#include "core/link/LinkConfig.h"
#include "core/platform/Clock.h"

namespace quintara {

// The search over the serial line: at most one device, found in the byte stream that answers
// a Discover.
class SerialSearch {
 public:
  static constexpr std::size_t kSerialInputSize = 1024;

  // A multiviewer may answer with its state image (code 0x32) instead; it is kept in
  // stateImage, whose size is the image's.
  SerialSearch(DeviceDirectory& devices, std::span<std::uint8_t> stateImage,
               const LinkTiming& timing, Clock& clock);

  // On a port the caller has opened.
  void SearchSerial(Link& link, LinkKind kind, DeviceListView& view);

  // Looks for a complete answer in the bytes received so far, from the first byte on:
  // 1 when one was found and handled, else 0.
  int ScanSerialReply(std::span<const std::uint8_t> bytes);

 private:
  // Handles the candidate frame at `start` of the given Length whose trailer checked out.
  // Nothing when the scan must go on.
  std::optional<int> ActOnFrame(std::span<const std::uint8_t> bytes, std::size_t start,
                                std::size_t length);

  DeviceDirectory& devices_;
  std::span<std::uint8_t> stateImage_;
  const LinkTiming& timing_;
  Clock& clock_;

  std::uint8_t savedType_ = 0;
  std::uint8_t savedAddress_ = 0;
};

}  // namespace quintara
