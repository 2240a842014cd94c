#pragma once

#include <QWidget>
#include <memory>

#include "core/Executor.h"
#include "core/session/DeviceSession.h"
#include "core/viewer/panel/MultiviewerPresenter.h"
#include "core/viewer/panel/ViewerView.h"
#include "ui/form/ControlFactory.h"
#include "ui/form/DpiScale.h"
#include "ui/viewer/LayoutPreview.h"
#include "ui/viewer/MultiviewerPanelControls.h"

namespace quintara::ui {

// The panel of a multiviewer: the layout preview on the left, six tabs and the page they choose
// on the right. It reads the device's state when it opens, follows the device's reports through
// its status listener, and stops that listener before it goes.
class MultiviewerPanel : public QWidget, private ViewerView {
  Q_OBJECT

 public:
  MultiviewerPanel(DeviceSession& session, NetworkLink& network, Executor& executor,
                   const DpiScale& scale, QWidget* parent);
  ~MultiviewerPanel() override;

  // Reads the device's state (the window keeps painting meanwhile); once it is in, opens the
  // first page and starts the status listener.
  void Initialise();
  // A tab click: the warnings, the lock, the page swap and the mode sent to the device.
  void SwitchPage(std::uint8_t page);

  const ControlSet& Controls() const { return controls_; }
  LayoutPreview& Preview() { return *preview_; }
  // The page shown; null before the first one.
  QWidget* ShownPage() const { return page_.get(); }
  MultiviewerPresenter& Presenter() { return presenter_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void Open(std::uint8_t firstPage);
  std::unique_ptr<QWidget> MakePage(std::uint8_t page);
  void RepaintPreview() override;

  DeviceSession& session_;
  DpiScale scale_;
  ControlSet controls_;
  QRect pageArea_;
  LayoutPreview* preview_ = nullptr;
  std::unique_ptr<QWidget> page_;
  Views<ViewerView>::Attachment attachment_;
  // Last: the listener stops and is joined before anything above goes.
  MultiviewerPresenter presenter_;
};

}  // namespace quintara::ui
