#pragma once

#include <QComboBox>

#include "core/session/DeviceSession.h"
#include "core/viewer/panel/ModePresenter.h"
#include "core/viewer/panel/ViewerView.h"
#include "ui/form/ControlFactory.h"
#include "ui/form/DpiScale.h"
#include "ui/viewer/pages/ModePageControls.h"
#include "ui/viewer/pages/PageWidget.h"

namespace quintara::ui {

// Page 1 of the multiviewer panel: the layout buttons, grouped by window count, and the input
// of every window. Built from the mirror each time it is shown; sends each change at once.
class ModePage : public PageWidget, private ViewerView {
  Q_OBJECT

 public:
  ModePage(DeviceSession& session, const DpiScale& scale, QWidget* parent);

  const ControlSet& Controls() const { return controls_; }
  QComboBox* SourceList(int window) const;

 private:
  void SetUpControls();
  void ConnectControls();
  // Shows the device's layout: the window count, its group of buttons, the lit button, the
  // source lists the layout uses.
  void RefreshLayoutControls();
  void ShowGroup(std::optional<std::uint8_t> group);
  void LightButton(std::uint8_t code, bool lit);
  void EnableSourceLists(std::uint8_t count);
  // The lists show the mirror's sources, and the presenter takes them as shown.
  void ShowSources();
  void ChooseSource(int window, int item);

  // ViewerView: what the device reports while the page is shown.
  void RefreshPage(std::uint8_t page) override;
  void SelectionChanged(ViewerSelection what, int index, int item) override;

  DeviceSession& session_;
  ModePresenter presenter_;
  ControlSet controls_;
  QComboBox* windowCount_ = nullptr;
  Views<ViewerView>::Attachment attachment_;
};

}  // namespace quintara::ui
