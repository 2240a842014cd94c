#pragma once

#include <cstdint>
#include <vector>

#include "core/platform/Ipv4Address.h"

namespace quintara {

// Where the link binds and sends. The defaults are the device protocol's; overrides serve tests,
// demos against simulated devices and hosts with several interfaces.
struct LinkConfig {
  static constexpr std::uint16_t kDevicePort = 7000;
  static constexpr std::uint16_t kLocalPort = 7000;
  static constexpr std::uint16_t kStatusPort = 7001;

  Ipv4Address bindAddress = Ipv4Address::Any();
  std::vector<Ipv4Address> searchTargets{Ipv4Address::Broadcast()};
  std::uint16_t devicePort = kDevicePort;  // where devices take searches and commands
  std::uint16_t localPort = kLocalPort;    // where the search and command sockets bind
  std::uint16_t statusPort = kStatusPort;  // where status reports arrive (and are aimed from)
};

// The protocol's fixed waits. Tests may shorten them; the defaults are the real values.
struct LinkTiming {
  int searchWindowMs = 2000;        // answers are taken while no more than this has passed
  int searchPauseMs = 20;           // pause after each frame-shaped answer
  int lanSendPauseMs = 10;          // pause after each command datagram
  int serialSearchWindowMs = 3000;  // the serial search reads the line while no more has passed
  int serialPollMs = 50;            // wait between asking how much arrived and reading it
  int serialScanPauseMs = 20;       // pause after a scan that found no complete answer
  int serialSendPauseMs = 20;       // pause after each frame written to the line
  int readBackWindowMs = 2000;      // a multiviewer's state reply is awaited this long
  int readBackSerialPollMs = 10;    // wait between looks at the serial input during a read-back
  int reReadPauseMs = 3000;         // after a device-wide change, before the derived tables follow
  int recallPauseMs = 3000;         // after a recall of defaults or a memory, before the re-read
  int matrixQueryPauseMs = 20;      // after a matrix query is sent, before the first look
  int matrixLanPollMs = 50;         // between looks for a matrix reply on the network
};

}  // namespace quintara
