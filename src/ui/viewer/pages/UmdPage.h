#pragma once

#include "core/session/DeviceSession.h"
#include "core/viewer/panel/UmdPresenter.h"
#include "core/viewer/panel/ViewerView.h"
#include "ui/controls/LimitedEdit.h"
#include "ui/controls/ShadeButton.h"
#include "ui/form/ControlFactory.h"
#include "ui/form/DpiScale.h"
#include "ui/viewer/pages/PageWidget.h"
#include "ui/viewer/pages/UmdPageControls.h"

namespace quintara::ui {

// Page 2 of the multiviewer panel: the labels the multiviewer shows under its windows, switched
// on and off as a whole and per input, and the text of every input's label. A label goes out
// when its edit is confirmed: Enter, leaving the field, or a click on the page.
class UmdPage : public PageWidget, private ViewerView {
  Q_OBJECT

 public:
  UmdPage(DeviceSession& session, const DpiScale& scale, QWidget* parent);
  ~UmdPage() override;

  const ControlSet& Controls() const { return controls_; }
  LimitedEdit* LabelField(int input) const;
  ShadeButton* UmdSwitch(int input) const;
  ShadeButton* AllUmdSwitch() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void SetUpControls();
  void ConnectControls();
  void RefreshLabelTexts();
  void ShowSwitches();
  void ShowLabel(int input, const std::u16string& text);
  void EditLabel(int input, const QString& edited);
  void ConfirmLabel(int input);
  // The input whose field this is; 0 for anything else.
  int InputOfField(const QObject* object) const;

  // ViewerView: what the device reports while the page is shown.
  void RefreshPage(std::uint8_t page) override;
  void SwitchChanged(ViewerSwitch what, int index, bool on) override;

  DeviceSession& session_;
  UmdPresenter presenter_;
  ControlSet controls_;
  QWidget* focusTarget_ = nullptr;
  Views<ViewerView>::Attachment attachment_;
};

}  // namespace quintara::ui
