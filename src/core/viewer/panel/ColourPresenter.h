#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace quintara {

class DeviceSession;
struct PanelSelections;

// The six colour lists of the Colour page: two follow the input list, four the window list.
enum class ColourList { UmdText, UmdBack, FormatText, FormatBack, TimecodeText, TimecodeBack };
inline constexpr std::size_t kColourLists = 6;
inline constexpr std::array<ColourList, kColourLists> kAllColourLists{
    ColourList::UmdText,    ColourList::UmdBack,      ColourList::FormatText,
    ColourList::FormatBack, ColourList::TimecodeText, ColourList::TimecodeBack};

// What the Colour page shows: the input and window items (0 = all), the colour of each colour
// list (-1: none) and the border item.
struct ColourView {
  int source = 0;
  int window = 0;
  std::array<int, kColourLists> colours{};
  int border = -1;

  int Colour(ColourList list) const { return colours[static_cast<std::size_t>(list)]; }
};

// The Colour page's rules. Every choice answers with what its list must show afterwards: the
// choice once accepted, the stored value while the device is locked.
class ColourPresenter {
 public:
  ColourPresenter(DeviceSession& session, PanelSelections& selections)
      : session_(session), selections_(selections) {}

  // Everything the page shows, from the mirror: the colours for its input and window items.
  ColourView Shown() const;

  // The input list (0 all, n = SDI n); nothing is sent.
  int ChooseSource(int item);
  // The window list (0 all, n = window n); nothing is sent.
  int ChooseWindow(int item);
  // A colour list: sends the colour for the input or window item shown.
  int ChooseColour(ColourList list, int colour);
  // The border list (0 OFF, 1 ON).
  int ChooseBorder(int item);

  // Whether the list follows the input list (else the window list).
  static bool FollowsInput(ColourList list);

 private:
  // True while the device is locked; the status line then says the change was refused.
  bool RefusedWhileLocked();
  std::uint8_t SourceItem() const;
  std::uint8_t WindowItem() const;
  // The stored colour a list shows for its item: item k's entry, input or window 1's for all.
  int StoredColour(ColourList list) const;

  DeviceSession& session_;
  PanelSelections& selections_;
};

}  // namespace quintara
