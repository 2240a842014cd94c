#include "core/viewer/panel/UmdPresenter.h"

#include <algorithm>

#include "core/session/DeviceSession.h"
#include "core/viewer/protocol/ViewerCommands.h"

namespace quintara {
namespace {

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

std::uint8_t Toggled(std::uint8_t on) {
  return on == 0 ? 1 : 0;
}

}  // namespace

LimitedLabel LimitLabelEdit(std::u16string_view before, std::u16string_view edited,
                            std::size_t limit) {
  // What the edit inserted lies between the text it kept in front and the text it kept behind.
  const std::size_t shorter = std::min(before.size(), edited.size());
  std::size_t front = 0;
  while (front < shorter && before[front] == edited[front]) {
    ++front;
  }
  std::size_t back = 0;
  while (back < shorter - front &&
         before[before.size() - 1 - back] == edited[edited.size() - 1 - back]) {
    ++back;
  }
  // Whole characters only: a pair split by the comparison belongs to the insertion.
  if (front > 0 && IsHighSurrogate(edited[front - 1])) {
    --front;
  }
  std::size_t end = edited.size() - back;
  if (back > 0 && IsLowSurrogate(edited[end])) {
    ++end;
  }
  const std::u16string_view inserted = edited.substr(front, end - front);
  const std::size_t rest = edited.size() - inserted.size();
  const std::size_t room = rest < limit ? limit - rest : 0;
  if (inserted.size() <= room) {
    return {std::u16string(edited), end, false};
  }
  std::size_t kept = room;
  if (kept > 0 && IsHighSurrogate(inserted[kept - 1])) {
    --kept;
  }
  std::u16string text(edited.substr(0, front));
  text += inserted.substr(0, kept);
  text += edited.substr(end);
  return {std::move(text), front + kept, true};
}

UmdPresenter::UmdPresenter(DeviceSession& session) : session_(session) {
  TakeLabelTexts();
}

void UmdPresenter::TakeLabelTexts() {
  shown_ = session_.Viewer().UmdText;
}

const std::u16string& UmdPresenter::ShownText(std::uint8_t input) const {
  static const std::u16string none;
  return IsInput(input) ? shown_[input - 1u] : none;
}

std::optional<bool> UmdPresenter::ClickAllUmd() {
  if (session_.RefuseWhileLocked()) {
    return std::nullopt;
  }
  const std::uint8_t next = Toggled(session_.Viewer().AllUmdOn);
  static_cast<void>(ViewerCommands(session_).SetUmdOn(0, next));
  return next == 1;
}

std::optional<bool> UmdPresenter::ClickUmdOn(std::uint8_t input) {
  if (!IsInput(input) || session_.RefuseWhileLocked()) {
    return std::nullopt;
  }
  const std::uint8_t next = Toggled(session_.Viewer().UmdOn[input - 1u]);
  static_cast<void>(ViewerCommands(session_).SetUmdOn(input, next));
  return next == 1;
}

LimitedLabel UmdPresenter::EditLabel(std::uint8_t input, std::u16string_view edited) {
  if (!IsInput(input)) {
    return {};
  }
  std::u16string& shown = shown_[input - 1u];
  LimitedLabel kept = LimitLabelEdit(shown, edited);
  shown = kept.text;
  return kept;
}

void UmdPresenter::FocusLabel(std::uint8_t input) {
  if (IsInput(input)) {
    focusedLabel_ = input;
  }
}

bool UmdPresenter::ClickPage() {
  const bool editing = focusedLabel_ > 0;
  focusedLabel_ = 0;
  return editing;
}

std::optional<std::u16string> UmdPresenter::ConfirmLabel(std::uint8_t input) {
  if (!IsInput(input)) {
    return std::nullopt;
  }
  std::u16string& shown = shown_[input - 1u];
  if (ViewerCommands(session_).SetUmdText(input, shown) == CommandResult::RefusedLocked) {
    // Nothing went out: the field must not go on showing a label the device does not have.
    shown = session_.Viewer().UmdText[input - 1u];
    return shown;
  }
  return std::nullopt;
}

}  // namespace quintara
