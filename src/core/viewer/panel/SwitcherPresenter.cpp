#include "core/viewer/panel/SwitcherPresenter.h"

#include "core/session/DeviceSession.h"
#include "core/viewer/panel/ModePresenter.h"
#include "core/viewer/protocol/ViewerCommands.h"

namespace quintara {

void SwitcherPresenter::Initialise() {
  ViewerState& viewer = session_.Viewer();
  for (std::size_t output = 0; output < kWindowCount; ++output) {
    viewer.SwitcherRects[output].number = viewer.SwitcherSource[output];
  }
}

bool SwitcherPresenter::ChooseRoute(std::uint8_t output, int item) {
  if (session_.RefuseWhileLocked()) {
    return false;
  }
  const auto input = static_cast<std::uint8_t>(item + 1);
  return ViewerCommands(session_).SetSwitcherRoute(output, input) == CommandResult::Sent;
}

void SwitcherPresenter::OneToOne() {
  static_cast<void>(ViewerCommands(session_).SetOneToOne());
}

PerWindow<int> SwitcherPresenter::RouteItems() const {
  PerWindow<int> items{};
  const ViewerState& viewer = session_.Viewer();
  for (std::size_t output = 0; output < kWindowCount; ++output) {
    items[output] = ModePresenter::ItemOfInput(viewer.SwitcherSource[output]);
  }
  return items;
}

}  // namespace quintara
