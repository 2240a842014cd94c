#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/viewer/state/ViewerState.h"

namespace quintara {

// The sixteen palette colours in the order the pages offer them.
struct PaletteColour {
  std::string_view name;
  Rgb background;  // for UMD and format status backgrounds
  Rgb text;        // for their texts
};
extern const std::array<PaletteColour, 16> kPalette;

// RGB of an index under each mapping; nothing for an index above 15 (the entry stays as it was).
std::optional<Rgb> BackgroundRgb(ColourIndex index);
std::optional<Rgb> TextRgb(ColourIndex index);

// The System page's output formats: item, text, OutputFormat code.
struct OutputFormatEntry {
  std::string_view text;
  std::uint8_t code;
};
extern const std::array<OutputFormatEntry, 9> kOutputFormats;
// The list item of an output format code; nothing for a code no item has.
std::optional<std::size_t> OutputFormatItem(std::uint8_t code);

// The 6-bit input format codes signals are reported with; nothing for an unknown code.
std::optional<std::u16string_view> InputFormatText(std::uint8_t code);

inline constexpr std::u16string_view kNoSignal = u"No Signal";

}  // namespace quintara
