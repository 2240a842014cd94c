#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "core/ControllerObserver.h"
#include "core/link/CnComm.h"
#include "core/link/ControlFrame.h"
#include "core/link/DeviceDirectory.h"
#include "core/link/LinkConfig.h"
#include "core/platform/Clock.h"
#include "core/platform/Prompter.h"
#include "core/viewer/ViewerState.h"

namespace quintara {

inline constexpr std::string_view kOpenSerialPortError = "Please open the serial port first!";

// The search over the serial line: at most one device, found in the byte stream that answers
// a Discover.
class SerialSearch {
 public:
  static constexpr std::size_t kSerialInputSize = 1024;

  SerialSearch(CnComm& port, DeviceDirectory& devices, StateImageBytes& stateImage,
               const LinkTiming& timing, Clock& clock, Prompter& prompter);

  void SearchSerial(LinkKind link, ControllerObserver& observer);

  // Looks for a complete answer in the bytes received so far, from the first byte on:
  // 1 when one was found and handled, else 0.
  int ScanSerialReply(std::span<const std::uint8_t> bytes);

  std::span<const std::uint8_t> SerialInput() const {
    return std::span(serialInput_).first(collectedCount_);
  }

 private:
  // Handles the candidate frame at `start` of the given Length whose trailer checked out.
  // Nothing when the scan must go on.
  std::optional<int> ActOnFrame(std::span<const std::uint8_t> bytes, std::size_t start,
                                std::size_t length);
  void CollectInput(std::span<const std::uint8_t> chunk);

  CnComm& port_;
  DeviceDirectory& devices_;
  StateImageBytes& stateImage_;
  const LinkTiming& timing_;
  Clock& clock_;
  Prompter& prompter_;

  std::array<std::uint8_t, kSerialInputSize> serialInput_{};
  std::size_t collectedCount_ = 0;
  std::uint8_t savedType_ = 0;
  std::uint8_t savedAddress_ = 0;
};

}  // namespace quintara
