#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/SettingsReport.h"
#include "core/link/ControlFrame.h"
#include "core/viewer/state/ViewerState.h"

namespace quintara {

class ViewerFrames;

// Everything the multiviewer's command set can set: what a settings file carries and applies.
struct ViewerSettings {
  std::uint8_t OutputFormat = 0;
  std::uint8_t SwitcherMode = 0;
  std::uint8_t LayoutCode = 0;
  PerWindow<std::uint8_t> WindowSource{};
  PerWindow<std::uint8_t> SwitcherSource{};
  std::uint8_t AllUmdOn = 0;
  PerInput<std::uint8_t> UmdOn{};
  PerInput<std::u16string> UmdText{};
  PerInput<ColourIndex> UmdTextColour{};
  PerInput<ColourIndex> UmdBackColour{};
  std::uint8_t FormatStatusOn = 0;
  PerWindow<ColourIndex> FormatTextColour{};
  PerWindow<ColourIndex> FormatBackColour{};
  std::uint8_t BorderOn = 0;
  std::uint8_t TimecodeOn = 0;
  PerWindow<ColourIndex> TimecodeTextColour{};
  PerWindow<ColourIndex> TimecodeBackColour{};
  std::uint8_t AudioAlarmOn = 0;
  std::uint8_t AllMetersOn = 0;
  PerWindow<std::uint8_t> MeterOn{};
  PerWindow<std::uint8_t> MeterChannels{};
  std::uint8_t AudioSource = 0;

  friend bool operator==(const ViewerSettings&, const ViewerSettings&) = default;
};

// What a read-back tells of the unit that no setter changes; a settings file keeps it for its
// reader, and applying one ignores it.
struct ViewerFacts {
  std::u16string name;
  std::uint8_t AddressMode = 0;
  PerWindow<WindowSignalState> WindowSignal{};
  PerWindow<std::u16string> WindowFormatText{};
};

ViewerSettings SettingsOf(const ViewerState& state);

// The longest UMD label the device's state holds, in UTF-16 units.
inline constexpr std::size_t kUmdLabelRoom = 17;

// How a setting's values are written and checked.
enum class SettingKind {
  Flag,          // 0 or 1
  Number,        // low-high
  Layout,        // a layout code of the multiviewer
  OutputFormat,  // a code of the System page's output formats
  TextColour,    // a palette index, 0-15
  BackColour,    // a palette index; the device's field holds 0-31
  Label,         // UTF-16 text of at most kUmdLabelRoom units
};

// One setting: its name (as in the mirror), its kind and range, and where it lives. Exactly one
// of one, sixteen and labels is set.
struct SettingField {
  std::string_view name;
  SettingKind kind;
  int low = 0;
  int high = 1;
  std::uint8_t ViewerSettings::*one = nullptr;
  std::array<std::uint8_t, 16> ViewerSettings::*sixteen = nullptr;
  PerInput<std::u16string> ViewerSettings::*labels = nullptr;
  std::uint8_t commandCode = 0;  // the setter that changes it
  std::string_view commandName;
};

// Every setting, in the order a settings file lists them.
std::span<const SettingField> SettingFields();

// A setting's value as text, for listings: a flag "on"/"off", a colour its palette name, an
// output format its name, a label in double quotes.
std::string SettingValueText(const SettingField& field, const ViewerSettings& settings,
                             std::size_t index);

// One setter the settings need: the field it changes ("WindowSource[3]", entries counted from
// 0), the value it sets as SettingValueText shows it, and the frame.
struct SettingsChange {
  std::string field;
  std::string_view commandName;
  std::string value;
  Frame frame;
};

// The setters that take a multiviewer from the settings it holds to the wanted ones, only for
// what differs, in an order that gives the right result: the output format; in multiviewer
// mode the layout and then the windows' sources; in switcher mode the routes; the "all"
// switches before the single ones; at the end the wanted mode.
std::vector<SettingsChange> PlanSettings(const ViewerFrames& frames, const ViewerSettings& device,
                                         const ViewerSettings& wanted);

std::vector<SettingsDifference> CompareSettings(const ViewerSettings& wanted,
                                                const ViewerSettings& device);

}  // namespace quintara
