#pragma once

#include <QComboBox>

#include "core/session/DeviceSession.h"
#include "core/viewer/panel/SwitcherPresenter.h"
#include "core/viewer/panel/ViewerView.h"
#include "ui/form/ControlFactory.h"
#include "ui/form/DpiScale.h"
#include "ui/viewer/pages/PageWidget.h"
#include "ui/viewer/pages/SwitcherPageControls.h"

namespace quintara::ui {

// Page 5 of the multiviewer panel, shown while the device runs as a 16 x 16 switcher of its
// loop outputs: the input of every output, and one-to-one routing in one click.
class SwitcherPage : public PageWidget, private ViewerView {
  Q_OBJECT

 public:
  SwitcherPage(DeviceSession& session, const DpiScale& scale, QWidget* parent);

  const ControlSet& Controls() const { return controls_; }
  QComboBox* OutputList(int output) const;

 private:
  void ShowRoutes();
  void SelectionChanged(ViewerSelection what, int index, int item) override;

  SwitcherPresenter presenter_;
  ControlSet controls_;
  Views<ViewerView>::Attachment attachment_;
};

}  // namespace quintara::ui
