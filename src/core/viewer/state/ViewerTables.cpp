#include "core/viewer/state/ViewerTables.h"

#include <algorithm>

namespace quintara {

const std::array<PaletteColour, 16> kPalette{{
    {"Black", {0, 0, 0}, {0, 0, 0}},
    {"Blue", {0, 0, 255}, {0, 0, 255}},
    {"Red", {255, 0, 0}, {255, 0, 0}},
    {"Magenta", {255, 0, 255}, {255, 0, 255}},
    {"Green", {0, 255, 0}, {0, 255, 0}},
    {"Cyan", {0, 255, 255}, {0, 255, 255}},
    {"Yellow", {255, 255, 0}, {255, 255, 0}},
    {"White", {255, 255, 255}, {255, 255, 255}},
    {"Gray", {186, 183, 186}, {186, 183, 186}},
    {"VioletRed", {219, 112, 147}, {219, 112, 147}},
    {"LightBlue", {173, 216, 230}, {173, 216, 230}},
    {"LightGreen", {144, 238, 144}, {144, 238, 144}},
    {"LightCyan", {224, 255, 255}, {224, 255, 255}},
    {"LightYellow", {255, 255, 224}, {255, 255, 224}},
    {"Trans", {152, 152, 152}, {255, 255, 255}},
    {"HalfTrans", {182, 182, 182}, {245, 245, 245}},
}};

std::optional<Rgb> BackgroundRgb(ColourIndex index) {
  if (index >= kPalette.size()) {
    return std::nullopt;
  }
  return kPalette[index].background;
}

std::optional<Rgb> TextRgb(ColourIndex index) {
  if (index >= kPalette.size()) {
    return std::nullopt;
  }
  return kPalette[index].text;
}

const std::array<OutputFormatEntry, 9> kOutputFormats{{
    {"1080p60", 7},
    {"1080p50", 11},
    {"1080i60", 9},
    {"1080i50", 1},
    {"1080p30", 3},
    {"1080p25", 13},
    {"1080p24", 5},
    {"720p60", 14},
    {"720p50", 6},
}};

std::optional<std::size_t> OutputFormatItem(std::uint8_t code) {
  const auto found = std::ranges::find(kOutputFormats, code, &OutputFormatEntry::code);
  if (found == kOutputFormats.end()) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(found - kOutputFormats.begin());
}

std::optional<std::u16string_view> InputFormatText(std::uint8_t code) {
  switch (code) {
    case 5:
      return u"720p24";
    case 7:
      return u"1080p24";
    case 9:
      return u"720p25";
    case 11:
      return u"1080p25";
    case 13:
      return u"720p30";
    case 15:
      return u"1080p30";
    case 16:
      return u"626i50";
    case 19:
      return u"1080i50";
    case 20:
      return u"525i60";
    case 23:
      return u"1080i60";
    case 25:
      return u"720p50";
    case 27:
      return u"1080p50";
    case 29:
      return u"720p60";
    case 30:
      return u"1035i60";
    case 31:
      return u"1080p60";
    case 39:
      return u"1080psf24";
    case 51:
      return u"1080psf25";
    case 55:
      return u"1080psf30";
    default:
      return std::nullopt;
  }
}

}  // namespace quintara
