#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/viewer/state/ViewerState.h"

namespace quintara {

class DeviceSession;

// UTF-16 units a label field takes from the operator; the device keeps up to 17, so a longer
// label it reports is shown whole, but typing never makes a label longer than this.
inline constexpr std::size_t kUmdLabelLimit = 11;

// An operator's edit of a label field, held to the limit the way the field's own limit holds it:
// what the edit inserted is cut to the room the rest of the text leaves (nothing when the text
// was already at or over the limit); deleting is never refused.
struct LimitedLabel {
  std::u16string text;
  std::size_t cursor = 0;  // just after what was kept of the insertion
  bool cut = false;        // the edit did not fit whole
};
LimitedLabel LimitLabelEdit(std::u16string_view before, std::u16string_view edited,
                            std::size_t limit = kUmdLabelLimit);

// The UMD page's rules: the all-labels switch, the label switch and the label text of every
// input. The page draws and forwards the operator's actions; this decides what is sent and
// what the page shows afterwards.
class UmdPresenter {
 public:
  explicit UmdPresenter(DeviceSession& session);

  // RefreshLabelTexts: the fields show the mirror's labels from now on.
  void TakeLabelTexts();
  const PerInput<std::u16string>& ShownTexts() const { return shown_; }
  const std::u16string& ShownText(std::uint8_t input) const;

  // A switch click: the look to show (true: on), or nothing while the device is locked. Sends
  // the new state.
  std::optional<bool> ClickAllUmd();
  std::optional<bool> ClickUmdOn(std::uint8_t input);

  // The operator changed the text of an input's field: what the field must show.
  LimitedLabel EditLabel(std::uint8_t input, std::u16string_view edited);

  // The field of an input (1-16) took the keyboard focus.
  void FocusLabel(std::uint8_t input);
  std::uint8_t FocusedLabel() const { return focusedLabel_; }
  // A click on the page's background: true when a label field must give up the focus (which
  // confirms its text); no field counts as focused afterwards.
  bool ClickPage();

  // Enter in the field, or the field lost the focus: stores and sends the text shown. Refused
  // while the device is locked, and then the field must show the stored label again: returned.
  // Nothing is returned once the label went out.
  std::optional<std::u16string> ConfirmLabel(std::uint8_t input);

 private:
  static bool IsInput(std::uint8_t input) { return input >= 1 && input <= kInputCount; }

  DeviceSession& session_;
  PerInput<std::u16string> shown_{};
  std::uint8_t focusedLabel_ = 0;
};

}  // namespace quintara
