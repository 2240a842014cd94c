// The skin on everything the windows do not paint themselves: lists, their pop-ups, edits,
// disabled controls, boxes and menus, looked at pixel by pixel.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>

#include "SkinLooks.h"
#include "core/Controller.h"
#include "support/GuiApp.h"
#include "support/Patience.h"
#include "support/TestLink.h"
#include "ui/app/LinkSettingsDialog.h"
#include "ui/app/MainWindow.h"
#include "ui/app/QtPrompter.h"
#include "ui/controls/ColourButton.h"
#include "ui/skin/Palette.h"

namespace quintara::ui {
namespace {

using test::Count;
using test::Distance;
using test::Dominant;
using test::LightPixels;
using test::Name;
using test::WhenShown;

// What a control shows: the colour most of it is filled with, and its ink, the pixel that
// stands out most from that ground (its text, or its arrow).
struct Look {
  QColor ground;
  QColor ink;
};

Look LookOf(QWidget& widget) {
  const QImage image = widget.grab().toImage();
  Look look{Dominant(image), {}};
  int farthest = -1;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (Distance(c, look.ground) > farthest) {
        farthest = Distance(c, look.ground);
        look.ink = c;
      }
    }
  }
  return look;
}

// A disabled control sits on a darker ground, and its ink is dimmer but still readable.
void ExpectLooksDisabled(const Look& disabled, const Look& enabled) {
  EXPECT_LT(qGray(disabled.ground.rgb()) + 8, qGray(enabled.ground.rgb()))
      << "ground " << Name(disabled.ground) << " against " << Name(enabled.ground);
  EXPECT_LT(qGray(disabled.ink.rgb()) + 20, qGray(enabled.ink.rgb()))
      << "ink " << Name(disabled.ink) << " against " << Name(enabled.ink);
  EXPECT_GT(Distance(disabled.ink, disabled.ground), 120) << "unreadable";
}

class SkinStyleTest : public ::testing::Test {
 protected:
  SkinStyleTest() {
    options.dpi = DpiScale{96, 96};
    options.serialPorts.sysClassTty = "/nonexistent";
    window = std::make_unique<MainWindow>(options, prompter);
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get(), test::kPatienceMs));
  }

  LinkSettingsDialog& OpenSettings() {
    QTest::mouseClick(window->Controls().Find(MainWindowId::LinkSettings), Qt::LeftButton);
    LinkSettingsDialog* dialog = window->SettingsDialog();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog, test::kPatienceMs));
    return *dialog;
  }

  test::Skinned skinned;
  test::RecordingPrompter prompter;
  MainWindow::Options options;
  std::unique_ptr<MainWindow> window;
};

TEST_F(SkinStyleTest, DisabledListsEditsAndButtonsLookDisabledInEveryWindow) {
  LinkSettingsDialog& dialog = OpenSettings();
  namespace id = LinkSettingsId;
  const auto control = [&dialog](int controlId) { return dialog.Controls().Find(controlId); };
  // A new controller is on LAN with DHCP: the port and baud lists and the address are off.
  ASSERT_TRUE(control(id::LinkList)->isEnabled());
  ASSERT_FALSE(control(id::PortList)->isEnabled());
  ASSERT_FALSE(control(id::BaudList)->isEnabled());
  ASSERT_FALSE(control(id::AddressField)->isEnabled());
  const Look link = LookOf(*control(id::LinkList));
  EXPECT_EQ(Name(link.ground), Name(skin::ControlGround));
  EXPECT_EQ(Name(link.ink), Name(skin::ListBlue));
  {
    SCOPED_TRACE("port list");
    ExpectLooksDisabled(LookOf(*control(id::PortList)), link);
  }
  {
    SCOPED_TRACE("baud list");
    ExpectLooksDisabled(LookOf(*control(id::BaudList)), link);
  }
  {
    SCOPED_TRACE("address field");
    auto* address = dialog.Controls().Get<QLineEdit>(id::AddressField);
    address->setText(QStringLiteral("192.168.1.50"));
    const Look underDhcp = LookOf(*address);
    auto* addressing = dialog.Controls().Get<QComboBox>(id::AddressingList);
    addressing->setCurrentIndex(0);
    emit addressing->activated(0);  // Static
    ASSERT_TRUE(address->isEnabled());
    ExpectLooksDisabled(underDhcp, LookOf(*address));
  }

  // While an exchange runs, the main window's own controls and the dialog are disabled.
  QWidget* deviceList = window->Controls().Find(MainWindowId::DeviceList);
  auto* nameField = window->Controls().Get<QLineEdit>(MainWindowId::NameField);
  nameField->setText(QStringLiteral("Studio"));
  QWidget* search = window->Controls().Find(MainWindowId::Search);
  QWidget* close = dialog.Controls().Find(id::Close);
  const Look idleList = LookOf(*deviceList);
  const Look idleName = LookOf(*nameField);
  const Look idleClose = LookOf(*close);
  const QImage idleSearch = search->grab().toImage();
  Look busyList;
  Look busyName;
  Look busyClose;
  QImage busySearch;
  std::atomic<bool> looked{false};
  QTimer::singleShot(0, [&] {
    busyList = LookOf(*deviceList);
    busyName = LookOf(*nameField);
    busyClose = LookOf(*close);
    busySearch = search->grab().toImage();
    looked = true;
  });
  window->Runner().Start("Busy", [&looked] {
    static_cast<void>(test::AwaitCondition([&looked] { return looked.load(); }));
    return Continuation{};
  });
  ASSERT_TRUE(QTest::qWaitFor([this] { return !window->Busy(); }, test::kPatienceMs));
  ASSERT_TRUE(looked);
  {
    SCOPED_TRACE("device list");
    ExpectLooksDisabled(busyList, idleList);
  }
  {
    SCOPED_TRACE("name field");
    ExpectLooksDisabled(busyName, idleName);
  }
  // The bitmap and colour buttons lose their green; the bitmap's plate darkens, if anything.
  const auto green = [](const QColor& c) { return Distance(c, skin::Green) < 30; };
  EXPECT_GT(Count(idleSearch, green), 20);
  EXPECT_EQ(Count(busySearch, green), 0);
  EXPECT_LE(qGray(Dominant(busySearch).rgb()), qGray(Dominant(idleSearch).rgb()));
  EXPECT_LT(Distance(idleClose.ink, skin::Green), 12) << Name(idleClose.ink);
  EXPECT_LT(Distance(busyClose.ink, skin::DisabledInk), 12) << Name(busyClose.ink);
  EXPECT_EQ(Name(LookOf(*deviceList).ground), Name(idleList.ground));  // enabled again afterwards
}

TEST_F(SkinStyleTest, ListsAreFlatDarkBoxesAndTheirPopUpsStayDark) {
  LinkSettingsDialog& dialog = OpenSettings();
  for (QComboBox* list : {window->Controls().Get<QComboBox>(MainWindowId::DeviceList),
                          dialog.Controls().Get<QComboBox>(LinkSettingsId::LinkList)}) {
    SCOPED_TRACE(list->window()->metaObject()->className());
    const QImage closed = list->grab().toImage();
    // One flat grey from top to bottom inside the rim, right of any text: no gradient.
    const int x = list->width() * 3 / 4;
    for (int y = 1; y < closed.height() - 1; ++y) {
      EXPECT_EQ(Name(closed.pixelColor(x, y)), Name(skin::ControlGround)) << "y " << y;
    }
  }

  QComboBox* links = dialog.Controls().Get<QComboBox>(LinkSettingsId::LinkList);
  links->showPopup();
  QWidget* popup = links->view()->window();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(popup, test::kPatienceMs));
  const QImage open = popup->grab().toImage();
  links->hidePopup();
  EXPECT_EQ(LightPixels(open), 0) << "a light ground in the open list";
  // The chosen line on green, the other on the control grey in the list's own blue.
  const int area = open.width() * open.height();
  EXPECT_GT(Count(open, [](const QColor& c) { return c == skin::ControlGround; }), area / 4);
  EXPECT_GT(Count(open, [](const QColor& c) { return c == skin::Green; }), area / 4);
  EXPECT_GT(Count(open, [](const QColor& c) { return Distance(c, skin::ListBlue) < 40; }), 10);
}

TEST_F(SkinStyleTest, BoxesAndTheContextMenuHoldTheDarkSkin) {
  QImage box;
  QImage okButton;
  QString caption;
  WhenShown([] { return QApplication::activeModalWidget(); },
            [&](QWidget& shown) {
              box = shown.grab().toImage();
              caption = shown.windowTitle();
              if (auto* ok = shown.findChild<QPushButton*>()) {
                okButton = ok->grab().toImage();
              }
              shown.close();
            });
  QtPrompter().ShowError(kInputIpError);
  EXPECT_EQ(caption, "Err");
  EXPECT_EQ(Name(Dominant(box)), Name(skin::Ground));
  EXPECT_EQ(Name(Dominant(okButton)), Name(skin::Plate));

  QImage menu;
  WhenShown([] { return QApplication::activePopupWidget(); },
            [&](QWidget& shown) {
              menu = shown.grab().toImage();
              shown.close();
            });
  const QPoint at(600, 400);
  QContextMenuEvent event(QContextMenuEvent::Mouse, at, window->mapToGlobal(at));
  QApplication::sendEvent(window.get(), &event);
  ASSERT_FALSE(menu.isNull());
  EXPECT_EQ(Name(Dominant(menu)), Name(skin::ControlGround));
  EXPECT_GT(LightPixels(menu), 20) << "the entry's white text";
  EXPECT_LT(LightPixels(menu), menu.width() * menu.height() / 10);
}

}  // namespace
}  // namespace quintara::ui
