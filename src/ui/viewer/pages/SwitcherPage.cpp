#include "ui/viewer/pages/SwitcherPage.h"

#include "ui/skin/Skin.h"

namespace quintara::ui {

SwitcherPage::SwitcherPage(DeviceSession& session, const DpiScale& scale, QWidget* parent)
    : PageWidget(SkinId::SwitcherBackground, parent),
      presenter_(session),
      controls_(BuildControls(SwitcherPageControls(), Colours(), *this, scale)) {
  for (int output = 1; output <= 16; ++output) {
    QComboBox* list = OutputList(output);
    for (int input = 1; input <= 16; ++input) {
      list->addItem(QString::asprintf("SDI_%02d", input));
    }
    connect(list, &QComboBox::activated, this, [this, output](int item) {
      static_cast<void>(presenter_.ChooseRoute(static_cast<std::uint8_t>(output), item));
    });
  }
  ShowRoutes();
  presenter_.Initialise();
  controls_.OnClicked(SwitcherPageId::OneToOne, this, [this] {
    presenter_.OneToOne();
    ShowRoutes();
  });
  attachment_ = session.ViewerViews().Attach(*this);
}

QComboBox* SwitcherPage::OutputList(int output) const {
  return controls_.Get<QComboBox>(SwitcherPageId::Output(output));
}

void SwitcherPage::ShowRoutes() {
  const PerWindow<int> items = presenter_.RouteItems();
  for (int output = 1; output <= 16; ++output) {
    SelectQuietly(OutputList(output), items[static_cast<std::size_t>(output - 1)]);
  }
}

void SwitcherPage::SelectionChanged(ViewerSelection what, int index, int item) {
  if (what == ViewerSelection::SwitcherOutput && index >= 1 && index <= 16) {
    SelectQuietly(OutputList(index), item);
  }
}

}  // namespace quintara::ui
