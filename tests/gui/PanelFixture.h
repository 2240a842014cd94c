#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <functional>
#include <memory>

#include "support/GuiApp.h"
#include "support/SimulatedLan.h"
#include "support/TestLink.h"
#include "ui/app/MainWindow.h"
#include "ui/viewer/MultiviewerPanel.h"

namespace quintara::test {

// The main window on Qt's offscreen platform against the three simulated devices, with the
// protocol's waits shortened, and the steps an operator takes to reach the multiviewer's panel.
class PanelFixture : public ::testing::Test {
 protected:
  explicit PanelFixture(std::string_view matrix16Name = {}) : lan(matrix16Name) {
    GuiApp();
    ui::MainWindow::Options options;
    options.link = lan.link;
    options.timing = ShortSearchTiming();
    options.timing.reReadPauseMs = 50;
    options.timing.readBackWindowMs = 400;
    options.timing.recallPauseMs = 300;
    options.serialPorts.sysClassTty = "/nonexistent";
    options.dpi = ui::DpiScale{96, 96};
    window = std::make_unique<ui::MainWindow>(options, prompter);
    window->show();
  }

  QComboBox* DeviceList() const {
    return window->Controls().Get<QComboBox>(ui::MainWindowId::DeviceList);
  }
  ViewerState& viewer() { return window->GetController().Viewer(); }
  QString StatusLine() const {
    return window->Controls().Get<QLabel>(ui::MainWindowId::StatusLine)->text();
  }

  void Search() {
    QTest::mouseClick(window->Controls().Find(ui::MainWindowId::Search), Qt::LeftButton);
  }
  // Chooses the device list line of this address, as the operator would.
  void Choose(const Ipv4Address& address) {
    for (int i = 0; i < DeviceList()->count(); ++i) {
      if (DeviceList()->itemText(i).endsWith(QString::fromStdString(address.ToText()))) {
        DeviceList()->setCurrentIndex(i);
      }
    }
  }
  // Searches and opens the multiviewer's panel.
  ui::MultiviewerPanel* OpenPanel() {
    Search();
    Choose(SimulatedLan::kMultiviewer);
    return Panel();
  }
  ui::MultiviewerPanel* Panel() const {
    return qobject_cast<ui::MultiviewerPanel*>(window->DevicePanel());
  }
  // The page shown, as a T; null when another page (or none) is shown.
  template <class T>
  T* Page() const {
    return qobject_cast<T*>(Panel()->ShownPage());
  }
  void ClickTab(int id) { QTest::mouseClick(Panel()->Controls().Find(id), Qt::LeftButton); }
  // Waits, painting and applying reports, until the condition holds.
  static bool Await(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, 3000);
  }

  SimulatedLan lan;
  RecordingPrompter prompter;
  std::unique_ptr<ui::MainWindow> window;
};

}  // namespace quintara::test
