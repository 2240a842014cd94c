#pragma once

#include <QComboBox>

#include "core/session/DeviceSession.h"
#include "core/viewer/panel/SystemPresenter.h"
#include "core/viewer/panel/ViewerView.h"
#include "ui/form/ControlFactory.h"
#include "ui/form/DpiScale.h"
#include "ui/viewer/pages/PageWidget.h"
#include "ui/viewer/pages/SystemPageControls.h"

namespace quintara::ui {

// Page 4 of the multiviewer panel: the output format, the format status, audio alarm and time
// code switches, the factory defaults and the two custom memories. Each change is sent at once;
// a recall waits for the device and shows what it then holds.
class SystemPage : public PageWidget, private ViewerView {
  Q_OBJECT

 public:
  SystemPage(DeviceSession& session, const DpiScale& scale, QWidget* parent);

  const ControlSet& Controls() const { return controls_; }
  QComboBox* FormatList() const { return formatList_; }

 private:
  void ConnectControls();
  void ConnectSwitch(int id, ViewerSwitch which);
  // Selects the mirror's output format; a code no item has leaves the list as it is.
  void ShowOutputFormat();
  void ShowFormatItem(int item);
  void ShowSwitches();
  void ShowSwitch(ViewerSwitch which, bool on);

  // ViewerView: what the device reports while the page is shown.
  void RefreshPage(std::uint8_t page) override;
  void SelectionChanged(ViewerSelection what, int index, int item) override;
  void SwitchChanged(ViewerSwitch what, int index, bool on) override;

  SystemPresenter presenter_;
  ControlSet controls_;
  QComboBox* formatList_ = nullptr;
  Views<ViewerView>::Attachment attachment_;
};

}  // namespace quintara::ui
