#include "ui/viewer/pages/UmdPageControls.h"

#include <vector>

#include "ui/skin/Skin.h"

namespace quintara::ui {
namespace {

// Inputs 1-8 in the left column, 9-16 in the right, one row each.
int Column(int input) {
  return input <= 8 ? 0 : 1;
}
int Row(int input) {
  return (input - 1) % 8;
}
// The last row's field sits a little higher than the step would put it.
int LabelY(int input) {
  return Row(input) == 7 ? 372 : 90 + 40 * Row(input);
}

}  // namespace

ControlTable UmdPageControls() {
  static const std::vector<ControlRow> table = [] {
    std::vector<ControlRow> rows{{.id = UmdPageId::AllUmd,
                                  .kind = ControlKind::ShadeButton,
                                  .rect = {30, 25, 135, 45},
                                  .size = Sizing::Pixels,
                                  .bitmap = SkinId::AllUmdSwitch,
                                  .activeBitmap = SkinId::AllUmdSwitchOn}};
    for (int input = 1; input <= 16; ++input) {
      const int x = 230 * Column(input);
      rows.push_back({.id = UmdPageId::UmdSwitch(input),
                      .kind = ControlKind::ShadeButton,
                      .rect = {30 + x, 85 + 40 * Row(input), 71, 40},
                      .size = Sizing::Pixels,
                      .bitmap = SkinId::UmdSwitch(input),
                      .activeBitmap = SkinId::UmdSwitchOn(input)});
      rows.push_back({.id = UmdPageId::Label(input),
                      .kind = ControlKind::LimitedEdit,
                      .rect = {105 + x, LabelY(input), 120, 20}});
    }
    rows.push_back({.id = UmdPageId::FocusTarget,
                    .kind = ControlKind::FocusSink,
                    .rect = {0, 0, 1, 1},
                    .size = Sizing::Pixels});
    return rows;
  }();
  return table;
}

}  // namespace quintara::ui
