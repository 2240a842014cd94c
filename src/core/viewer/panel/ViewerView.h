#pragma once

#include <cstdint>

#include "core/viewer/panel/PanelSelections.h"

namespace quintara {

// A selection of a multiviewer page that follows what the device reports. Index and item are
// as the page shows them: window, input or output 1-16 where the selection belongs to one, else
// 0; items count from 0 (an input's item is its number - 1; colours are ColourIndex values).
enum class ViewerSelection {
  ModeSource,      // index: window; item: input - 1
  SwitcherOutput,  // index: output; item: input - 1
  ColourSource,    // item 0-16 (0 = all)
  UmdTextColour,   // item: ColourIndex
  UmdBackColour,
  ColourWindow,  // item 0-16 (0 = all)
  FormatTextColour,
  FormatBackColour,
  TimecodeTextColour,
  TimecodeBackColour,
  Border,         // item: BorderOn
  OutputFormat,   // item of the output format list
  AudioWindow,    // item: window - 1
  MeterChannels,  // item: the pair
  AudioSource,    // item: AudioSource
};

// An on/off of a multiviewer page that follows what the device reports.
enum class ViewerSwitch {
  UmdOn,  // index: input 1-16
  AllUmd,
  FormatStatus,
  AudioAlarm,
  Timecode,
  AllMeters,
  MeterOn,  // the Audio page's pair, for the window it has selected
};

// What the multiviewer panel and its pages show of the mirror. Core says what changed; the page
// shown picks its pictures. Called on the window's thread.
class ViewerView {
 public:
  virtual ~ViewerView() = default;
  // The preview must be drawn again.
  virtual void RepaintPreview() {}
  // The shown page must refill its controls from the mirror (page numbers as CurrentPage).
  virtual void RefreshPage(std::uint8_t /*page*/) {}
  virtual void SelectionChanged(ViewerSelection /*what*/, int /*index*/, int /*item*/) {}
  virtual void SwitchChanged(ViewerSwitch /*what*/, int /*index*/, bool /*on*/) {}
};

}  // namespace quintara
