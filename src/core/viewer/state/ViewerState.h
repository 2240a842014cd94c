#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace quintara {

inline constexpr std::size_t kInputCount = 16;
inline constexpr std::size_t kWindowCount = 16;

// The multiviewer's whole state as its read-back reply carries it, from reply byte 18.
inline constexpr std::size_t kStateImageSize = 789;
using StateImageBytes = std::array<std::uint8_t, kStateImageSize>;

// One byte naming one of the sixteen palette colours.
using ColourIndex = std::uint8_t;

// A rectangle of the 720 x 480 preview canvas, with the number drawn in it.
struct LayoutRect {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t number = 0;

  friend bool operator==(const LayoutRect&, const LayoutRect&) = default;
};

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;

  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// What a window's input carries: whether a signal is present, and its input format code.
struct WindowSignalState {
  std::uint8_t present = 0;
  std::uint8_t formatCode = 0;

  friend bool operator==(const WindowSignalState&, const WindowSignalState&) = default;
};

template <typename T>
using PerInput = std::array<T, kInputCount>;  // entry k: input SDI k + 1
template <typename T>
using PerWindow = std::array<T, kWindowCount>;  // entry k: window (or switcher output) k + 1

// The mirror of one multiviewer's settings and what is derived from them for the preview.
// It lives in the device's session for the whole run; a new panel does not reset it. What a
// panel has chosen is the panel's own (PanelSelections).
struct ViewerState {
  StateImageBytes StateImage{};
  std::uint8_t LayoutCode = 0;
  std::uint8_t OutputFormat = 0;
  std::uint8_t FormatStatusOn = 0;
  PerInput<ColourIndex> UmdTextColour{};
  PerInput<ColourIndex> UmdBackColour{};
  std::uint8_t AllUmdOn = 0;
  PerInput<std::uint8_t> UmdOn{};
  PerWindow<ColourIndex> FormatTextColour{};
  PerWindow<ColourIndex> FormatBackColour{};
  PerWindow<std::uint8_t> MeterOn{};
  PerWindow<std::uint8_t> MeterChannels{};
  std::uint8_t AllMetersOn = 0;
  std::uint8_t AudioSource = 0;
  std::uint8_t BorderOn = 0;
  std::uint8_t TimecodeOn = 0;
  PerWindow<ColourIndex> TimecodeBackColour{};
  PerWindow<ColourIndex> TimecodeTextColour{};
  std::uint8_t AudioAlarmOn = 0;
  PerWindow<LayoutRect> WindowRects{};
  PerWindow<LayoutRect> SwitcherRects{};
  PerWindow<Rgb> UmdBackRgb{};
  PerWindow<Rgb> UmdTextRgb{};
  PerWindow<Rgb> FormatBackRgb{};
  PerWindow<Rgb> FormatTextRgb{};
  PerInput<std::u16string> UmdText{};
  PerWindow<std::u16string> WindowFormatText{};
  PerWindow<std::uint8_t> WindowSource{};
  PerWindow<WindowSignalState> WindowSignal{};
  PerWindow<std::uint8_t> SwitcherSource{};

  std::uint8_t SwitcherMode = 1;  // 1 while the device runs as a switcher

  // The labels the main window sets at start: "Umd_01" ... "Umd_16" and "1080p30".
  void SetLabelDefaults();

  friend bool operator==(const ViewerState&, const ViewerState&) = default;
};

}  // namespace quintara
