#include "ui/viewer/pages/SwitcherPageControls.h"

#include <vector>

#include "ui/skin/Skin.h"

namespace quintara::ui {

ControlTable SwitcherPageControls() {
  static const std::vector<ControlRow> table = [] {
    std::vector<ControlRow> rows{{.id = SwitcherPageId::OneToOne,
                                  .kind = ControlKind::ShadeButton,
                                  .rect = {20, 60, 191, 117},
                                  .size = Sizing::Pixels,
                                  .bitmap = SkinId::OneToOne}};
    for (int output = 1; output <= 16; ++output) {
      rows.push_back({.id = SwitcherPageId::Output(output),
                      .kind = ControlKind::DropDownList,
                      .rect = {365, 30 + 23 * (output - 1), 70, 20}});
    }
    return rows;
  }();
  return table;
}

}  // namespace quintara::ui
