#include "core/viewer/state/ViewerRefresh.h"

#include <algorithm>
#include <cstddef>
#include <optional>

#include "core/viewer/state/LayoutGeometry.h"
#include "core/viewer/state/ViewerTables.h"

namespace quintara {
namespace {

constexpr Rgb kCanvasGrey{152, 152, 152};
constexpr Rgb kBlack{0, 0, 0};

// Entry of the per-input arrays for a window's source; nothing when the source names no input.
std::optional<std::size_t> SourceInput(std::uint8_t source) {
  if (source < 1 || source > kInputCount) {
    return std::nullopt;
  }
  return source - 1u;
}

void RefreshUmdColours(PerWindow<Rgb>& rgb, const PerInput<ColourIndex>& colours,
                       const PerWindow<std::uint8_t>& sources,
                       std::optional<Rgb> (*mapping)(ColourIndex), Rgb sourceless) {
  for (std::size_t w = 0; w < kWindowCount; ++w) {
    const std::optional<std::size_t> input = SourceInput(sources[w]);
    rgb[w] = input ? mapping(colours[*input]).value_or(rgb[w]) : sourceless;
  }
}

void RefreshWindowColours(PerWindow<Rgb>& rgb, const PerWindow<ColourIndex>& colours,
                          std::optional<Rgb> (*mapping)(ColourIndex)) {
  for (std::size_t w = 0; w < kWindowCount; ++w) {
    rgb[w] = mapping(colours[w]).value_or(rgb[w]);
  }
}

}  // namespace

void RefreshLayout(ViewerState& state) {
  state.WindowRects = {};
  std::ranges::copy(LayoutWindows(state.LayoutCode), state.WindowRects.begin());
  RefreshFormatTexts(state);
}

void RefreshSwitcherGrid(ViewerState& state) {
  for (std::size_t k = 0; k < kWindowCount; ++k) {
    state.SwitcherRects[k] = {static_cast<std::int32_t>(180 * (k % 4)),
                              static_cast<std::int32_t>(120 * (k / 4)), 180, 120,
                              state.SwitcherSource[k]};
  }
}

void RefreshFormatTexts(ViewerState& state) {
  for (std::size_t w = 0; w < kWindowCount; ++w) {
    const WindowSignalState& signal = state.WindowSignal[w];
    if (signal.present == 0) {
      state.WindowFormatText[w] = kNoSignal;
    } else if (const auto text = InputFormatText(signal.formatCode)) {
      state.WindowFormatText[w] = *text;
    }
  }
}

void RefreshColours(ViewerState& state, ColourTable table) {
  switch (table) {
    case ColourTable::UmdBack:
      RefreshUmdColours(state.UmdBackRgb, state.UmdBackColour, state.WindowSource, BackgroundRgb,
                        kCanvasGrey);
      break;
    case ColourTable::UmdText:
      RefreshUmdColours(state.UmdTextRgb, state.UmdTextColour, state.WindowSource, TextRgb, kBlack);
      break;
    case ColourTable::FormatBack:
      RefreshWindowColours(state.FormatBackRgb, state.FormatBackColour, BackgroundRgb);
      break;
    case ColourTable::FormatText:
      RefreshWindowColours(state.FormatTextRgb, state.FormatTextColour, TextRgb);
      break;
  }
}

void RefreshAll(ViewerState& state) {
  RefreshLayout(state);
  for (const ColourTable table : {ColourTable::UmdBack, ColourTable::UmdText,
                                  ColourTable::FormatBack, ColourTable::FormatText}) {
    RefreshColours(state, table);
  }
}

}  // namespace quintara
