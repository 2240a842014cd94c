#include "core/viewer/panel/ColourPresenter.h"

#include "core/session/DeviceSession.h"
#include "core/viewer/protocol/ViewerCommands.h"

namespace quintara {
namespace {

constexpr int kSelectionItems = 17;  // all, then 1-16
constexpr int kColours = 16;
constexpr int kBorderItems = 2;

using Entries = std::array<std::uint8_t, 16>;
using Sender = CommandResult (ViewerCommands::*)(std::uint8_t item, std::uint8_t colour);

struct ColourRole {
  Entries ViewerState::*field;
  Sender send;
};

ColourRole RoleOf(ColourList list) {
  switch (list) {
    case ColourList::UmdText:
      return {&ViewerState::UmdTextColour, &ViewerCommands::SetUmdTextColour};
    case ColourList::UmdBack:
      return {&ViewerState::UmdBackColour, &ViewerCommands::SetUmdBackColour};
    case ColourList::FormatText:
      return {&ViewerState::FormatTextColour, &ViewerCommands::SetFormatTextColour};
    case ColourList::FormatBack:
      return {&ViewerState::FormatBackColour, &ViewerCommands::SetFormatBackColour};
    case ColourList::TimecodeText:
      return {&ViewerState::TimecodeTextColour, &ViewerCommands::SetTimecodeTextColour};
    case ColourList::TimecodeBack:
      break;
  }
  return {&ViewerState::TimecodeBackColour, &ViewerCommands::SetTimecodeBackColour};
}

int ItemOf(std::uint8_t value, int items) {
  return value < items ? value : -1;
}

}  // namespace

ColourView ColourPresenter::Shown() const {
  ColourView shown{.source = SourceItem(),
                   .window = WindowItem(),
                   .border = ItemOf(session_.Viewer().BorderOn, kBorderItems)};
  for (std::size_t i = 0; i < kColourLists; ++i) {
    shown.colours[i] = StoredColour(static_cast<ColourList>(i));
  }
  return shown;
}

int ColourPresenter::ChooseSource(int item) {
  if (!RefusedWhileLocked() && item >= 0 && item < kSelectionItems) {
    selections_.ColourSourceItem = static_cast<std::uint8_t>(item);
  }
  return SourceItem();
}

int ColourPresenter::ChooseWindow(int item) {
  if (!RefusedWhileLocked() && item >= 0 && item < kSelectionItems) {
    selections_.ColourWindowItem = static_cast<std::uint8_t>(item);
  }
  return WindowItem();
}

int ColourPresenter::ChooseColour(ColourList list, int colour) {
  if (!RefusedWhileLocked() && colour >= 0 && colour < kColours) {
    const std::uint8_t item = FollowsInput(list) ? SourceItem() : WindowItem();
    ViewerCommands commands(session_);
    static_cast<void>((commands.*RoleOf(list).send)(item, static_cast<std::uint8_t>(colour)));
  }
  return StoredColour(list);
}

int ColourPresenter::ChooseBorder(int item) {
  if (!RefusedWhileLocked() && item >= 0 && item < kBorderItems) {
    static_cast<void>(ViewerCommands(session_).SetBorder(static_cast<std::uint8_t>(item)));
  }
  return ItemOf(session_.Viewer().BorderOn, kBorderItems);
}

bool ColourPresenter::FollowsInput(ColourList list) {
  return list == ColourList::UmdText || list == ColourList::UmdBack;
}

bool ColourPresenter::RefusedWhileLocked() {
  return session_.RefuseWhileLocked();
}

std::uint8_t ColourPresenter::SourceItem() const {
  const std::uint8_t item = selections_.ColourSourceItem;
  return item < kSelectionItems ? item : 0;
}

std::uint8_t ColourPresenter::WindowItem() const {
  const std::uint8_t item = selections_.ColourWindowItem;
  return item < kSelectionItems ? item : 0;
}

int ColourPresenter::StoredColour(ColourList list) const {
  const std::uint8_t item = FollowsInput(list) ? SourceItem() : WindowItem();
  const Entries& entries = session_.Viewer().*RoleOf(list).field;
  return ItemOf(entries[item == 0 ? 0 : item - 1u], kColours);
}

}  // namespace quintara
