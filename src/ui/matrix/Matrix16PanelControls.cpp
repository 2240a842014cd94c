#include "ui/matrix/Matrix16PanelControls.h"

#include <array>

#include "ui/res/Skin.h"

namespace quintara::ui {
namespace {

using namespace Matrix16PanelId;

constexpr int kRowLeft = 40;
constexpr int kRowStep = 72;

constexpr ControlRow Number(int id, int n, int y, int activeBitmap) {
  return {.id = id,
          .kind = ControlKind::ShadeButton,
          .rect = {kRowLeft + kRowStep * (n - 1), y, 70, 63},
          .size = Sizing::Pixels,
          .bitmap = SkinId::Matrix16Number(n),
          .activeBitmap = activeBitmap};
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

// Lists, labels and the track bar keep their pixel size here; only the brightness text scales.
constexpr ControlRow Fixed(int id, ControlKind kind, int x, int y, int width,
                           std::string_view caption = {}) {
  return {.id = id,
          .kind = kind,
          .rect = {x, y, width, 20},
          .size = Sizing::Pixels,
          .caption = caption};
}

constexpr std::array<ControlRow, 59> Controls() {
  std::array<ControlRow, 59> rows{};
  std::size_t k = 0;
  for (int n = 1; n <= 16; ++n) {
    rows[k++] = Number(Input(n), n, 50, SkinId::Matrix16NumberLit(n));
  }
  for (int n = 1; n <= 16; ++n) {
    rows[k++] = Number(Output(n), n, 190, SkinId::Matrix16NumberLit(n));
  }
  for (int n = 1; n <= 16; ++n) {
    // A status button starts on its own grey number; its green one is the feeding input's.
    rows[k++] = Number(Status(n), n, 330, 0);
  }
  rows[k++] = Action(Apply, 1000, 275, 100, 32, SkinId::MatrixApply, SkinId::MatrixApplyLit);
  rows[k++] = Action(Refresh, 1000, 420, 100, 32, SkinId::MatrixRefresh, SkinId::MatrixRefreshLit);
  rows[k++] =
      Action(OneToAll, 110, 480, 190, 39, SkinId::MatrixOneToAll, SkinId::MatrixOneToAllLit);
  rows[k++] =
      Action(OneToOne, 420, 480, 190, 39, SkinId::MatrixOneToOne, SkinId::MatrixOneToOneLit);
  rows[k++] = Fixed(OutputFormatLabel, ControlKind::StaticLabel, 650, 480, 120, "OutputFormat");
  rows[k++] = Fixed(OutputFormat, ControlKind::DropDownList, 650, 510, 120);
  rows[k++] = Fixed(BacklightTimeLabel, ControlKind::StaticLabel, 820, 480, 120, "BacklitTime");
  rows[k++] = Fixed(BacklightTime, ControlKind::DropDownList, 820, 510, 120);
  rows[k++] =
      Fixed(BrightnessLabel, ControlKind::StaticLabel, 1000, 480, 120, "Backlit Brightness");
  rows[k++] = {
      .id = BrightnessText, .kind = ControlKind::ReadOnlyEdit, .rect = {1130, 480, 35, 20}};
  rows[k++] = Fixed(Brightness, ControlKind::TrackBar, 1000, 510, 160);
  return rows;
}

constexpr auto kControls = Controls();

}  // namespace

ControlTable Matrix16PanelControls() {
  return kControls;
}

}  // namespace quintara::ui
