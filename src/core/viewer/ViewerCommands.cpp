#include "core/viewer/ViewerCommands.h"

#include <array>

#include "core/Controller.h"
#include "core/text/TextCodec.h"
#include "core/viewer/ViewerRefresh.h"

namespace quintara {
namespace {

constexpr std::uint8_t kAllItems = 0;
constexpr std::uint8_t kLastNumber = 16;

bool IsItem(std::uint8_t item) {
  return item <= kLastNumber;
}
bool IsNumber(std::uint8_t number) {
  return number >= 1 && number <= kLastNumber;
}
bool IsWindowIndex(std::uint8_t index) {
  return index < kWindowCount;
}

}  // namespace

Frame ViewerCommands::Build(std::uint8_t commandCode, std::span<const std::uint8_t> payload) const {
  const DeviceEntry entry = controller_.SelectedOrEmptyEntry();
  return BuildFrame(entry.DeviceType, entry.DeviceAddress, controller_.CurrentLink(), commandCode,
                    payload);
}

bool ViewerCommands::SendViewerCommand(const Frame& frame, const Step& store,
                                       const Step& afterwards) {
  if (controller_.LockState() == 1) {
    return false;
  }
  if (store) {
    store();
  }
  if (!controller_.SendFrame(frame)) {
    return false;  // what was stored stays; the preview is not brought up to date
  }
  if (afterwards) {
    afterwards();
  }
  return true;
}

void ViewerCommands::Repaint() {
  controller_.ViewerViews().Notify([](ViewerView& view) { view.RepaintPreview(); });
}

bool ViewerCommands::SetLayout() {
  ViewerState& viewer = controller_.Viewer();
  const std::array<std::uint8_t, 1> payload{viewer.LayoutCode};
  return SendViewerCommand(Build(ViewerCode::SetLayout, payload), {}, [this, &viewer] {
    RefreshLayout(viewer);
    Repaint();
  });
}

bool ViewerCommands::SetWindowSource(std::uint8_t window, std::uint8_t input) {
  if (!IsNumber(window)) {
    return false;  // there is no such window to route
  }
  ViewerState& viewer = controller_.Viewer();
  const std::array<std::uint8_t, 2> payload{input, window};
  return SendViewerCommand(
      Build(ViewerCode::SetWindowSource, payload),
      [&viewer, window, input] {
        if (viewer.CurrentPage == ViewerPage::Switcher) {
          viewer.SwitcherSource[window - 1] = input;
          viewer.SwitcherRects[window - 1].number = input;
        }
      },
      [this, &viewer] {
        if (viewer.CurrentPage == ViewerPage::Mode || viewer.CurrentPage == ViewerPage::Switcher) {
          Repaint();
        }
      });
}

bool ViewerCommands::SetUmdText(std::uint8_t input) {
  if (!IsNumber(input)) {
    return false;
  }
  const DeviceEntry entry = controller_.SelectedOrEmptyEntry();
  const Frame frame =
      BuildLabelFrame(entry.DeviceType, entry.DeviceAddress, controller_.CurrentLink(), input,
                      EncodeUtf16Le(controller_.Viewer().UmdText[input - 1]));
  return SendViewerCommand(frame, {}, [this] { Repaint(); });
}

bool ViewerCommands::SetUmdOn(std::uint8_t item, std::uint8_t on) {
  ViewerState& viewer = controller_.Viewer();
  if (item == kAllItems) {
    const std::array<std::uint8_t, 1> payload{on};
    return SendViewerCommand(
        Build(ViewerCode::SetAllUmd, payload), [&viewer, on] { viewer.AllUmdOn = on; },
        [this] { Repaint(); });
  }
  if (!IsNumber(item)) {
    return false;
  }
  const std::array<std::uint8_t, 2> payload{item, on};
  return SendViewerCommand(
      Build(ViewerCode::SetUmdOn, payload), [&viewer, item, on] { viewer.UmdOn[item - 1] = on; },
      [this] { Repaint(); });
}

bool ViewerCommands::SetMeterOn(std::uint8_t windowIndex, std::uint8_t on) {
  ViewerState& viewer = controller_.Viewer();
  if (windowIndex == kAllMetersIndex) {
    const std::array<std::uint8_t, 1> payload{on};
    return SendViewerCommand(
        Build(ViewerCode::SetAllMeters, payload), [&viewer, on] { viewer.AllMetersOn = on; },
        [this] { Repaint(); });
  }
  if (!IsWindowIndex(windowIndex)) {
    return false;
  }
  const std::array<std::uint8_t, 2> payload{static_cast<std::uint8_t>(windowIndex + 1), on};
  return SendViewerCommand(
      Build(ViewerCode::SetMeterOn, payload),
      [&viewer, windowIndex, on] { viewer.MeterOn[windowIndex] = on; }, [this] { Repaint(); });
}

bool ViewerCommands::SetMeterChannels(std::uint8_t windowIndex, std::uint8_t pair) {
  if (!IsWindowIndex(windowIndex)) {
    return false;
  }
  ViewerState& viewer = controller_.Viewer();
  const std::array<std::uint8_t, 2> payload{static_cast<std::uint8_t>(windowIndex + 1), pair};
  return SendViewerCommand(
      Build(ViewerCode::SetMeterChannels, payload),
      [&viewer, windowIndex, pair] { viewer.MeterChannels[windowIndex] = pair; },
      [this] { Repaint(); });
}

bool ViewerCommands::SendColour(std::uint8_t commandCode, std::uint8_t item, std::uint8_t colour,
                                std::array<std::uint8_t, 16>& field, bool allOnItemZero,
                                const Step& afterwards) {
  if (!IsItem(item)) {
    return false;
  }
  const std::array<std::uint8_t, 2> payload{item, colour};
  return SendViewerCommand(
      Build(commandCode, payload),
      [&field, item, colour, allOnItemZero] {
        if (item != kAllItems) {
          field[item - 1] = colour;
        } else if (allOnItemZero) {
          field.fill(colour);
        } else {
          field[0] = colour;  // the time code colours keep "all" in their first entry only
        }
      },
      afterwards);
}

bool ViewerCommands::SetUmdTextColour(std::uint8_t item, std::uint8_t colour) {
  ViewerState& viewer = controller_.Viewer();
  return SendColour(ViewerCode::SetUmdTextColour, item, colour, viewer.UmdTextColour, true,
                    [this, &viewer] {
                      RefreshColours(viewer, ColourTable::UmdText);
                      Repaint();
                    });
}

bool ViewerCommands::SetUmdBackColour(std::uint8_t item, std::uint8_t colour) {
  ViewerState& viewer = controller_.Viewer();
  return SendColour(ViewerCode::SetUmdBackColour, item, colour, viewer.UmdBackColour, true,
                    [this, &viewer] {
                      RefreshColours(viewer, ColourTable::UmdBack);
                      Repaint();
                    });
}

bool ViewerCommands::SetFormatTextColour(std::uint8_t item, std::uint8_t colour) {
  ViewerState& viewer = controller_.Viewer();
  return SendColour(ViewerCode::SetFormatTextColour, item, colour, viewer.FormatTextColour, true,
                    [this, &viewer] {
                      RefreshColours(viewer, ColourTable::FormatText);
                      Repaint();
                    });
}

bool ViewerCommands::SetFormatBackColour(std::uint8_t item, std::uint8_t colour) {
  ViewerState& viewer = controller_.Viewer();
  return SendColour(ViewerCode::SetFormatBackColour, item, colour, viewer.FormatBackColour, true,
                    [this, &viewer] {
                      RefreshColours(viewer, ColourTable::FormatBack);
                      Repaint();
                    });
}

bool ViewerCommands::SetTimecodeTextColour(std::uint8_t item, std::uint8_t colour) {
  return SendColour(ViewerCode::SetTimecodeTextColour, item, colour,
                    controller_.Viewer().TimecodeTextColour, false, {});
}

bool ViewerCommands::SetTimecodeBackColour(std::uint8_t item, std::uint8_t colour) {
  return SendColour(ViewerCode::SetTimecodeBackColour, item, colour,
                    controller_.Viewer().TimecodeBackColour, false, {});
}

bool ViewerCommands::SetBorder(std::uint8_t on) {
  ViewerState& viewer = controller_.Viewer();
  const std::array<std::uint8_t, 1> payload{on};
  return SendViewerCommand(
      Build(ViewerCode::SetBorder, payload), [&viewer, on] { viewer.BorderOn = on; },
      [this] { Repaint(); });
}

bool ViewerCommands::SetFormatStatus(std::uint8_t on) {
  ViewerState& viewer = controller_.Viewer();
  const std::array<std::uint8_t, 1> payload{on};
  return SendViewerCommand(
      Build(ViewerCode::SetFormatStatus, payload), [&viewer, on] { viewer.FormatStatusOn = on; },
      [this] { Repaint(); });
}

bool ViewerCommands::SetAudioAlarm(std::uint8_t on) {
  ViewerState& viewer = controller_.Viewer();
  const std::array<std::uint8_t, 1> payload{on};
  return SendViewerCommand(
      Build(ViewerCode::SetAudioAlarm, payload), [&viewer, on] { viewer.AudioAlarmOn = on; },
      [this] { Repaint(); });
}

bool ViewerCommands::SetTimecode(std::uint8_t on) {
  ViewerState& viewer = controller_.Viewer();
  const std::array<std::uint8_t, 1> payload{on};
  return SendViewerCommand(Build(ViewerCode::SetTimecode, payload),
                           [&viewer, on] { viewer.TimecodeOn = on; }, {});
}

bool ViewerCommands::SetAudioSource(std::uint8_t source) {
  const std::array<std::uint8_t, 1> payload{source};
  return SendViewerCommand(Build(ViewerCode::SetAudioSource, payload), {}, {});
}

bool ViewerCommands::SetSwitcherMode(std::uint8_t switcherMode) {
  const std::array<std::uint8_t, 1> payload{switcherMode};
  return SendViewerCommand(Build(ViewerCode::SetSwitcherMode, payload), {}, {});
}

bool ViewerCommands::SetOutputFormat(std::uint8_t code) {
  const std::array<std::uint8_t, 2> payload{0x00, code};
  return SendViewerCommand(Build(ViewerCode::SetOutputFormat, payload), {}, {});
}

bool ViewerCommands::SetOneToOne() {
  ViewerState& viewer = controller_.Viewer();
  return SendViewerCommand(
      Build(ViewerCode::SetOneToOne, {}),
      [&viewer] {
        for (std::size_t k = 0; k < kWindowCount; ++k) {
          viewer.SwitcherSource[k] = static_cast<std::uint8_t>(k + 1);
          viewer.SwitcherRects[k].number = static_cast<std::int32_t>(k + 1);
        }
      },
      [this] { Repaint(); });
}

bool ViewerCommands::LoadDefaults() {
  const std::array<std::uint8_t, 1> payload{0x00};
  return SendViewerCommand(Build(ViewerCode::LoadDefaults, payload), {}, {});
}

bool ViewerCommands::SendCustomMemory(std::uint8_t commandCode, std::uint8_t memory) {
  const std::array<std::uint8_t, 1> payload{memory};
  return SendViewerCommand(Build(commandCode, payload), {}, {});
}

}  // namespace quintara
