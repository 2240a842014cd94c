#pragma once

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string_view>
#include <vector>

#include "core/Controller.h"
#include "core/ExchangeRunner.h"
#include "core/session/ThreadedRunner.h"
#include "core/viewer/protocol/ReadBack.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "support/FakeLink.h"
#include "support/Patience.h"

namespace quintara::test {

// A scripted link whose exchanges wait at a gate until the test opens it: meanwhile they are on
// the wire, and the test looks at what the owner's thread does.
class GatedLink final : public Link {
 public:
  SendResult SendFrame(std::span<const std::uint8_t> frame,
                       const std::optional<Ipv4Address>& device, SerialPause pause,
                       BusyPort busyPort) override {
    return script.SendFrame(frame, device, pause, busyPort);
  }
  ExchangeOutcome RunExchange(const Exchange& exchange) override {
    std::unique_lock lock(mutex_);
    onTheWire_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return open_; });
    return script.RunExchange(exchange);
  }

  bool AwaitOnTheWire() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kPatience, [this] { return onTheWire_; });
  }
  void Open() {
    const std::lock_guard lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }

  FakeLink script;  // its arrivals are set before the exchange starts

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool onTheWire_ = false;
  bool open_ = false;
};

// A window's runner: exchanges are only ever started, never waited for.
class StartingRunner final : public ExchangeRunner, private ExchangeObserver {
 public:
  explicit StartingRunner(Executor& owner) : threaded_(owner, *this) {}
  void Start(std::string_view what, WireWork work) override {
    threaded_.Start(what, std::move(work));
  }
  bool Busy() const { return threaded_.Busy(); }

 private:
  void ExchangesBusy(std::string_view) override {}
  void ExchangesIdle() override {}
  ThreadedRunner threaded_;
};

// Selects a multiviewer at 127.0.0.1: the controller's session is then a chosen device's.
inline void SelectMultiviewer(Controller& controller) {
  DiscoveredDevice device;
  device.entry.SetAddressText("127.0.0.1");
  device.entry.DeviceType = kMultiviewerType;
  EXPECT_TRUE(controller.Devices().Record(device));
  controller.Devices().SetSelectedIndex(0);
}

// The multiviewer's state reply with this layout and flags byte.
inline std::vector<std::uint8_t> MultiviewerStateReply(std::uint8_t layout, std::uint8_t flags) {
  std::vector<std::uint8_t> reply(kStateReplySize, 0);
  reply[frame::kDeviceTypeOffset] = kMultiviewerType;
  reply[frame::kCommandCodeOffset] = ViewerCode::ReadState;
  reply[kStateImageOffset] = layout;
  reply[kStateImageOffset + 3] = flags;
  return reply;
}

}  // namespace quintara::test
