#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "core/link/ControlFrame.h"
#include "core/platform/Ipv4Address.h"

namespace quintara::sim {

enum class DeviceKind { Multiviewer, Matrix8, Matrix16 };

struct SimDeviceConfig {
  DeviceKind kind = DeviceKind::Multiviewer;
  std::uint8_t DeviceType = 0xA1;
  std::uint8_t DeviceAddress = 0x01;
  std::array<std::uint8_t, 4> DeviceIdentity{};
  std::string name;  // sent one byte per character
  UdpEndpoint listen;
  std::uint16_t statusPort = 7001;  // where a multiviewer sends its status reports

  // A device of the given kind with its default type byte and name.
  static SimDeviceConfig Of(DeviceKind kind, const UdpEndpoint& listen);
};

// A message a device received, kept so tests and the log can see what arrived.
struct ReceivedMessage {
  std::vector<std::uint8_t> bytes;
  UdpEndpoint from;
};

// A message a device sends in response to what it received.
struct OutgoingMessage {
  std::vector<std::uint8_t> bytes;
  UdpEndpoint to;
};

// One simulated device: what it answers, independent of how the bytes reach it.
class SimDevice {
 public:
  // Carries a message the device sends on its own, outside any request.
  using Sender = std::function<void(const OutgoingMessage&)>;

  // Older messages are dropped beyond this many, or beyond this many bytes in all, so a
  // long-running simulator stays small whatever it is sent.
  static constexpr std::size_t kReceivedLimit = 4096;
  static constexpr std::size_t kReceivedBytesLimit = 4 * 1024 * 1024;

  explicit SimDevice(SimDeviceConfig config);
  virtual ~SimDevice() = default;
  SimDevice(const SimDevice&) = delete;
  SimDevice& operator=(const SimDevice&) = delete;

  const SimDeviceConfig& Config() const { return config_; }

  // Records the message and returns the device's responses to it.
  std::vector<OutgoingMessage> Receive(std::span<const std::uint8_t> bytes,
                                       const UdpEndpoint& from);

  std::vector<ReceivedMessage> Received() const;
  // Received frames with this CommandCode (texts and other shapes are left out).
  std::vector<std::vector<std::uint8_t>> ReceivedFrames(std::uint8_t commandCode) const;
  // Waits until at least count frames with this CommandCode have arrived.
  bool WaitForFrames(std::uint8_t commandCode, std::size_t count,
                     std::chrono::milliseconds timeout) const;

  // Installed by the transport that serves the device; an empty sender drops such messages.
  void SetSender(Sender sender);

  // The answer to a Discover: header with type, address and identity, then the name, '-', one
  // byte, '-', the identity again.
  Frame DiscoverAnswer(LinkKind link) const;

 protected:
  // Responses to one received frame or text; the base answers Discover and nothing else.
  virtual std::vector<OutgoingMessage> Respond(std::span<const std::uint8_t> bytes,
                                               const UdpEndpoint& from);
  // A frame as this device sends it: its own type, address and identity in the header.
  Frame BuildOwnFrame(LinkKind link, std::uint8_t commandCode,
                      std::span<const std::uint8_t> payload) const;
  // Sends through the installed sender, if any; safe from any thread.
  void Send(const OutgoingMessage& message) const;
  // The name a Discover answer carries; a device that can be renamed overrides it.
  virtual std::string DiscoverName() const { return config_.name; }

 private:
  std::vector<std::vector<std::uint8_t>> FramesLocked(std::uint8_t commandCode) const;

  SimDeviceConfig config_;
  mutable std::mutex mutex_;
  mutable std::condition_variable arrived_;
  std::deque<ReceivedMessage> received_;
  std::size_t receivedBytes_ = 0;  // of the messages in received_
  // Held while sending, so a transport that removes its sender never races a send.
  mutable std::mutex senderMutex_;
  Sender sender_;
};

}  // namespace quintara::sim
