#include "core/viewer/state/ViewerSettings.h"

#include <algorithm>
#include <array>

#include "core/text/TextCodec.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "core/viewer/protocol/ViewerFrames.h"
#include "core/viewer/state/ViewerTables.h"

namespace quintara {
namespace {

using S = ViewerSettings;
using K = SettingKind;
namespace vc = ViewerCode;

constexpr int kLastNumber = 16;

SettingField One(std::string_view name, K kind, int low, int high, std::uint8_t S::*field,
                 std::uint8_t code, std::string_view command) {
  return {name, kind, low, high, field, nullptr, nullptr, code, command};
}

SettingField Sixteen(std::string_view name, K kind, int low, int high,
                     std::array<std::uint8_t, 16> S::*field, std::uint8_t code,
                     std::string_view command) {
  return {name, kind, low, high, nullptr, field, nullptr, code, command};
}

const std::array<SettingField, 22> kFields{{
    One("OutputFormat", K::OutputFormat, 0, 15, &S::OutputFormat, vc::SetOutputFormat,
        "SetOutputFormat"),
    One("SwitcherMode", K::Flag, 0, 1, &S::SwitcherMode, vc::SetSwitcherMode, "SetSwitcherMode"),
    One("LayoutCode", K::Layout, 1, 255, &S::LayoutCode, vc::SetLayout, "SetLayout"),
    Sixteen("WindowSource", K::Number, 1, kLastNumber, &S::WindowSource, vc::SetWindowSource,
            "SetWindowSource"),
    Sixteen("SwitcherSource", K::Number, 1, kLastNumber, &S::SwitcherSource, vc::SetWindowSource,
            "SetWindowSource"),
    One("AllUmdOn", K::Flag, 0, 1, &S::AllUmdOn, vc::SetAllUmd, "SetAllUmd"),
    Sixteen("UmdOn", K::Flag, 0, 1, &S::UmdOn, vc::SetUmdOn, "SetUmdOn"),
    {"UmdText", K::Label, 0, 0, nullptr, nullptr, &S::UmdText, vc::SetUmdText, "SetUmdText"},
    Sixteen("UmdTextColour", K::TextColour, 0, 15, &S::UmdTextColour, vc::SetUmdTextColour,
            "SetUmdTextColour"),
    Sixteen("UmdBackColour", K::BackColour, 0, 31, &S::UmdBackColour, vc::SetUmdBackColour,
            "SetUmdBackColour"),
    One("FormatStatusOn", K::Flag, 0, 1, &S::FormatStatusOn, vc::SetFormatStatus,
        "SetFormatStatus"),
    Sixteen("FormatTextColour", K::TextColour, 0, 15, &S::FormatTextColour, vc::SetFormatTextColour,
            "SetFormatTextColour"),
    Sixteen("FormatBackColour", K::BackColour, 0, 31, &S::FormatBackColour, vc::SetFormatBackColour,
            "SetFormatBackColour"),
    One("BorderOn", K::Flag, 0, 1, &S::BorderOn, vc::SetBorder, "SetBorder"),
    One("TimecodeOn", K::Flag, 0, 1, &S::TimecodeOn, vc::SetTimecode, "SetTimecode"),
    Sixteen("TimecodeTextColour", K::TextColour, 0, 15, &S::TimecodeTextColour,
            vc::SetTimecodeTextColour, "SetTimecodeTextColour"),
    Sixteen("TimecodeBackColour", K::BackColour, 0, 31, &S::TimecodeBackColour,
            vc::SetTimecodeBackColour, "SetTimecodeBackColour"),
    One("AudioAlarmOn", K::Flag, 0, 1, &S::AudioAlarmOn, vc::SetAudioAlarm, "SetAudioAlarm"),
    One("AllMetersOn", K::Flag, 0, 1, &S::AllMetersOn, vc::SetAllMeters, "SetAllMeters"),
    Sixteen("MeterOn", K::Flag, 0, 1, &S::MeterOn, vc::SetMeterOn, "SetMeterOn"),
    Sixteen("MeterChannels", K::Number, 0, 7, &S::MeterChannels, vc::SetMeterChannels,
            "SetMeterChannels"),
    One("AudioSource", K::Number, 0, kLastNumber, &S::AudioSource, vc::SetAudioSource,
        "SetAudioSource"),
}};

const SettingField& Field(std::string_view name) {
  return *std::ranges::find(kFields, name, &SettingField::name);
}

std::size_t Entries(const SettingField& field) {
  return field.one != nullptr ? 1 : 16;
}

bool Differs(const SettingField& field, const S& a, const S& b, std::size_t index) {
  if (field.one != nullptr) {
    return a.*field.one != b.*field.one;
  }
  if (field.sixteen != nullptr) {
    return (a.*field.sixteen)[index] != (b.*field.sixteen)[index];
  }
  return (a.*field.labels)[index] != (b.*field.labels)[index];
}

std::string Path(const SettingField& field, std::size_t index) {
  return field.one != nullptr ? std::string(field.name)
                              : std::string(field.name) + "[" + std::to_string(index) + "]";
}

// The frame that sets entry index of the field to the wanted value.
Frame FrameOf(const ViewerFrames& frames, const SettingField& field, const S& wanted,
              std::size_t index) {
  const auto number = static_cast<std::uint8_t>(index + 1);
  if (field.labels != nullptr) {
    return frames.UmdText(number, (wanted.*field.labels)[index]);
  }
  if (field.one != nullptr) {
    const std::uint8_t value = wanted.*field.one;
    return field.kind == K::OutputFormat ? frames.OutputFormat(value)
                                         : frames.OneValue(field.commandCode, value);
  }
  const std::uint8_t value = (wanted.*field.sixteen)[index];
  if (field.commandCode == vc::SetWindowSource) {
    return frames.WindowSource(number, value);
  }
  return frames.NumberAndValue(field.commandCode, number, value);
}

class Planner {
 public:
  Planner(const ViewerFrames& frames, const S& device, const S& wanted)
      : frames_(frames), device_(device), wanted_(wanted), mode_(device.SwitcherMode) {}

  // Every entry of the field that differs.
  void Differing(const SettingField& field) {
    for (std::size_t i = 0; i < Entries(field); ++i) {
      if (Differs(field, device_, wanted_, i)) {
        changes_.push_back({Path(field, i), field.commandName, SettingValueText(field, wanted_, i),
                            FrameOf(frames_, field, wanted_, i)});
      }
    }
  }
  bool AnyDiffers(const SettingField& field) const {
    for (std::size_t i = 0; i < Entries(field); ++i) {
      if (Differs(field, device_, wanted_, i)) {
        return true;
      }
    }
    return false;
  }
  void Mode(std::uint8_t mode) {
    if (mode_ != mode) {
      const SettingField& field = Field("SwitcherMode");
      changes_.push_back({std::string(field.name), field.commandName, mode != 0 ? "on" : "off",
                          frames_.OneValue(field.commandCode, mode)});
      mode_ = mode;
    }
  }
  std::vector<SettingsChange> Take() { return std::move(changes_); }

 private:
  const ViewerFrames& frames_;
  const S& device_;
  const S& wanted_;
  std::uint8_t mode_;
  std::vector<SettingsChange> changes_;
};

bool IsRouting(const SettingField& field) {
  return field.name == "SwitcherMode" || field.name == "LayoutCode" ||
         field.commandCode == vc::SetWindowSource;
}

std::string Number(int value) {
  return std::to_string(value);
}

}  // namespace

std::span<const SettingField> SettingFields() {
  return kFields;
}

ViewerSettings SettingsOf(const ViewerState& state) {
  ViewerSettings s;
  s.OutputFormat = state.OutputFormat;
  s.SwitcherMode = state.SwitcherMode;
  s.LayoutCode = state.LayoutCode;
  s.WindowSource = state.WindowSource;
  s.SwitcherSource = state.SwitcherSource;
  s.AllUmdOn = state.AllUmdOn;
  s.UmdOn = state.UmdOn;
  s.UmdText = state.UmdText;
  s.UmdTextColour = state.UmdTextColour;
  s.UmdBackColour = state.UmdBackColour;
  s.FormatStatusOn = state.FormatStatusOn;
  s.FormatTextColour = state.FormatTextColour;
  s.FormatBackColour = state.FormatBackColour;
  s.BorderOn = state.BorderOn;
  s.TimecodeOn = state.TimecodeOn;
  s.TimecodeTextColour = state.TimecodeTextColour;
  s.TimecodeBackColour = state.TimecodeBackColour;
  s.AudioAlarmOn = state.AudioAlarmOn;
  s.AllMetersOn = state.AllMetersOn;
  s.MeterOn = state.MeterOn;
  s.MeterChannels = state.MeterChannels;
  s.AudioSource = state.AudioSource;
  return s;
}

std::string SettingValueText(const SettingField& field, const ViewerSettings& settings,
                             std::size_t index) {
  if (field.labels != nullptr) {
    return "\"" + Utf16ToUtf8((settings.*field.labels)[index]) + "\"";
  }
  const std::uint8_t value =
      field.one != nullptr ? settings.*field.one : (settings.*field.sixteen)[index];
  switch (field.kind) {
    case K::Flag:
      return value != 0 ? "on" : "off";
    case K::OutputFormat:
      if (const auto item = OutputFormatItem(value)) {
        return std::string(kOutputFormats[*item].text);
      }
      return Number(value);
    case K::TextColour:
    case K::BackColour:
      return value < kPalette.size() ? std::string(kPalette[value].name) : Number(value);
    default:
      return Number(value);
  }
}

std::vector<SettingsChange> PlanSettings(const ViewerFrames& frames, const ViewerSettings& device,
                                         const ViewerSettings& wanted) {
  Planner plan(frames, device, wanted);
  plan.Differing(Field("OutputFormat"));
  // A window source and a route are the same setter; the device's mode says which it sets.
  if (plan.AnyDiffers(Field("LayoutCode")) || plan.AnyDiffers(Field("WindowSource"))) {
    plan.Mode(0);
    plan.Differing(Field("LayoutCode"));
    plan.Differing(Field("WindowSource"));
  }
  if (plan.AnyDiffers(Field("SwitcherSource"))) {
    plan.Mode(1);
    plan.Differing(Field("SwitcherSource"));
  }
  for (const SettingField& field : kFields) {
    if (field.name != "OutputFormat" && !IsRouting(field)) {
      plan.Differing(field);
    }
  }
  plan.Mode(wanted.SwitcherMode);
  return plan.Take();
}

std::vector<SettingsDifference> CompareSettings(const ViewerSettings& wanted,
                                                const ViewerSettings& device) {
  std::vector<SettingsDifference> differences;
  for (const SettingField& field : kFields) {
    for (std::size_t i = 0; i < Entries(field); ++i) {
      if (Differs(field, wanted, device, i)) {
        differences.push_back({Path(field, i), SettingValueText(field, wanted, i),
                               SettingValueText(field, device, i)});
      }
    }
  }
  return differences;
}

}  // namespace quintara
