#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/ExchangeRunner.h"
#include "core/link/ControlFrame.h"
#include "core/session/Lifetime.h"
#include "core/viewer/panel/ViewerView.h"

namespace quintara {

class DeviceSession;

// What the window says while a recall waits for the device.
inline constexpr std::string_view kLoadingDefaultsText = "Loading defaults...";
inline constexpr std::string_view kLoadingCustomText = "Recalling memory...";

// The System page's three switches as the mirror holds them.
struct SystemSwitches {
  bool formatStatus = false;
  bool audioAlarm = false;
  bool timecode = false;

  friend bool operator==(const SystemSwitches&, const SystemSwitches&) = default;
};

// The System page's rules: the output format list, the three switches, and the saving and
// recalling of the device's settings. The page draws and forwards clicks; this decides what is
// sent, what the list shows again while the device is locked, and what a recall refreshes.
class SystemPresenter {
 public:
  explicit SystemPresenter(DeviceSession& session) : session_(session) {}

  // The list item of the mirror's output format, to be selected; nothing for a code no item has
  // (the list then keeps what it shows).
  std::optional<int> OutputFormatItem() const;
  // The list now shows this item (-1: none); the page tells every selection it makes itself.
  void NoteShownFormat(int item) { shownFormatItem_ = item; }
  // The operator moved the list to an item (-1: none). While the device is locked the list must
  // go back: the item to show again (-1: none). Otherwise the format is stored and sent.
  std::optional<int> ChooseOutputFormat(int item);

  SystemSwitches Switches() const;
  // A switch button (FormatStatus, AudioAlarm or Timecode): the state to show, or nothing while
  // the device is locked. The new state is sent.
  std::optional<bool> Toggle(ViewerSwitch which);

  // Stores the device's settings in its memory 1 or 2.
  void SaveCustom(std::uint8_t memory);
  // Recalls memory 1 or 2 in an exchange started on the controller's runner: sends, lets the
  // device settle, reads the whole state back, then brings the derived tables and the preview
  // up to date, and `recalled` follows (the page shows the switches). The wait and the
  // read-back happen while locked too; only the send is refused then. The mirror takes what
  // was recalled even when the page has gone meanwhile; `recalled` then does not run.
  void LoadCustom(std::uint8_t memory, Continuation recalled);
  // Restores the device's defaults as LoadCustom recalls a memory, and puts the Audio and Colour
  // pages' selections back to their first items. False, with nothing done, while locked.
  bool LoadDefaults(Continuation recalled);

 private:
  // The send (none when refused), the pause, the read-back; then the refresh, what the recall
  // does to the mirror besides, and what the page shows.
  void Recall(std::string_view what, std::optional<Frame> send, Continuation besides,
              Continuation recalled);

  DeviceSession& session_;
  int shownFormatItem_ = -1;
  Lifetime lifetime_;
};

}  // namespace quintara
