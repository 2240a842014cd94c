#pragma once

#include <cstdint>

namespace quintara {

class DeviceSession;
struct PanelSelections;

// What the Audio page shows: the items of its three lists (-1: none), the ON/OFF pair and the
// look of the global meter button.
struct AudioView {
  int source = -1;  // 0 OFF, n = window n
  int window = 0;   // window - 1: the window whose meter the page shows
  bool meterOn = false;
  int channels = -1;  // the pair of that window's meter
  bool allMetersOn = false;
};

// The Audio page's rules: which window's audio goes out, each window's meter and its channel
// pair, and the global meter switch. Every choice answers with what its control must show
// afterwards: the new value once sent, the stored one while the device is locked.
class AudioPresenter {
 public:
  AudioPresenter(DeviceSession& session, PanelSelections& selections)
      : session_(session), selections_(selections) {}

  // Everything the page shows, from the mirror, for the window it has chosen.
  AudioView Shown() const;

  // The source list (0 OFF, 1-16): the item it shows afterwards.
  int ChooseSource(int item);
  // The window list (0-15) only changes what the page shows; nothing is sent, even locked.
  AudioView ChooseWindow(int item);
  // The channel list (pair 0-7) of the chosen window: the item it shows afterwards.
  int ChooseChannels(int item);
  // ON or OFF of the chosen window's meter: whether ON is marked afterwards.
  bool ClickMeter(bool on);
  // The global meter switch: whether it shows on afterwards.
  bool ClickAllMeters();

  // The list items of stored values; -1 for a value no item stands for.
  static int SourceItem(std::uint8_t source);
  static int ChannelsItem(std::uint8_t pair);

 private:
  // True while the device is locked; the status line then says the change was refused.
  bool RefusedWhileLocked();
  // The chosen window as an index 0-15, also if the mirror holds something else.
  std::uint8_t WindowIndex() const;

  DeviceSession& session_;
  PanelSelections& selections_;
};

}  // namespace quintara
