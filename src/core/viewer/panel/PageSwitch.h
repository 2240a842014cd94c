#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quintara {

class DeviceSession;
struct PanelSelections;
struct ViewerState;

inline constexpr std::string_view kLeaveMultiviewerModeWarning =
    "Exiting Multi-viewer Mode will make Loopout return to the status you set for Switcher Mode "
    "last time. \nAre you sure? ";
inline constexpr std::string_view kLeaveSwitcherModeWarning =
    "Exiting Switcher Mode will default the Matrix to one-to-one until you return to Switcher "
    "Mode. \nAre you sure? ";

// The multiviewer panel's choice of page: the warnings when the switcher page is entered or
// left, the lock, and the mode sent with every completed switch. The panel swaps the page
// windows and the tab pictures; this decides whether and from which page.
class PageSwitch {
 public:
  struct Change {
    std::uint8_t from = 0;  // CurrentPage before; 0 when no page was shown
    std::uint8_t to = 0;
  };

  PageSwitch(DeviceSession& session, PanelSelections& selections)
      : session_(session), selections_(selections) {}

  // The page the panel opens on: the Switcher page when the device runs as a switcher.
  static std::uint8_t FirstPage(const ViewerState& viewer);

  // A tab click (or the panel's first page): the change to make, or nothing when the operator
  // cancelled a warning, the device is locked, or the page is shown already.
  std::optional<Change> SwitchPage(std::uint8_t page);

 private:
  // The warning of a switch into or out of the Switcher page; true when there is none or the
  // operator chose OK.
  bool Confirmed(std::uint8_t page);

  DeviceSession& session_;
  PanelSelections& selections_;
};

}  // namespace quintara
