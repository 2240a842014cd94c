#include "ui/matrix/Matrix16PanelControls.h"

#include <array>

#include "ui/skin/Skin.h"

namespace quintara::ui {
namespace {

using namespace Matrix16PanelId;

constexpr int kRowLeft = 40;
constexpr int kRowStep = 72;

// Button n of a row; a status button has no green look of its own: it shows the green number
// of the input that feeds its output.
constexpr ControlRow Number(int id, int n, int y, int activeBitmap) {
  return BitmapButtonRow(id, kRowLeft + kRowStep * (n - 1), y, 70, 63, SkinId::Matrix16Number(n),
                         activeBitmap);
}

// The bottom row's labels, lists and track bar, 20 units high. They scale with their text: at
// pixel sizes a larger font would cut their texts ("Always O").
constexpr ControlRow Field(int id, ControlKind kind, int x, int y, int width,
                           std::string_view caption = {}) {
  return {.id = id, .kind = kind, .rect = {x, y, width, 20}, .caption = caption};
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
    rows[k++] = Number(Status(n), n, 330, 0);
  }
  rows[k++] =
      BitmapButtonRow(Apply, 1000, 275, 100, 32, SkinId::MatrixApply, SkinId::MatrixApplyLit);
  rows[k++] =
      BitmapButtonRow(Refresh, 1000, 420, 100, 32, SkinId::MatrixRefresh, SkinId::MatrixRefreshLit);
  rows[k++] = BitmapButtonRow(OneToAll, 110, 480, 190, 39, SkinId::MatrixOneToAll,
                              SkinId::MatrixOneToAllLit);
  rows[k++] = BitmapButtonRow(OneToOne, 420, 480, 190, 39, SkinId::MatrixOneToOne,
                              SkinId::MatrixOneToOneLit);
  rows[k++] = Field(OutputFormatLabel, ControlKind::StaticLabel, 650, 480, 120, "OutputFormat");
  rows[k++] = Field(OutputFormat, ControlKind::DropDownList, 650, 510, 120);
  rows[k++] = Field(BacklightTimeLabel, ControlKind::StaticLabel, 820, 480, 120, "BacklitTime");
  rows[k++] = Field(BacklightTime, ControlKind::DropDownList, 820, 510, 120);
  rows[k++] =
      Field(BrightnessLabel, ControlKind::StaticLabel, 1000, 480, 120, "Backlit Brightness");
  rows[k++] = Field(BrightnessText, ControlKind::ReadOnlyEdit, 1130, 480, 35);
  rows[k++] = Field(Brightness, ControlKind::TrackBar, 1000, 510, 160);
  return rows;
}

constexpr auto kControls = Controls();

}  // namespace

ControlTable Matrix16PanelControls() {
  return kControls;
}

}  // namespace quintara::ui
