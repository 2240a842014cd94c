#include "core/viewer/panel/AudioPresenter.h"

#include "core/session/DeviceSession.h"
#include "core/viewer/protocol/ViewerCommands.h"

namespace quintara {
namespace {

constexpr int kSourceItems = 17;  // OFF, WIN 1 ... WIN 16
constexpr int kChannelPairs = 8;  // CH 01 & 02 ... CH 15 & 16

}  // namespace

AudioView AudioPresenter::Shown() const {
  const ViewerState& viewer = session_.Viewer();
  const std::uint8_t window = WindowIndex();
  return {.source = SourceItem(viewer.AudioSource),
          .window = window,
          .meterOn = viewer.MeterOn[window] != 0,
          .channels = ChannelsItem(viewer.MeterChannels[window]),
          .allMetersOn = viewer.AllMetersOn != 0};
}

int AudioPresenter::ChooseSource(int item) {
  ViewerState& viewer = session_.Viewer();
  if (!RefusedWhileLocked() && item >= 0 && item < kSourceItems) {
    static_cast<void>(ViewerCommands(session_).SetAudioSource(static_cast<std::uint8_t>(item)));
  }
  return SourceItem(viewer.AudioSource);
}

AudioView AudioPresenter::ChooseWindow(int item) {
  if (item >= 0 && item < static_cast<int>(kWindowCount)) {
    selections_.AudioWindowItem = static_cast<std::uint8_t>(item);
  }
  return Shown();
}

int AudioPresenter::ChooseChannels(int item) {
  const std::uint8_t window = WindowIndex();
  if (!RefusedWhileLocked() && item >= 0 && item < kChannelPairs) {
    static_cast<void>(
        ViewerCommands(session_).SetMeterChannels(window, static_cast<std::uint8_t>(item)));
  }
  return ChannelsItem(session_.Viewer().MeterChannels[window]);
}

bool AudioPresenter::ClickMeter(bool on) {
  const std::uint8_t window = WindowIndex();
  if (!RefusedWhileLocked()) {
    static_cast<void>(ViewerCommands(session_).SetMeterOn(window, on ? 1 : 0));
  }
  return session_.Viewer().MeterOn[window] != 0;
}

bool AudioPresenter::ClickAllMeters() {
  ViewerState& viewer = session_.Viewer();
  if (!RefusedWhileLocked()) {
    const std::uint8_t next = viewer.AllMetersOn == 0 ? 1 : 0;
    static_cast<void>(ViewerCommands(session_).SetMeterOn(kAllMetersIndex, next));
  }
  return viewer.AllMetersOn != 0;
}

int AudioPresenter::SourceItem(std::uint8_t source) {
  return source < kSourceItems ? source : -1;
}

int AudioPresenter::ChannelsItem(std::uint8_t pair) {
  return pair < kChannelPairs ? pair : -1;
}

bool AudioPresenter::RefusedWhileLocked() {
  return session_.RefuseWhileLocked();
}

std::uint8_t AudioPresenter::WindowIndex() const {
  const std::uint8_t window = selections_.AudioWindowItem;
  return window < kWindowCount ? window : 0;
}

}  // namespace quintara
