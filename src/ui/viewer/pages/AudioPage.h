#pragma once

#include <QComboBox>

#include "core/session/DeviceSession.h"
#include "core/viewer/panel/AudioPresenter.h"
#include "core/viewer/panel/ViewerView.h"
#include "ui/form/ControlFactory.h"
#include "ui/form/DpiScale.h"
#include "ui/viewer/pages/AudioPageControls.h"
#include "ui/viewer/pages/PageWidget.h"

namespace quintara::ui {

class ShadeButton;

// Page 6 of the multiviewer panel: which window's audio goes out, the audio meter of each window
// with its channel pair, and all meters at once. Sends each change at once.
class AudioPage : public PageWidget, private ViewerView {
  Q_OBJECT

 public:
  AudioPage(DeviceSession& session, PanelSelections& selections, const DpiScale& scale,
            QWidget* parent);

  const ControlSet& Controls() const { return controls_; }
  QComboBox* List(int id) const { return controls_.Get<QComboBox>(id); }
  ShadeButton* Button(int id) const;

 private:
  void FillLists();
  void ConnectControls();
  void Show(const AudioView& shown);
  void ShowWindow(const AudioView& shown);
  void MarkMeter(bool on);

  // ViewerView: what the device reports while the page is shown.
  void RefreshPage(std::uint8_t page) override;
  void SelectionChanged(ViewerSelection what, int index, int item) override;
  void SwitchChanged(ViewerSwitch what, int index, bool on) override;

  AudioPresenter presenter_;
  ControlSet controls_;
  Views<ViewerView>::Attachment attachment_;
};

}  // namespace quintara::ui
