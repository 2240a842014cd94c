#include "core/viewer/panel/PageSwitch.h"

#include "core/session/DeviceSession.h"
#include "core/viewer/protocol/ViewerCommands.h"

namespace quintara {

std::uint8_t PageSwitch::FirstPage(const ViewerState& viewer) {
  return viewer.SwitcherMode == 1 ? ViewerPage::Switcher : ViewerPage::Mode;
}

bool PageSwitch::Confirmed(std::uint8_t page) {
  const std::uint8_t shown = selections_.CurrentPage;
  if (shown == 0) {
    return true;
  }
  const bool entering = page == ViewerPage::Switcher && shown != ViewerPage::Switcher;
  const bool leaving = page != ViewerPage::Switcher && shown == ViewerPage::Switcher;
  if (!entering && !leaving) {
    return true;
  }
  return session_.GetPrompter().Confirm(entering ? kLeaveMultiviewerModeWarning
                                                 : kLeaveSwitcherModeWarning);
}

std::optional<PageSwitch::Change> PageSwitch::SwitchPage(std::uint8_t page) {
  if (!Confirmed(page)) {
    return std::nullopt;
  }
  // The first page after a read-back is shown even on a locked device.
  if (selections_.PageSwitchPass == 1) {
    selections_.PageSwitchPass = 0;
  } else if (session_.RefuseWhileLocked()) {
    return std::nullopt;
  }
  if (page == selections_.CurrentPage) {
    return std::nullopt;
  }
  const Change change{selections_.CurrentPage, page};
  selections_.CurrentPage = page;
  // Sent on every completed switch, between two multiviewer pages too.
  const std::uint8_t switcherMode = page == ViewerPage::Switcher ? 1 : 0;
  static_cast<void>(ViewerCommands(session_).SetSwitcherMode(switcherMode));
  return change;
}

}  // namespace quintara
