#pragma once

#include <QObject>

#include "core/ControllerObserver.h"

namespace quintara::ui {

// The one place where what core shows from an exchange's worker crosses over to the window's
// thread: every call reaches the window's own observer there, in order, with its arguments
// copied. A call made on the window's thread goes straight through.
class GuiThreadObserver final : public ControllerObserver {
 public:
  // The window outlives its controller, and so every exchange that could call this.
  GuiThreadObserver(QObject& window, ControllerObserver& face) : window_(window), face_(face) {}

  void CloseDevicePanel() override;
  void DeviceListChanged(const std::vector<std::string>& lines) override;
  void DeviceListSelectionChanged(int index) override;
  void StatusTextChanged(std::string_view text) override;
  void LockStateChanged(std::uint8_t lockState) override;
  void NameFieldChanged(std::u16string_view text) override;

 private:
  template <typename Call>
  void OnWindowThread(Call call);

  QObject& window_;
  ControllerObserver& face_;
};

}  // namespace quintara::ui
