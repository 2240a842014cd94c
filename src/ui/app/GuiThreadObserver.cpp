#include "ui/app/GuiThreadObserver.h"

#include <QThread>
#include <string>

namespace quintara::ui {

template <typename Call>
void GuiThreadObserver::OnWindowThread(Call call) {
  if (QThread::currentThread() == window_.thread()) {
    call(face_);
    return;
  }
  QMetaObject::invokeMethod(
      &window_, [&face = face_, call = std::move(call)] { call(face); }, Qt::QueuedConnection);
}

void GuiThreadObserver::CloseDevicePanel() {
  OnWindowThread([](ControllerObserver& face) { face.CloseDevicePanel(); });
}

void GuiThreadObserver::DeviceListChanged(const std::vector<std::string>& lines) {
  OnWindowThread([lines](ControllerObserver& face) { face.DeviceListChanged(lines); });
}

void GuiThreadObserver::DeviceListSelectionChanged(int index) {
  OnWindowThread([index](ControllerObserver& face) { face.DeviceListSelectionChanged(index); });
}

void GuiThreadObserver::StatusTextChanged(std::string_view text) {
  OnWindowThread(
      [text = std::string(text)](ControllerObserver& face) { face.StatusTextChanged(text); });
}

void GuiThreadObserver::LockStateChanged(std::uint8_t lockState) {
  OnWindowThread([lockState](ControllerObserver& face) { face.LockStateChanged(lockState); });
}

void GuiThreadObserver::NameFieldChanged(std::u16string_view text) {
  OnWindowThread(
      [text = std::u16string(text)](ControllerObserver& face) { face.NameFieldChanged(text); });
}

}  // namespace quintara::ui
