#include "ui/matrix/Matrix8PanelControls.h"

#include <array>

#include "ui/skin/Skin.h"

namespace quintara::ui {
namespace {

using namespace Matrix8PanelId;

constexpr int kRowLeft = 80;
constexpr int kRowStep = 68;

// Button n of a row; a status button has no green look of its own: it shows the green number
// of the input that feeds its output.
constexpr ControlRow Number(int id, int n, int y, int activeBitmap) {
  return BitmapButtonRow(id, kRowLeft + kRowStep * (n - 1), y, 65, 60, SkinId::Matrix8Number(n),
                         activeBitmap);
}

constexpr std::array<ControlRow, 31> Controls(int actionX) {
  std::array<ControlRow, 31> rows{};
  std::size_t k = 0;
  for (int n = 1; n <= 8; ++n) {
    rows[k++] = Number(Input(n), n, 105, SkinId::Matrix8NumberLit(n));
  }
  for (int n = 1; n <= 8; ++n) {
    rows[k++] = Number(Output(n), n, 255, SkinId::Matrix8NumberLit(n));
  }
  for (int n = 1; n <= 8; ++n) {
    rows[k++] = Number(Status(n), n, 405, 0);
  }
  rows[k++] =
      BitmapButtonRow(Apply, actionX, 300, 110, 45, SkinId::MatrixApply, SkinId::MatrixApplyLit);
  rows[k++] = BitmapButtonRow(OneToAll, 950, 180, 190, 39, SkinId::MatrixOneToAll,
                              SkinId::MatrixOneToAllLit);
  rows[k++] = BitmapButtonRow(OneToOne, 950, 305, 190, 39, SkinId::MatrixOneToOne,
                              SkinId::MatrixOneToOneLit);
  rows[k++] = BitmapButtonRow(Refresh, actionX, 450, 110, 45, SkinId::MatrixRefresh,
                              SkinId::MatrixRefreshLit);
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
