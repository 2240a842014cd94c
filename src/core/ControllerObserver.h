#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quintara {

// A control of a multiviewer page that follows what the device reports.
enum class PageControl {
  ModeSourceList,            // index: window 1-16; value: item
  SwitcherOutputList,        // index: output 1-16; value: item
  UmdInputButton,            // index: input 1-16; value: bitmap id
  UmdAllButton,              // value: bitmap id
  ColourSourceList,          // value: item 0-16
  ColourUmdTextList,         // value: ColourIndex
  ColourUmdBackList,         // value: ColourIndex
  ColourWindowList,          // value: item 0-16
  ColourFormatTextList,      // value: ColourIndex
  ColourFormatBackList,      // value: ColourIndex
  ColourTimecodeTextList,    // value: ColourIndex
  ColourTimecodeBackList,    // value: ColourIndex
  ColourBorderList,          // value: item
  SystemOutputFormatList,    // value: item
  SystemFormatStatusButton,  // value: bitmap id
  SystemAudioAlarmButton,    // value: bitmap id
  SystemTimecodeButton,      // value: bitmap id
  AudioWindowList,           // value: item
  AudioOnOffButtons,         // value: MeterOn of the selected window
  AudioChannelList,          // value: item
  AudioSourceList,           // value: item
  AudioAllMetersButton,      // value: bitmap id
};

// What core asks its face to show. Core calls these on the thread that owns the controller;
// the desktop window, the command line and tests each implement what they need.
class ControllerObserver {
 public:
  virtual ~ControllerObserver() = default;
  // The open device panel must be hidden and destroyed.
  virtual void CloseDevicePanel() {}
  virtual void DeviceListChanged(const std::vector<std::string>& /*lines*/) {}
  virtual void DeviceListSelectionChanged(int /*index*/) {}
  virtual void StatusTextChanged(std::string_view /*text*/) {}
  // 1 shows the locked picture on the lock button, 0 the unlocked one.
  virtual void LockStateChanged(std::uint8_t /*lockState*/) {}
  virtual void NameFieldChanged(std::u16string_view /*text*/) {}

  // The multiviewer preview must be drawn again.
  virtual void RepaintPreview() {}
  // The shown page must refill its controls from the mirror (page numbers as CurrentPage).
  virtual void RefreshPage(std::uint8_t /*page*/) {}
  virtual void PageControlChanged(PageControl /*control*/, int /*index*/, int /*value*/) {}

  // A matrix switcher's status was read (or the read ended unanswered): the panel shows it.
  virtual void RefreshMatrixStatus() {}
};

}  // namespace quintara
