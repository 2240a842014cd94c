#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "core/Controller.h"
#include "core/Executor.h"
#include "fuzz/ScriptedLink.h"

namespace quintara::fuzz {

// Time that passes only by the waits asked for, so no feed ever sleeps.
class StillClock final : public Clock {
 public:
  std::int64_t NowMs() const override { return nowMs_; }
  void SleepMs(int milliseconds) override { nowMs_ += milliseconds; }
  LocalDateTime LocalNow() const override { return {2024, 3, 15, 5, 14, 7, 9}; }

 private:
  std::int64_t nowMs_ = 0;
};

// The operator says OK to every warning.
class AgreeingPrompter final : public Prompter {
 public:
  void ShowError(std::string_view) override {}
  bool Confirm(std::string_view) override { return true; }
  void ShowInfo(std::string_view) override {}
};

// The main window, noting what it was asked to show.
class FaceDouble final : public ControllerObserver {
 public:
  void DeviceListChanged(const std::vector<std::string>& lines) override { deviceList = lines; }
  void StatusTextChanged(std::string_view text) override { statusText = text; }
  void NameFieldChanged(std::u16string_view text) override { nameField = text; }

  std::vector<std::string> deviceList;
  std::string statusText;
  std::u16string nameField;
};

// Runs posted work at once, on the caller's thread.
class InlineExecutor final : public Executor {
 public:
  void Post(std::function<void()> task) override { task(); }
};

// Swallows the diagnostic lines.
class Discard final : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
};

// A controller as the window holds it, on a scripted link of the given kind.
struct ControllerRig {
  explicit ControllerRig(LinkKind kind, Ipv4Address sender = Ipv4Address::Loopback())
      : link(kind, sender), controller(LinkConfig{}, LinkTiming{}, clock, prompter, face) {
    controller.UseLink(&link);
    controller.SetLinkKind(kind);
    controller.SetDiagnostics(silence);
  }

  StillClock clock;
  AgreeingPrompter prompter;
  FaceDouble face;
  ScriptedLink link;
  Discard discard;
  std::ostream silence{&discard};
  Controller controller;
};

}  // namespace quintara::fuzz
