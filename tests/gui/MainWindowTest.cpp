// The main window and the link settings dialog, clicked through with QTest against the
// simulated devices, on Qt's offscreen platform.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <chrono>

#include "support/Bytes.h"
#include "support/GuiApp.h"
#include "support/Pty.h"
#include "support/SimulatedLan.h"
#include "support/TestLink.h"
#include "ui/app/LinkSettingsDialog.h"
#include "ui/app/MainWindow.h"
#include "ui/controls/ShadeButton.h"
#include "ui/res/Skin.h"

namespace quintara::ui {
namespace {

using namespace std::chrono_literals;
using test::Bytes;
using test::SimulatedLan;

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    test::GuiApp();
    MainWindow::Options options;
    options.link = lan.link;
    options.timing = test::ShortSearchTiming();
    options.serialPorts.sysClassTty = "/nonexistent";
    options.serialPorts.extraPorts = {pty.Path()};
    options.dpi = DpiScale{96, 96};
    window = std::make_unique<MainWindow>(options, prompter);
    window->show();
  }

  void ClickSearch() {
    QTest::mouseClick(window->SearchButton(), Qt::LeftButton);
    ASSERT_EQ(window->DeviceList()->count(), 3);
  }

  // Chooses the device list line of this address, as the operator would.
  void Choose(const Ipv4Address& address) {
    for (int i = 0; i < window->DeviceList()->count(); ++i) {
      if (window->DeviceList()->itemText(i).endsWith(QString::fromStdString(address.ToText()))) {
        window->DeviceList()->setCurrentIndex(i);
      }
    }
  }

  bool ShowsBitmap(ShadeButton* button, int id) const {
    return button->Bitmap().toImage() == Skin::Bitmap(id).toImage();
  }

  SimulatedLan lan;
  test::PtyPair pty;
  test::RecordingPrompter prompter;
  std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, SearchListsTheDevicesAndAChoiceConnectsOnce) {
  ClickSearch();
  QStringList lines;
  for (int i = 0; i < 3; ++i) {
    lines << window->DeviceList()->itemText(i);
  }
  lines.sort();
  EXPECT_EQ(lines,
            (QStringList{"KVT2208Z_127.0.0.31", "MATRIX16_127.0.0.33", "MATRIX8_127.0.0.32"}));
  EXPECT_EQ(window->StatusLine()->text(), "Connected - 3");
  DeviceDirectory& devices = window->GetController().Devices();
  EXPECT_EQ(devices.ConnectedIndex(), 0);

  window->DeviceList()->setCurrentIndex(2);
  EXPECT_EQ(devices.ConnectedIndex(), 2);
  window->GetController().Devices().SetConnectedIndex(-7);  // a marker: nothing may reopen
  window->DeviceList()->setCurrentIndex(2);
  EXPECT_EQ(devices.ConnectedIndex(), -7);
}

TEST_F(MainWindowTest, LockAndNameGoOutByteExactAndKeysNeverClose) {
  ClickSearch();
  Choose(SimulatedLan::kMultiviewer);
  QTest::mouseClick(window->LockButton(), Qt::LeftButton);
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(CommandCode::SetLock, 1, 2s));
  EXPECT_EQ(lan.multiviewer->ReceivedFrames(CommandCode::SetLock)[0],
            Bytes("A5 6C 15 00 A1 01 01 00 00 00 00 00 00 00 00 00 50 01 1A 02 AE"));
  EXPECT_TRUE(ShowsBitmap(window->LockButton(), SkinId::LockClosed));

  window->NameField()->setFocus();
  QTest::keyClicks(window->NameField(), "Studio");
  QTest::mouseClick(window.get(), Qt::LeftButton, {}, QPoint(600, 400));  // background click
  QTest::mouseClick(window->LockButton(), Qt::LeftButton);                // unlock
  EXPECT_TRUE(ShowsBitmap(window->LockButton(), SkinId::LockOpen));
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(CommandCode::SetLock, 2, 2s));
  EXPECT_TRUE(lan.multiviewer->ReceivedFrames(CommandCode::SetDeviceName).empty());  // locked
  window->NameField()->setFocus();
  QTest::keyClick(window->NameField(), Qt::Key_Return);
  QTest::keyClick(window.get(), Qt::Key_Escape);
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(CommandCode::SetDeviceName, 1, 2s));
  const auto names = lan.multiviewer->ReceivedFrames(CommandCode::SetDeviceName);
  EXPECT_EQ(names[0], Bytes("A5 6C 20 00 A1 01 01 00 00 00 00 00 00 00 00 00 0F "
                            "53 00 74 00 75 00 64 00 69 00 6F 00 5B 04 AE"));
  EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowTest, LinkSettingsSendTheAddressingAndKeepThePortState) {
  ClickSearch();
  Choose(SimulatedLan::kMultiviewer);
  QTest::mouseClick(window->LinkSettingsButton(), Qt::LeftButton);
  LinkSettingsDialog* dialog = window->SettingsDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->AddressingList()->currentText(), "DHCP");
  EXPECT_FALSE(dialog->AddressField()->isEnabled());
  EXPECT_EQ(dialog->AddressField()->text(), "127.0.0.31");

  emit dialog->AddressingList()->activated(1);  // DHCP again: nothing
  dialog->AddressingList()->setCurrentIndex(0);
  emit dialog->AddressingList()->activated(0);  // Static: waits for the address
  dialog->AddressField()->setText("0.0.0.0");
  QTest::mouseClick(dialog->ApplyButton(), Qt::LeftButton);
  EXPECT_EQ(prompter.errors, std::vector<std::string>{"Please input the IP"});
  dialog->AddressField()->setText("192.168.1.50");
  QTest::mouseClick(dialog->ApplyButton(), Qt::LeftButton);
  dialog->AddressingList()->setCurrentIndex(1);
  emit dialog->AddressingList()->activated(1);
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(CommandCode::SetNetwork, 2, 2s));
  const auto frames = lan.multiviewer->ReceivedFrames(CommandCode::SetNetwork);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0], Bytes("A5 6C 21 00 A1 01 01 00 00 00 00 00 00 00 00 00 05 C0 A8 01 32 "
                             "00 00 00 00 00 00 00 00 00 75 03 AE"));
  EXPECT_EQ(frames[1], Bytes("A5 6C 21 00 A1 01 01 00 00 00 00 00 00 00 00 00 05 "
                             "00 00 00 00 00 00 00 00 00 00 00 00 01 DB 01 AE"));

  dialog->LinkList()->setCurrentIndex(1);
  emit dialog->LinkList()->activated(1);
  EXPECT_TRUE(dialog->PortList()->isEnabled());
  QTest::mouseClick(dialog->PortButton(), Qt::LeftButton);
  EXPECT_TRUE(window->GetController().SerialPort().IsOpen());
  QTest::mouseClick(window->LinkSettingsButton(), Qt::LeftButton);  // a fresh dialog
  dialog = window->SettingsDialog();
  EXPECT_TRUE(ShowsBitmap(dialog->PortButton(), SkinId::Disconnect));
  EXPECT_FALSE(dialog->PortList()->isEnabled());
  EXPECT_FALSE(dialog->BaudList()->isEnabled());
  QTest::keyClick(dialog, Qt::Key_Escape);
  EXPECT_TRUE(dialog->isVisible());
}

TEST(MainWindowGeometry, ScalesLayoutUnitsButNotBitmapButtons) {
  test::GuiApp();
  test::RecordingPrompter prompter;
  for (const int dpi : {96, 144}) {
    MainWindow::Options options;
    options.dpi = DpiScale{dpi, dpi};
    MainWindow window(options, prompter);
    EXPECT_EQ(window.size(), QSize(1280 * dpi / 96, 720 * dpi / 96));
    EXPECT_EQ(window.SearchButton()->geometry(), QRect(380 * dpi / 96, 75 * dpi / 96, 135, 35));
    EXPECT_EQ(window.NameField()->geometry(),
              QRect(45 * dpi / 96, 110 * dpi / 96, 320 * dpi / 96, 20 * dpi / 96));
    EXPECT_EQ(window.PanelArea(),
              QRect(20 * dpi / 96, 160 * dpi / 96, 1240 * dpi / 96, 540 * dpi / 96));
  }
  MainWindow::Options options;
  options.dpi = DpiScale{144, 144};
  MainWindow window(options, prompter);
  EXPECT_EQ(window.SearchButton()->geometry(), QRect(570, 112, 135, 35));
  EXPECT_EQ(window.size(), QSize(1920, 1080));
}

}  // namespace
}  // namespace quintara::ui
