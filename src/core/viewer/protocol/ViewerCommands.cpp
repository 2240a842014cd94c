#include "core/viewer/protocol/ViewerCommands.h"

#include <array>

#include "core/session/DeviceSession.h"
#include "core/viewer/state/ViewerRefresh.h"

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

CommandResult ViewerCommands::SendViewerCommand(const Frame& frame, const Step& store,
                                                const Step& afterwards) {
  if (session_.RefuseWhileLocked()) {
    return CommandResult::RefusedLocked;
  }
  if (store) {
    store();
  }
  if (!session_.SendFrame(frame)) {
    return CommandResult::NotSent;  // what was stored stays; the preview is not brought up to date
  }
  if (afterwards) {
    afterwards();
  }
  return CommandResult::Sent;
}

void ViewerCommands::Repaint() {
  session_.ViewerViews().Notify([](ViewerView& view) { view.RepaintPreview(); });
}

CommandResult ViewerCommands::SetLayout(std::uint8_t layoutCode) {
  ViewerState& viewer = session_.Viewer();
  return SendViewerCommand(
      frames_.Layout(layoutCode), [&viewer, layoutCode] { viewer.LayoutCode = layoutCode; },
      [this, &viewer] {
        RefreshLayout(viewer);
        Repaint();
      });
}

CommandResult ViewerCommands::SetWindowSource(std::uint8_t window, std::uint8_t input) {
  if (!IsNumber(window)) {
    return CommandResult::NotSent;  // there is no such window
  }
  ViewerState& viewer = session_.Viewer();
  return SendViewerCommand(
      frames_.WindowSource(window, input),
      [&viewer, window, input] { viewer.WindowSource[window - 1] = input; }, [this] { Repaint(); });
}

CommandResult ViewerCommands::SetSwitcherRoute(std::uint8_t output, std::uint8_t input) {
  if (!IsNumber(output)) {
    return CommandResult::NotSent;  // there is no such output to route
  }
  ViewerState& viewer = session_.Viewer();
  return SendViewerCommand(
      frames_.WindowSource(output, input),
      [&viewer, output, input] {
        viewer.SwitcherSource[output - 1] = input;
        viewer.SwitcherRects[output - 1].number = input;
      },
      [this] { Repaint(); });
}

CommandResult ViewerCommands::SetUmdText(std::uint8_t input, std::u16string_view text) {
  if (!IsNumber(input)) {
    return CommandResult::NotSent;
  }
  ViewerState& viewer = session_.Viewer();
  return SendViewerCommand(
      frames_.UmdText(input, std::u16string(text)),
      [&viewer, input, text] { viewer.UmdText[input - 1] = text; }, [this] { Repaint(); });
}

CommandResult ViewerCommands::SetUmdOn(std::uint8_t item, std::uint8_t on) {
  ViewerState& viewer = session_.Viewer();
  if (item == kAllItems) {
    return SendViewerCommand(
        frames_.AllUmd(on), [&viewer, on] { viewer.AllUmdOn = on; }, [this] { Repaint(); });
  }
  if (!IsNumber(item)) {
    return CommandResult::NotSent;
  }
  return SendViewerCommand(
      frames_.UmdOn(item, on), [&viewer, item, on] { viewer.UmdOn[item - 1] = on; },
      [this] { Repaint(); });
}

CommandResult ViewerCommands::SetMeterOn(std::uint8_t windowIndex, std::uint8_t on) {
  ViewerState& viewer = session_.Viewer();
  if (windowIndex == kAllMetersIndex) {
    return SendViewerCommand(
        frames_.AllMeters(on), [&viewer, on] { viewer.AllMetersOn = on; }, [this] { Repaint(); });
  }
  if (!IsWindowIndex(windowIndex)) {
    return CommandResult::NotSent;
  }
  return SendViewerCommand(
      frames_.MeterOn(windowIndex, on),
      [&viewer, windowIndex, on] { viewer.MeterOn[windowIndex] = on; }, [this] { Repaint(); });
}

CommandResult ViewerCommands::SetMeterChannels(std::uint8_t windowIndex, std::uint8_t pair) {
  if (!IsWindowIndex(windowIndex)) {
    return CommandResult::NotSent;
  }
  ViewerState& viewer = session_.Viewer();
  return SendViewerCommand(
      frames_.MeterChannels(windowIndex, pair),
      [&viewer, windowIndex, pair] { viewer.MeterChannels[windowIndex] = pair; },
      [this] { Repaint(); });
}

CommandResult ViewerCommands::SendColour(std::uint8_t commandCode, std::uint8_t item,
                                         std::uint8_t colour, std::array<std::uint8_t, 16>& field,
                                         bool allOnItemZero, const Step& afterwards) {
  if (!IsItem(item)) {
    return CommandResult::NotSent;
  }
  return SendViewerCommand(
      frames_.Colour(commandCode, item, colour),
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

CommandResult ViewerCommands::SetUmdTextColour(std::uint8_t item, std::uint8_t colour) {
  ViewerState& viewer = session_.Viewer();
  return SendColour(ViewerCode::SetUmdTextColour, item, colour, viewer.UmdTextColour, true,
                    [this, &viewer] {
                      RefreshColours(viewer, ColourTable::UmdText);
                      Repaint();
                    });
}

CommandResult ViewerCommands::SetUmdBackColour(std::uint8_t item, std::uint8_t colour) {
  ViewerState& viewer = session_.Viewer();
  return SendColour(ViewerCode::SetUmdBackColour, item, colour, viewer.UmdBackColour, true,
                    [this, &viewer] {
                      RefreshColours(viewer, ColourTable::UmdBack);
                      Repaint();
                    });
}

CommandResult ViewerCommands::SetFormatTextColour(std::uint8_t item, std::uint8_t colour) {
  ViewerState& viewer = session_.Viewer();
  return SendColour(ViewerCode::SetFormatTextColour, item, colour, viewer.FormatTextColour, true,
                    [this, &viewer] {
                      RefreshColours(viewer, ColourTable::FormatText);
                      Repaint();
                    });
}

CommandResult ViewerCommands::SetFormatBackColour(std::uint8_t item, std::uint8_t colour) {
  ViewerState& viewer = session_.Viewer();
  return SendColour(ViewerCode::SetFormatBackColour, item, colour, viewer.FormatBackColour, true,
                    [this, &viewer] {
                      RefreshColours(viewer, ColourTable::FormatBack);
                      Repaint();
                    });
}

CommandResult ViewerCommands::SetTimecodeTextColour(std::uint8_t item, std::uint8_t colour) {
  return SendColour(ViewerCode::SetTimecodeTextColour, item, colour,
                    session_.Viewer().TimecodeTextColour, false, {});
}

CommandResult ViewerCommands::SetTimecodeBackColour(std::uint8_t item, std::uint8_t colour) {
  return SendColour(ViewerCode::SetTimecodeBackColour, item, colour,
                    session_.Viewer().TimecodeBackColour, false, {});
}

CommandResult ViewerCommands::SetBorder(std::uint8_t on) {
  ViewerState& viewer = session_.Viewer();
  return SendViewerCommand(
      frames_.OneValue(ViewerCode::SetBorder, on), [&viewer, on] { viewer.BorderOn = on; },
      [this] { Repaint(); });
}

CommandResult ViewerCommands::SetFormatStatus(std::uint8_t on) {
  ViewerState& viewer = session_.Viewer();
  return SendViewerCommand(
      frames_.OneValue(ViewerCode::SetFormatStatus, on),
      [&viewer, on] { viewer.FormatStatusOn = on; }, [this] { Repaint(); });
}

CommandResult ViewerCommands::SetAudioAlarm(std::uint8_t on) {
  ViewerState& viewer = session_.Viewer();
  return SendViewerCommand(
      frames_.OneValue(ViewerCode::SetAudioAlarm, on), [&viewer, on] { viewer.AudioAlarmOn = on; },
      [this] { Repaint(); });
}

CommandResult ViewerCommands::SetTimecode(std::uint8_t on) {
  ViewerState& viewer = session_.Viewer();
  return SendViewerCommand(frames_.OneValue(ViewerCode::SetTimecode, on),
                           [&viewer, on] { viewer.TimecodeOn = on; }, {});
}

CommandResult ViewerCommands::SetAudioSource(std::uint8_t source) {
  ViewerState& viewer = session_.Viewer();
  return SendViewerCommand(frames_.OneValue(ViewerCode::SetAudioSource, source),
                           [&viewer, source] { viewer.AudioSource = source; }, {});
}

CommandResult ViewerCommands::SetSwitcherMode(std::uint8_t switcherMode) {
  ViewerState& viewer = session_.Viewer();
  return SendViewerCommand(frames_.OneValue(ViewerCode::SetSwitcherMode, switcherMode),
                           [&viewer, switcherMode] { viewer.SwitcherMode = switcherMode; }, {});
}

CommandResult ViewerCommands::SetOutputFormat(std::uint8_t code) {
  ViewerState& viewer = session_.Viewer();
  return SendViewerCommand(frames_.OutputFormat(code),
                           [&viewer, code] { viewer.OutputFormat = code; }, {});
}

CommandResult ViewerCommands::SetOneToOne() {
  ViewerState& viewer = session_.Viewer();
  return SendViewerCommand(
      frames_.Command(ViewerCode::SetOneToOne, {}),
      [&viewer] {
        for (std::size_t k = 0; k < kWindowCount; ++k) {
          viewer.SwitcherSource[k] = static_cast<std::uint8_t>(k + 1);
          viewer.SwitcherRects[k].number = static_cast<std::int32_t>(k + 1);
        }
      },
      [this] { Repaint(); });
}

CommandResult ViewerCommands::LoadDefaults() {
  return SendViewerCommand(frames_.OneValue(ViewerCode::LoadDefaults, 0x00), {}, {});
}

CommandResult ViewerCommands::SendCustomMemory(std::uint8_t commandCode, std::uint8_t memory) {
  return SendViewerCommand(frames_.OneValue(commandCode, memory), {}, {});
}

}  // namespace quintara
