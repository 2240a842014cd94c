#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "core/link/CnComm.h"
#include "core/link/Link.h"
#include "core/link/LinkConfig.h"
#include "core/platform/Clock.h"

namespace quintara {

// The serial line as a link: every frame and request goes to the one device on the port, after
// whatever waited in the input was discarded.
class SerialLink final : public Link {
 public:
  SerialLink(CnComm& port, const LinkTiming& timing, Clock& clock)
      : port_(port), timing_(timing), clock_(clock) {}

  bool IsOpen() const { return port_.IsOpen(); }

  [[nodiscard]] SendResult SendFrame(std::span<const std::uint8_t> frame,
                                     const std::optional<Ipv4Address>& device,
                                     SerialPause pause = SerialPause::After,
                                     BusyPort busyPort = BusyPort::Refuse) override;
  // Every look offers the judge all the bytes collected since the request.
  [[nodiscard]] ExchangeOutcome RunExchange(const Exchange& exchange) override;

 private:
  CnComm& port_;
  const LinkTiming& timing_;
  Clock& clock_;
};

}  // namespace quintara
