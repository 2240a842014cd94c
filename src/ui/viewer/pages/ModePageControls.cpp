#include "ui/viewer/pages/ModePageControls.h"

#include <algorithm>
#include <array>
#include <vector>

#include "core/viewer/panel/ModeLayout.h"
#include "ui/skin/Skin.h"

namespace quintara::ui {
namespace {

// Where each multi-window layout's button sits; the buttons of different groups share places.
struct MultiPlace {
  std::uint8_t code;
  int id;
  int x;
  int y;
};
constexpr MultiPlace kMultiPlaces[] = {
    {40, 1082, 70, 65},  {41, 1099, 70, 180}, {42, 1100, 70, 300},  {60, 1101, 60, 60},
    {61, 1117, 60, 220}, {80, 1102, 60, 50},  {81, 1103, 60, 120},  {82, 1104, 60, 190},
    {83, 1114, 60, 305}, {90, 1105, 70, 60},  {91, 1106, 70, 150},  {92, 1107, 70, 240},
    {93, 1108, 70, 330}, {100, 1109, 50, 50}, {101, 1110, 50, 180}, {102, 1115, 50, 300},
    {111, 1111, 50, 60}, {121, 1112, 50, 60}, {160, 1113, 40, 60},  {161, 1116, 40, 230},
};

constexpr int kSingleWidth = 70;
constexpr int kSingleHeight = 45;

const SkinId::LayoutPicture& PictureOf(std::uint8_t code) {
  return *std::ranges::find(SkinId::kLayoutPictures, code, &SkinId::LayoutPicture::layoutCode);
}

struct Tables {
  std::vector<LayoutButton> buttons;
  std::vector<ControlRow> controls;
};

const Tables& Built() {
  static const Tables tables = [] {
    Tables t;
    for (int n = 1; n <= 16; ++n) {
      const auto code = static_cast<std::uint8_t>(n);
      t.buttons.push_back(
          {code, 1082 + n, 1, SkinId::SingleLayout(n), SkinId::SingleLayoutSelected(n)});
      const int x = n % 2 == 1 ? 80 : 140;
      const int y = 60 + 45 * ((n - 1) / 2);
      t.controls.push_back({.id = 1082 + n,
                            .kind = ControlKind::ShadeButton,
                            .rect = {x, y, kSingleWidth, kSingleHeight},
                            .size = Sizing::Pixels,
                            .bitmap = SkinId::SingleLayout(n),
                            .activeBitmap = SkinId::SingleLayoutSelected(n)});
    }
    for (const MultiPlace& place : kMultiPlaces) {
      const SkinId::LayoutPicture& picture = PictureOf(place.code);
      t.buttons.push_back(
          {place.code, place.id, WindowCountOf(place.code), picture.normal, picture.selected});
      t.controls.push_back({.id = place.id,
                            .kind = ControlKind::ShadeButton,
                            .rect = {place.x, place.y, picture.width, picture.height},
                            .size = Sizing::Pixels,
                            .bitmap = picture.normal,
                            .activeBitmap = picture.selected});
    }
    t.controls.push_back({.id = ModePageId::WindowCount,
                          .kind = ControlKind::DropDownList,
                          .rect = {100, 25, 120, 20}});
    for (int w = 1; w <= 16; ++w) {
      t.controls.push_back({.id = ModePageId::Source(w),
                            .kind = ControlKind::DropDownList,
                            .rect = {365, 30 + 23 * (w - 1), 70, 20}});
    }
    return t;
  }();
  return tables;
}

constexpr std::array<const char*, 9> kWindowCountItems{
    "WIN 1", "WIN 4", "WIN 6", "WIN 8", "WIN 9", "WIN 10", "WIN 11", "WIN 12", "WIN 16"};

}  // namespace

std::span<const LayoutButton> LayoutButtons() {
  return Built().buttons;
}

const LayoutButton* LayoutButtonOf(std::uint8_t code) {
  const auto& buttons = Built().buttons;
  const auto it = std::ranges::find(buttons, code, &LayoutButton::code);
  return it != buttons.end() ? &*it : nullptr;
}

std::span<const char* const> WindowCountItems() {
  return kWindowCountItems;
}

ControlTable ModePageControls() {
  return Built().controls;
}

}  // namespace quintara::ui
