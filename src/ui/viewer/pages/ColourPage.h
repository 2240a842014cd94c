#pragma once

#include <QComboBox>

#include "core/session/DeviceSession.h"
#include "core/viewer/panel/ColourPresenter.h"
#include "core/viewer/panel/ViewerView.h"
#include "ui/form/ControlFactory.h"
#include "ui/form/DpiScale.h"
#include "ui/viewer/pages/ColourPageControls.h"
#include "ui/viewer/pages/PageWidget.h"

namespace quintara::ui {

// Page 3 of the multiviewer panel: the colours of the UMD labels per input, of the format status
// and time code per window, each for one or for all, and the window borders. Sends each change
// at once.
class ColourPage : public PageWidget, private ViewerView {
  Q_OBJECT

 public:
  ColourPage(DeviceSession& session, PanelSelections& selections, const DpiScale& scale,
             QWidget* parent);

  const ControlSet& Controls() const { return controls_; }
  QComboBox* List(int id) const { return controls_.Get<QComboBox>(id); }
  QComboBox* List(ColourList list) const { return List(ColourListId(list)); }

 private:
  void FillLists();
  void ConnectControls();
  void Show(const ColourView& shown);
  // The colour lists of the input list (or of the window list) for what the page shows.
  void ShowColours(bool followingInput);

  // ViewerView: what the device reports while the page is shown.
  void RefreshPage(std::uint8_t page) override;
  void SelectionChanged(ViewerSelection what, int index, int item) override;

  ColourPresenter presenter_;
  ControlSet controls_;
  Views<ViewerView>::Attachment attachment_;
};

}  // namespace quintara::ui
