#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "core/viewer/protocol/ViewerCommands.h"
#include "support/GuiApp.h"
#include "support/Patience.h"
#include "support/SimulatedLan.h"
#include "support/TestLink.h"
#include "ui/app/MainWindow.h"
#include "ui/viewer/MultiviewerPanel.h"

namespace quintara::test {

// The main window on Qt's offscreen platform against the three simulated devices, with the
// protocol's waits shortened, and the steps an operator takes to reach the multiviewer's panel.
class PanelFixture : public ::testing::Test {
 protected:
  explicit PanelFixture(std::string_view matrix16Name = {},
                        std::optional<std::filesystem::path> presetFolder = {})
      : lan(matrix16Name) {
    GuiApp();
    ui::MainWindow::Options options;
    options.link = lan.link;
    options.timing = ShortSearchTiming();
    options.timing.reReadPauseMs = 50;
    options.timing.readBackWindowMs = 400;
    options.timing.recallPauseMs = 300;
    options.serialPorts.sysClassTty = "/nonexistent";
    options.dpi = ui::DpiScale{96, 96};
    options.presetFolder = std::move(presetFolder);
    window = std::make_unique<ui::MainWindow>(options, prompter);
    window->show();
  }

  QComboBox* DeviceList() const {
    return window->Controls().Get<QComboBox>(ui::MainWindowId::DeviceList);
  }
  ViewerState& viewer() { return window->GetController().Session().Viewer(); }
  // The open panel's selections.
  PanelSelections& panel() { return *window->GetController().Session().Panel(); }
  QString StatusLine() const {
    return window->Controls().Get<QLabel>(ui::MainWindowId::StatusLine)->text();
  }

  // Searches, and waits until the panel of the device found first has what it asked for.
  void Search() {
    QTest::mouseClick(window->Controls().Find(ui::MainWindowId::Search), Qt::LeftButton);
    ASSERT_TRUE(AwaitIdle());
  }
  // Chooses the device list line of this address, as the operator would, and waits until its
  // panel has what it asked the device for.
  void Choose(const Ipv4Address& address) {
    for (int i = 0; i < DeviceList()->count(); ++i) {
      if (DeviceList()->itemText(i).endsWith(QString::fromStdString(address.ToText()))) {
        DeviceList()->setCurrentIndex(i);
      }
    }
    ASSERT_TRUE(AwaitIdle());
  }
  // Waits until no exchange runs (what they learned has been applied).
  bool AwaitIdle() {
    return Await([this] { return !window->Busy(); });
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
    return QTest::qWaitFor(condition, kPatienceMs);
  }
  // Sends the selected device the lock state it has as a marker (once no exchange holds the
  // port) and waits until the marker arrived: whatever the window sent before it has arrived by
  // then (one socket, in order).
  bool AwaitEverythingSent(const sim::SimDevice& device) {
    const std::size_t locks = device.ReceivedFrames(CommandCode::SetLock).size();
    Controller& controller = window->GetController();
    return Await([this] { return !window->Busy(); }) &&
           controller.Session().SetLock(controller.Session().LockState()) &&
           Await([&] { return device.ReceivedFrames(CommandCode::SetLock).size() > locks; });
  }
  // Waits until the multiviewer has everything the window sent and the window has applied all
  // the multiviewer reported meanwhile, re-reads included: the device then reports a new audio
  // source (shown on the Audio page only), which the listener takes after all reports before it.
  bool AwaitMultiviewerSettled() {
    if (!AwaitEverythingSent(*lan.multiviewer)) {
      return false;
    }
    const std::array<std::uint8_t, 1> source{
        static_cast<std::uint8_t>((viewer().AudioSource + 1) % (kWindowCount + 1))};
    return lan.multiviewer->FrontPanel(ViewerCode::SetAudioSource, source) &&
           Await([&] { return viewer().AudioSource == source[0] && !window->Busy(); });
  }

  SimulatedLan lan;
  RecordingPrompter prompter;
  std::unique_ptr<ui::MainWindow> window;
};

}  // namespace quintara::test
