#pragma once

#include <cstdint>

namespace quintara {

// Pages of the multiviewer panel, as CurrentPage names them.
namespace ViewerPage {
inline constexpr std::uint8_t Mode = 1;
inline constexpr std::uint8_t Umd = 2;
inline constexpr std::uint8_t Colour = 3;
inline constexpr std::uint8_t System = 4;
inline constexpr std::uint8_t Switcher = 5;
inline constexpr std::uint8_t Audio = 6;
}  // namespace ViewerPage

// What an open multiviewer panel has chosen, apart from the device's settings: the page it
// shows and the items its Audio and Colour pages point at. The panel's presenter owns them and
// lends them to its session, so that the report rules follow the shown page; without a panel
// there are none.
struct PanelSelections {
  std::uint8_t CurrentPage = 0;       // the page shown: 1 Mode ... 6 Audio; 0 none yet
  std::uint8_t AudioWindowItem = 0;   // the Audio page's window, 0-15
  std::uint8_t ColourSourceItem = 0;  // the Colour page's input item, 0-16
  std::uint8_t ColourWindowItem = 0;  // the Colour page's window item, 0-16
  // 1 once a read-back was applied: the next page switch passes even while the device is locked.
  std::uint32_t PageSwitchPass = 0;
};

}  // namespace quintara
