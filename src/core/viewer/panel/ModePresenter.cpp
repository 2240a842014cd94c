#include "core/viewer/panel/ModePresenter.h"

#include "core/session/DeviceSession.h"
#include "core/viewer/protocol/ViewerCommands.h"

namespace quintara {

ModePresenter::ModePresenter(DeviceSession& session) : session_(session) {}

ModeLayoutView ModePresenter::RefreshLayoutControls() {
  const std::uint8_t layoutCode = session_.Viewer().LayoutCode;
  appliedLayoutCode_ = layoutCode;
  return ModeLayoutFor(layoutCode);
}

void ModePresenter::TakeShownSources() {
  shownSources_ = session_.Viewer().WindowSource;
}

void ModePresenter::SourceShown(std::uint8_t window, int item) {
  if (window >= 1 && window <= kWindowCount) {
    shownSources_[window - 1u] =
        item >= 0 && item < static_cast<int>(kInputCount) ? static_cast<std::uint8_t>(item + 1) : 0;
  }
}

std::optional<ModePresenter::LayoutClick> ModePresenter::ClickLayout(std::uint8_t layoutCode) {
  if (session_.RefuseWhileLocked() || layoutCode == appliedLayoutCode_) {
    return std::nullopt;
  }
  // The button lit for the old layout goes out, also when the device reported a variant that
  // only lights its group's button (110 lights 111).
  const LayoutClick click{layoutCode, ModeLayoutFor(session_.Viewer().LayoutCode).highlighted};
  // The page shows the new layout before it goes out and never takes it back.
  appliedLayoutCode_ = layoutCode;
  static_cast<void>(ViewerCommands(session_).SetLayout(layoutCode));
  return click;
}

ModePresenter::CountChoice ModePresenter::ChooseWindowCount(int item) {
  const std::uint8_t count = WindowCountOfItem(item);
  CountChoice choice;
  if (count >= 1 && count <= 16) {
    choice.visibleGroup = count;
  }
  choice.enabledSourceLists = EnabledSourceLists(count);
  return choice;
}

std::optional<int> ModePresenter::ChooseSource(std::uint8_t window, int item) {
  if (window < 1 || window > kWindowCount) {
    return std::nullopt;
  }
  std::uint8_t& shown = shownSources_[window - 1u];
  if (session_.RefuseWhileLocked()) {
    return ItemOfInput(shown);
  }
  const auto source = static_cast<std::uint8_t>(item + 1);
  if (source == shown) {
    return std::nullopt;
  }
  static_cast<void>(ViewerCommands(session_).SetWindowSource(window, source));
  shown = source;
  return std::nullopt;
}

int ModePresenter::ItemOfInput(std::uint8_t input) {
  return input >= 1 && input <= kInputCount ? input - 1 : -1;
}

}  // namespace quintara
