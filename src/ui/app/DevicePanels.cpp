#include "ui/app/DevicePanels.h"

#include <array>

#include "ui/matrix/Matrix16Panel.h"
#include "ui/matrix/Matrix8Panel.h"
#include "ui/viewer/MultiviewerPanel.h"

namespace quintara::ui {
namespace {

// Shown before it starts: the first read-back paints into a visible panel.
void Show(QWidget& panel, const PanelPlace& place) {
  panel.setGeometry(place.area);
  panel.show();
}

QWidget* OpenMultiviewer(const PanelPlace& place) {
  auto* panel =
      new MultiviewerPanel(place.session, place.network, place.executor, place.scale, place.parent);
  Show(*panel, place);
  panel->Initialise();
  return panel;
}

template <typename Panel>
QWidget* OpenMatrix(const PanelPlace& place) {
  auto* panel = new Panel(place.session, place.scale, place.parent);
  Show(*panel, place);
  panel->Open();
  return panel;
}

using PanelOpener = QWidget* (*)(const PanelPlace&);

// In the order of DeviceKind.
constexpr std::array<PanelOpener, kDeviceKinds.size()> kPanelOpeners{
    OpenMultiviewer,
    OpenMatrix<Matrix8Panel>,
    OpenMatrix<Matrix16Panel>,
};

}  // namespace

QWidget* OpenDevicePanel(DeviceKind kind, const PanelPlace& place) {
  return kPanelOpeners[static_cast<std::size_t>(kind)](place);
}

}  // namespace quintara::ui
