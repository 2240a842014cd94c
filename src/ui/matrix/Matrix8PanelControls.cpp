#include "ui/matrix/Matrix8PanelControls.h"

#include <array>

#include "ui/res/Skin.h"

namespace quintara::ui {
namespace {

using namespace Matrix8PanelId;

constexpr int kRowLeft = 80;
constexpr int kRowStep = 68;

constexpr ControlRow Number(int id, int n, int y) {
  return {.id = id,
          .kind = ControlKind::ShadeButton,
          .rect = {kRowLeft + kRowStep * (n - 1), y, 65, 60},
          .size = Sizing::Pixels,
          .bitmap = SkinId::Matrix8Number(n),
          .activeBitmap = SkinId::Matrix8NumberLit(n)};
}

constexpr ControlRow Action(int id, int x, int y, int width, int height, int bitmap,
                            int activeBitmap) {
  return {.id = id,
          .kind = ControlKind::ShadeButton,
          .rect = {x, y, width, height},
          .size = Sizing::Pixels,
          .bitmap = bitmap,
          .activeBitmap = activeBitmap};
}

constexpr std::array<ControlRow, 31> Controls(int actionX) {
  std::array<ControlRow, 31> rows{};
  std::size_t k = 0;
  for (int n = 1; n <= 8; ++n) {
    rows[k++] = Number(Input(n), n, 105);
  }
  for (int n = 1; n <= 8; ++n) {
    rows[k++] = Number(Output(n), n, 255);
  }
  for (int n = 1; n <= 8; ++n) {
    // A status button starts on its own grey number; its green one is the feeding input's.
    rows[k++] = {.id = Status(n),
                 .kind = ControlKind::ShadeButton,
                 .rect = {kRowLeft + kRowStep * (n - 1), 405, 65, 60},
                 .size = Sizing::Pixels,
                 .bitmap = SkinId::Matrix8Number(n)};
  }
  rows[k++] = Action(Apply, actionX, 300, 110, 45, SkinId::MatrixApply, SkinId::MatrixApplyLit);
  rows[k++] =
      Action(OneToAll, 950, 180, 190, 39, SkinId::MatrixOneToAll, SkinId::MatrixOneToAllLit);
  rows[k++] =
      Action(OneToOne, 950, 305, 190, 39, SkinId::MatrixOneToOne, SkinId::MatrixOneToOneLit);
  rows[k++] =
      Action(Refresh, actionX, 450, 110, 45, SkinId::MatrixRefresh, SkinId::MatrixRefreshLit);
  rows[k++] = {.id = BacklightTime, .kind = ControlKind::DropDownList, .rect = {950, 420, 180, 30}};
  rows[k++] = {.id = Brightness, .kind = ControlKind::TrackBar, .rect = {950, 460, 130, 30}};
  rows[k++] = {
      .id = BrightnessText, .kind = ControlKind::ReadOnlyEdit, .rect = {1095, 460, 35, 20}};
  return rows;
}

constexpr auto kControls = Controls(640);
constexpr auto kHighDpiControls = Controls(650);

}  // namespace

ControlTable Matrix8PanelControls(int dpiX) {
  return dpiX > 120 ? ControlTable(kHighDpiControls) : ControlTable(kControls);
}

}  // namespace quintara::ui
