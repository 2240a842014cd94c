#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/Controller.h"
#include "core/ControllerObserver.h"
#include "core/link/LinkConfig.h"
#include "core/matrix/MatrixView.h"
#include "core/platform/Prompter.h"
#include "core/viewer/panel/ViewerView.h"

namespace quintara::test {

class RecordingPrompter final : public Prompter {
 public:
  void ShowError(std::string_view message) override { errors.emplace_back(message); }
  bool Confirm(std::string_view message) override {
    confirmations.emplace_back(message);
    return confirmAnswer;
  }
  void ShowInfo(std::string_view message) override { notices.emplace_back(message); }

  std::vector<std::string> errors;
  std::vector<std::string> confirmations;
  std::vector<std::string> notices;
  bool confirmAnswer = true;
};

// Records what core asked its face, and the panel views attached with AttachTo, to show, in
// order.
class RecordingObserver final : public ControllerObserver, public ViewerView, public MatrixView {
 public:
  // Held by whoever holds the controller, and dropped before it.
  struct Attachments {
    Views<ViewerView>::Attachment viewer;
    Views<MatrixView>::Attachment matrix;
  };
  // To the session of the device the controller has selected, as a panel opened for it would.
  [[nodiscard]] Attachments AttachTo(Controller& controller) {
    DeviceSession& session = controller.Session();
    return {session.ViewerViews().Attach(*this), session.MatrixViews().Attach(*this)};
  }

  void CloseDevicePanel() override { calls.push_back("CloseDevicePanel"); }
  void DeviceListChanged(const std::vector<std::string>& lines) override {
    calls.push_back("DeviceListChanged");
    deviceList = lines;
  }
  void DeviceListSelectionChanged(int index) override {
    calls.push_back("DeviceListSelectionChanged " + std::to_string(index));
  }
  void StatusTextChanged(std::string_view text) override {
    calls.push_back("StatusTextChanged");
    statusText = text;
  }
  void LockStateChanged(std::uint8_t lockState) override {
    calls.push_back("LockStateChanged " + std::to_string(lockState));
  }
  void NameFieldChanged(std::u16string_view text) override { nameField = text; }
  void RepaintPreview() override { calls.push_back("RepaintPreview"); }
  void RefreshMatrixStatus() override { calls.push_back("RefreshMatrixStatus"); }
  void RefreshPage(std::uint8_t page) override {
    calls.push_back("RefreshPage " + std::to_string(page));
  }
  void SelectionChanged(ViewerSelection what, int index, int item) override {
    selections.push_back({what, index, item});
  }
  void SwitchChanged(ViewerSwitch what, int index, bool on) override {
    switches.push_back({what, index, on});
  }

  struct Selection {
    ViewerSelection what;
    int index;
    int item;
    friend bool operator==(const Selection&, const Selection&) = default;
  };
  struct Switch {
    ViewerSwitch what;
    int index;
    bool on;
    friend bool operator==(const Switch&, const Switch&) = default;
  };
  std::vector<Selection> selections;
  std::vector<Switch> switches;

  std::u16string nameField;

  std::vector<std::string> calls;
  std::vector<std::string> deviceList;
  std::string statusText;
};

// A UDP port that is free on this address right now.
std::uint16_t FreeUdpPort(const Ipv4Address& address = Ipv4Address::Loopback());

// A link bound to 127.0.0.1 on free ports, searching the given loopback addresses.
LinkConfig LoopbackLink(std::vector<Ipv4Address> targets, std::uint16_t devicePort);

// The command-line options that put a program on this link: --bind, the three ports and each
// search target.
std::vector<std::string> LinkArguments(const LinkConfig& link);

// Real pauses, but a search window short enough for a test suite.
LinkTiming ShortSearchTiming();

// Lends the selections to the session as an open panel's presenter does, and hands them back.
inline PanelSelections& LendPanel(DeviceSession& session, PanelSelections& selections) {
  session.LendPanel(&selections);
  return selections;
}

}  // namespace quintara::test
