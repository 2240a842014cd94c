#pragma once

#include <cstdint>
#include <optional>

#include "core/viewer/panel/ModeLayout.h"
#include "core/viewer/state/ViewerState.h"

namespace quintara {

class DeviceSession;

// The Mode page's rules: the layout buttons, the window-count list and the sixteen source
// lists. The page draws and forwards the operator's choices; this decides what is sent and what
// the page shows afterwards.
class ModePresenter {
 public:
  // A new page: no layout applied yet, no source shown.
  explicit ModePresenter(DeviceSession& session);

  // What the page shows for the device's layout; the layout counts as applied from now on.
  ModeLayoutView RefreshLayoutControls();
  // The sources the page shows now are the mirror's.
  void TakeShownSources();
  // The page shows item (input - 1, or -1 for none) for the window, as the device reported it: a
  // pick is compared with what is shown, not with what was shown before the report.
  void SourceShown(std::uint8_t window, int item);

  // A layout button: the button to light and the one to put out, or nothing when the device is
  // locked or the layout is applied already. Sends the layout.
  struct LayoutClick {
    std::uint8_t lit = 0;
    std::optional<std::uint8_t> unlit;
  };
  std::optional<LayoutClick> ClickLayout(std::uint8_t layoutCode);

  // The window-count list: the group to show and the source lists to enable; nothing is sent.
  struct CountChoice {
    std::optional<std::uint8_t> visibleGroup;
    std::uint8_t enabledSourceLists = 0;
  };
  static CountChoice ChooseWindowCount(int item);

  // The source list of a window (1-16) moved to an item (-1: none). While the device is locked
  // the list must go back: the item it shows again (-1: none). Otherwise a changed source is
  // sent and nothing is returned.
  std::optional<int> ChooseSource(std::uint8_t window, int item);

  const PerWindow<std::uint8_t>& ShownSources() const { return shownSources_; }
  // The layout the page shows as applied: the panel's choice, not what the device holds.
  std::uint8_t AppliedLayoutCode() const { return appliedLayoutCode_; }

  // The list item of an input (1-16); -1, no selection, for any other value.
  static int ItemOfInput(std::uint8_t input);

 private:
  DeviceSession& session_;
  PerWindow<std::uint8_t> shownSources_{};
  std::uint8_t appliedLayoutCode_ = 0;
};

}  // namespace quintara
