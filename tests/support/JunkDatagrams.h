#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <random>
#include <span>
#include <thread>
#include <vector>

#include "core/platform/Ipv4Address.h"

namespace quintara::test {

// Datagrams nobody should act on: random bytes of every length up to past the listener's
// buffer, and frames with the device's identity that are cut short, carry a code that is no
// report, or name a window or an input that does not exist. None is shaped as a state reply,
// since a read-back takes one from any sender, as the protocol has it. Written in place, so the
// flood itself takes no memory.
class Junk {
 public:
  Junk(const std::array<std::uint8_t, 4>& identity, std::uint32_t seed);

  // Valid until the next call.
  std::span<const std::uint8_t> Next();
  // How many so far carry the device's identity and a report code, for a listener to reject.
  std::uint64_t Refused() const { return refused_; }

 private:
  static constexpr std::size_t kLongest = 2000;

  std::size_t Below(std::size_t bound) { return random_() % bound; }
  void RandomBytes();
  // A frame of the device with this code and values, size bytes long (cut or padded).
  void Craft(std::uint8_t code, std::uint8_t v, std::uint8_t u, std::size_t size);
  void CutReport();
  void NoReport();
  void NoSuchTarget();

  const std::array<std::uint8_t, 4> identity_;
  std::mt19937_64 random_;
  std::vector<std::uint8_t> bytes_;
  std::uint64_t refused_ = 0;
};

// Junk to one port from a thread of its own, as much as it is allowed so far; it ends once it
// sent its limit, or when stopped (30 s at the most).
class JunkSender {
 public:
  JunkSender(const std::array<std::uint8_t, 4>& identity, const UdpEndpoint& to, int limit);
  ~JunkSender();
  JunkSender(const JunkSender&) = delete;
  JunkSender& operator=(const JunkSender&) = delete;

  void Allow(int count) { allowed_ = count; }
  // Waits until the limit was sent; how many were.
  int Finish();

 private:
  std::atomic<bool> stop_{false};
  std::atomic<int> allowed_{0};
  std::atomic<int> sent_{0};
  std::thread thread_;
};

// What this process holds in memory, in KiB.
std::size_t ResidentKiB();

}  // namespace quintara::test
