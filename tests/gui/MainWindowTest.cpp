// The main window and the link settings dialog, clicked through with QTest against the
// simulated devices, on Qt's offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
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
#include "ui/skin/Skin.h"
#include "ui/viewer/MultiviewerPanel.h"

namespace quintara::ui {
namespace {

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

  template <class T>
  T* Control(int id) const {
    return window->Controls().Get<T>(id);
  }
  QComboBox* DeviceList() const { return Control<QComboBox>(MainWindowId::DeviceList); }
  QLineEdit* NameField() const { return Control<QLineEdit>(MainWindowId::NameField); }
  ShadeButton* LockButton() const { return Control<ShadeButton>(MainWindowId::Lock); }
  void Click(int id) { QTest::mouseClick(Control<QWidget>(id), Qt::LeftButton); }

  // Searches, and waits until the panel of the device found first has what it asked for.
  void ClickSearch() {
    Click(MainWindowId::Search);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window->Busy(); }, test::kPatienceMs));
    ASSERT_EQ(DeviceList()->count(), 3);
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
  bool AwaitIdle() {
    return QTest::qWaitFor([this] { return !window->Busy(); }, test::kPatienceMs);
  }

  // Searches, chooses the multiviewer and opens Link Settings, as the operator would.
  LinkSettingsDialog* OpenLinkSettingsForTheMultiviewer() {
    ClickSearch();
    Choose(SimulatedLan::kMultiviewer);
    Click(MainWindowId::LinkSettings);
    return window->SettingsDialog();
  }

  QString StatusLine() const { return Control<QLabel>(MainWindowId::StatusLine)->text(); }

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
    lines << DeviceList()->itemText(i);
  }
  lines.sort();
  EXPECT_EQ(lines,
            (QStringList{"KVT2208Z_127.0.0.31", "MATRIX16_127.0.0.33", "MATRIX8_127.0.0.32"}));
  EXPECT_EQ(Control<QLabel>(MainWindowId::StatusLine)->text(), "Connected - 3");
  DeviceDirectory& devices = window->GetController().Devices();
  EXPECT_EQ(devices.ConnectedIndex(), 0);

  DeviceList()->setCurrentIndex(2);
  EXPECT_EQ(devices.ConnectedIndex(), 2);
  window->GetController().Devices().SetConnectedIndex(-7);  // a marker: nothing may reopen
  DeviceList()->setCurrentIndex(2);
  EXPECT_EQ(devices.ConnectedIndex(), -7);
}

TEST_F(MainWindowTest, LockAndNameGoOutByteExactAndKeysNeverClose) {
  ClickSearch();
  Choose(SimulatedLan::kMultiviewer);
  Click(MainWindowId::Lock);
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(CommandCode::SetLock, 1, test::kPatience));
  EXPECT_EQ(lan.multiviewer->ReceivedFrames(CommandCode::SetLock)[0],
            Bytes("A5 6C 15 00 A1 01 01 00 00 00 00 00 00 00 00 00 50 01 1A 02 AE"));
  EXPECT_TRUE(ShowsBitmap(LockButton(), SkinId::LockClosed));

  NameField()->setFocus();
  NameField()->clear();  // the panel's read-back showed the device's own name
  QTest::keyClicks(NameField(), "Studio");
  QTest::mouseClick(window.get(), Qt::LeftButton, {}, QPoint(600, 140));  // background click
  EXPECT_EQ(StatusLine(), "Locked: unlock to make changes") << "the typed name was refused";
  Click(MainWindowId::Lock);  // unlock
  EXPECT_EQ(StatusLine(), "Connected - 3");
  EXPECT_TRUE(ShowsBitmap(LockButton(), SkinId::LockOpen));
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(CommandCode::SetLock, 2, test::kPatience));
  EXPECT_TRUE(lan.multiviewer->ReceivedFrames(CommandCode::SetDeviceName).empty());  // locked
  NameField()->setFocus();
  QTest::keyClick(NameField(), Qt::Key_Return);
  QTest::keyClick(window.get(), Qt::Key_Escape);
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(CommandCode::SetDeviceName, 1, test::kPatience));
  const auto names = lan.multiviewer->ReceivedFrames(CommandCode::SetDeviceName);
  EXPECT_EQ(names[0], Bytes("A5 6C 20 00 A1 01 01 00 00 00 00 00 00 00 00 00 0F "
                            "53 00 74 00 75 00 64 00 69 00 6F 00 5B 04 AE"));
  EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowTest, ALockThatNeverLeftLeavesTheButtonAndTheStateAsTheyWere) {
  for (int click = 0; click < 2; ++click) {
    Click(MainWindowId::Lock);  // no device chosen yet
    EXPECT_TRUE(ShowsBitmap(LockButton(), SkinId::LockOpen)) << "click " << click;
    EXPECT_EQ(window->GetController().Session().LockState(), 0);
  }
  EXPECT_EQ(prompter.errors, (std::vector<std::string>(2, "Please choose a device")));

  ClickSearch();
  Choose(SimulatedLan::kMultiviewer);
  Click(MainWindowId::Lock);
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(CommandCode::SetLock, 1, test::kPatience));
  EXPECT_EQ(lan.multiviewer->ReceivedFrames(CommandCode::SetLock)[0][frame::kPayloadOffset], 1)
      << "the first lock that leaves locks";
  EXPECT_TRUE(ShowsBitmap(LockButton(), SkinId::LockClosed));
}

// Presses at a point of the widget and drags by 40 pixels with the left button held; how far
// the main window moved.
QPoint Drag(QWidget& window, QWidget* target, QPoint at) {
  const QPoint before = window.pos();
  QTest::mousePress(target, Qt::LeftButton, {}, at);
  const QPoint to = at + QPoint(40, 40);
  QMouseEvent move(QEvent::MouseMove, to, target->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
  QApplication::sendEvent(target, &move);
  QTest::mouseRelease(target, Qt::LeftButton, {}, to);
  return window.pos() - before;
}

TEST_F(MainWindowTest, OnlyTheWindowsOwnBackgroundDragsItAndTakesTheNameFieldsFocus) {
  ClickSearch();
  Choose(SimulatedLan::kMultiviewer);
  auto* panel = qobject_cast<MultiviewerPanel*>(window->DevicePanel());
  ASSERT_NE(panel, nullptr);
  NameField()->setFocus();
  for (QWidget* target : {static_cast<QWidget*>(&panel->Preview()), panel->ShownPage(),
                          static_cast<QWidget*>(panel)}) {
    EXPECT_EQ(Drag(*window, target, {target->width() - 3, target->height() - 3}), QPoint(0, 0))
        << target->metaObject()->className();
    EXPECT_TRUE(NameField()->hasFocus()) << target->metaObject()->className();
  }
  Choose(SimulatedLan::kMatrix8);
  ASSERT_NE(window->DevicePanel(), nullptr);
  NameField()->setFocus();
  EXPECT_EQ(Drag(*window, window->DevicePanel(), {600, 520}), QPoint(0, 0));
  EXPECT_TRUE(NameField()->hasFocus());
  EXPECT_TRUE(lan.multiviewer->ReceivedFrames(CommandCode::SetDeviceName).empty());

  EXPECT_EQ(Drag(*window, window.get(), {600, 140}), QPoint(40, 40));
  EXPECT_FALSE(NameField()->hasFocus());
}

TEST_F(MainWindowTest, NameFieldHoldsSixteenCharactersAndNeverSplitsOne) {
  const QString fifteen(15, QLatin1Char('a'));
  const QString grin = QString::fromUtf8("\xF0\x9F\x98\x80");  // one character, two UTF-16 units
  NameField()->setFocus();
  NameField()->insert(fifteen + grin + grin + QStringLiteral("b"));
  EXPECT_EQ(NameField()->text(), fifteen + grin);
  NameField()->clear();
  NameField()->insert(QString(20, QLatin1Char('x')));
  EXPECT_EQ(NameField()->text(), QString(16, QLatin1Char('x')));
}

TEST_F(MainWindowTest, LinkSettingsSendTheAddressingAndKeepThePortState) {
  LinkSettingsDialog* dialog = OpenLinkSettingsForTheMultiviewer();
  ASSERT_NE(dialog, nullptr);
  namespace id = LinkSettingsId;
  const auto list = [&dialog](int id) { return dialog->Controls().Get<QComboBox>(id); };
  const auto addressField = [&dialog] {
    return dialog->Controls().Get<QLineEdit>(id::AddressField);
  };
  const auto portButton = [&dialog] { return dialog->Controls().Get<ShadeButton>(id::PortButton); };
  const auto apply = [&dialog] {
    QTest::mouseClick(dialog->Controls().Find(id::ApplyButton), Qt::LeftButton);
  };
  EXPECT_EQ(list(id::AddressingList)->currentText(), "DHCP");
  EXPECT_FALSE(addressField()->isEnabled());
  EXPECT_EQ(addressField()->text(), "127.0.0.31");

  emit list(id::AddressingList)->activated(1);  // DHCP again: nothing
  list(id::AddressingList)->setCurrentIndex(0);
  emit list(id::AddressingList)->activated(0);  // Static: waits for the address
  addressField()->setText("0.0.0.0");
  apply();
  EXPECT_EQ(prompter.errors, std::vector<std::string>{"Please input the IP"});
  addressField()->setText("192.168.1.50");
  apply();
  list(id::AddressingList)->setCurrentIndex(1);
  emit list(id::AddressingList)->activated(1);
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(CommandCode::SetNetwork, 2, test::kPatience));
  const auto frames = lan.multiviewer->ReceivedFrames(CommandCode::SetNetwork);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0], Bytes("A5 6C 21 00 A1 01 01 00 00 00 00 00 00 00 00 00 05 C0 A8 01 32 "
                             "00 00 00 00 00 00 00 00 00 75 03 AE"));
  EXPECT_EQ(frames[1], Bytes("A5 6C 21 00 A1 01 01 00 00 00 00 00 00 00 00 00 05 "
                             "00 00 00 00 00 00 00 00 00 00 00 00 01 DB 01 AE"));

  list(id::LinkList)->setCurrentIndex(1);
  emit list(id::LinkList)->activated(1);
  EXPECT_TRUE(list(id::PortList)->isEnabled());
  QTest::mouseClick(portButton(), Qt::LeftButton);
  EXPECT_TRUE(window->GetController().SerialPort().IsOpen());
  Click(MainWindowId::LinkSettings);  // a fresh dialog
  dialog = window->SettingsDialog();
  EXPECT_TRUE(ShowsBitmap(portButton(), SkinId::Disconnect));
  EXPECT_FALSE(list(id::PortList)->isEnabled());
  EXPECT_FALSE(list(id::BaudList)->isEnabled());
  QTest::keyClick(dialog, Qt::Key_Escape);
  EXPECT_TRUE(dialog->isVisible());
}

TEST_F(MainWindowTest, AddressFieldTakesFourOctetsAndRefusesAnythingElseWithTheBox) {
  LinkSettingsDialog* dialog = OpenLinkSettingsForTheMultiviewer();
  ASSERT_NE(dialog, nullptr);
  namespace id = LinkSettingsId;
  auto* addressing = dialog->Controls().Get<QComboBox>(id::AddressingList);
  addressing->setCurrentIndex(0);
  emit addressing->activated(0);  // Static
  auto* field = dialog->Controls().Get<QLineEdit>(id::AddressField);
  const auto type = [field](const char* text) {
    field->clear();
    field->setFocus();
    QTest::keyClicks(field, text);
    QCoreApplication::processEvents();  // a refused key says so once it is handled
  };
  const auto apply = [dialog] {
    QTest::mouseClick(dialog->Controls().Find(id::ApplyButton), Qt::LeftButton);
  };
  const std::vector<std::string> refused{"Please input the IP"};

  // Incomplete addresses are neither padded nor sent.
  for (const char* partial : {"1.2", "10.0.0.", "...5"}) {
    SCOPED_TRACE(partial);
    prompter.errors.clear();
    type(partial);
    EXPECT_EQ(field->text(), partial);
    apply();
    EXPECT_EQ(prompter.errors, refused);
  }
  // An octet above 255 or a fifth one is refused as it is typed, and says so.
  for (const auto& [typed, kept] :
       {std::pair{"300", "30"}, std::pair{"1.2.3.4.", "1.2.3.4"}, std::pair{"12a", "12"}}) {
    SCOPED_TRACE(typed);
    prompter.errors.clear();
    type(typed);
    EXPECT_EQ(field->text(), kept);
    EXPECT_EQ(prompter.errors, refused);
  }
  // The lock state sent once more marks the end: an address sent before it is there by then.
  Controller& controller = window->GetController();
  const std::size_t locks = lan.multiviewer->ReceivedFrames(CommandCode::SetLock).size();
  ASSERT_TRUE(controller.Session().SetLock(controller.Session().LockState()));
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(CommandCode::SetLock, locks + 1, test::kPatience));
  EXPECT_TRUE(lan.multiviewer->ReceivedFrames(CommandCode::SetNetwork).empty());

  prompter.errors.clear();
  type("10.0.0.7");
  apply();
  EXPECT_TRUE(prompter.errors.empty());
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(CommandCode::SetNetwork, 1, test::kPatience));
  const std::vector<std::uint8_t> frame =
      lan.multiviewer->ReceivedFrames(CommandCode::SetNetwork)[0];
  EXPECT_EQ(std::vector<std::uint8_t>(frame.begin() + 17, frame.begin() + 21),
            (std::vector<std::uint8_t>{10, 0, 0, 7}));
}

TEST(MainWindowGeometry, AWholeAddressFitsTheAddressFieldAtEveryDpi) {
  test::GuiApp();
  test::RecordingPrompter prompter;
  for (const int dpi : {96, 120, 144, 192}) {
    SCOPED_TRACE(dpi);
    MainWindow::Options options;
    options.dpi = DpiScale{dpi, dpi};
    options.serialPorts.sysClassTty = "/nonexistent";
    MainWindow window(options, prompter);
    QTest::mouseClick(window.Controls().Find(MainWindowId::LinkSettings), Qt::LeftButton);
    const QWidget* field = window.SettingsDialog()->Controls().Find(LinkSettingsId::AddressField);
    // The screen's font grows with its dpi, as the field must; a few pixels for frame and margins.
    const int text = QFontMetrics(field->font()).horizontalAdvance("255.255.255.255");
    EXPECT_GE(field->width(), text * dpi / 96 + 12);
    EXPECT_EQ(field->geometry(),
              QRect(175 * dpi / 96, 300 * dpi / 96, 150 * dpi / 96, 22 * dpi / 96));
  }
}

TEST(MainWindowGeometry, ScalesLayoutUnitsButNotBitmapButtons) {
  test::GuiApp();
  test::RecordingPrompter prompter;
  for (const int dpi : {96, 144}) {
    MainWindow::Options options;
    options.dpi = DpiScale{dpi, dpi};
    MainWindow window(options, prompter);
    EXPECT_EQ(window.size(), QSize(1280 * dpi / 96, 720 * dpi / 96));
    EXPECT_EQ(window.Controls().Find(MainWindowId::Search)->geometry(),
              QRect(380 * dpi / 96, 75 * dpi / 96, 135, 35));
    EXPECT_EQ(window.Controls().Find(MainWindowId::NameField)->geometry(),
              QRect(45 * dpi / 96, 110 * dpi / 96, 320 * dpi / 96, 20 * dpi / 96));
    EXPECT_EQ(window.PanelArea(),
              QRect(20 * dpi / 96, 160 * dpi / 96, 1240 * dpi / 96, 540 * dpi / 96));
  }
  MainWindow::Options options;
  options.dpi = DpiScale{144, 144};
  MainWindow window(options, prompter);
  EXPECT_EQ(window.Controls().Find(MainWindowId::Search)->geometry(), QRect(570, 112, 135, 35));
  EXPECT_EQ(window.size(), QSize(1920, 1080));
}

TEST(MainWindowGeometry, StatusAndVersionLinesShowTheirFirstTexts) {
  test::GuiApp();
  test::RecordingPrompter prompter;
  MainWindow window({}, prompter);
  EXPECT_EQ(window.Controls().Get<QLabel>(MainWindowId::StatusLine)->text(), "No Device Connected");
  // The number comes from the CMake project, as the version line's does.
  EXPECT_EQ(window.Controls().Get<QLabel>(MainWindowId::VersionLine)->text(),
            "Ver " QUINTARA_PROJECT_VERSION);
}

}  // namespace
}  // namespace quintara::ui
