// Exchanges that wait, run from the window: it keeps painting, shows that it is busy, and input
// made meanwhile is dropped rather than replayed once the exchange is over.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>

#include "core/viewer/protocol/ReadBack.h"
#include "gui/PaintCounter.h"
#include "support/CraftedDevice.h"
#include "support/GuiApp.h"
#include "support/Patience.h"
#include "support/SimulatedLan.h"
#include "support/TestLink.h"
#include "ui/app/MainWindow.h"
#include "ui/app/QtExecutor.h"
#include "ui/controls/ShadeButton.h"

namespace quintara::ui {
namespace {

using namespace std::chrono_literals;

std::unique_ptr<MainWindow> OpenWindow(const LinkConfig& link, test::RecordingPrompter& prompter) {
  test::GuiApp();
  MainWindow::Options options;
  options.link = link;
  options.timing = test::ShortSearchTiming();
  options.serialPorts.sysClassTty = "/nonexistent";
  options.dpi = DpiScale{96, 96};
  auto window = std::make_unique<MainWindow>(options, prompter);
  window->show();
  return window;
}

// A press and release queued for the window, as a real click arrives: the window hands it to
// the widget under the cursor when the event loop gets to it.
void QueueClick(QWidget& target) {
  QWindow* window = target.window()->windowHandle();
  const QPointF local = target.mapTo(target.window(), target.rect().center());
  const QPointF global = target.mapToGlobal(target.rect().center());
  QCoreApplication::postEvent(window, new QMouseEvent(QEvent::MouseButtonPress, local, global,
                                                      Qt::LeftButton, Qt::LeftButton, {}));
  QCoreApplication::postEvent(window, new QMouseEvent(QEvent::MouseButtonRelease, local, global,
                                                      Qt::LeftButton, Qt::NoButton, {}));
}

TEST(ExchangeRunner, WindowPaintsAndShowsItIsBusyWhileALateReadBackRuns) {
  const Ipv4Address address{{127, 0, 0, 41}};
  const std::uint16_t port = test::FreeUdpPort(address);
  std::vector<std::uint8_t> reply(kStateReplySize, 0);
  reply[frame::kDeviceTypeOffset] = 0xA1;
  reply[frame::kCommandCodeOffset] = 0x0A;
  reply[kStateImageOffset] = 60;
  const test::CraftedPeer late({address, port}, {}, 600ms, {reply});
  test::RecordingPrompter prompter;
  const std::unique_ptr<MainWindow> window =
      OpenWindow(test::LoopbackLink({address}, port), prompter);
  Controller& controller = window->GetController();
  DiscoveredDevice device;
  device.entry.SetAddressText(address.ToText());
  device.entry.DeviceType = 0xA1;
  ASSERT_TRUE(controller.Devices().Record(device));
  controller.Devices().SetSelectedIndex(0);

  PaintCounter painted(*window);
  int ticks = 0;
  bool shownBusy = false;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    ++ticks;
    window->update();
    shownBusy = shownBusy ||
                (window->Controls().Get<QLabel>(MainWindowId::StatusLine)->text() ==
                     "Reading the device..." &&
                 !window->Controls().Find(MainWindowId::Search)->isEnabled() && window->Busy());
  });
  ticker.start(20);
  std::optional<ExchangeOutcome> outcome;
  controller.Runner().Start(
      kReadingStateText,
      ReadBackWork(controller.Session(), [&outcome](ExchangeOutcome read) { outcome = read; }));
  EXPECT_FALSE(outcome) << "started, not waited for";
  EXPECT_TRUE(window->Busy());
  ASSERT_TRUE(QTest::qWaitFor([&outcome] { return outcome.has_value(); }, test::kPatienceMs));
  ticker.stop();

  EXPECT_EQ(outcome, ExchangeOutcome::Answered);
  EXPECT_EQ(controller.Session().Viewer().LayoutCode, 60);
  EXPECT_GE(ticks, 10) << "the window's own timers went on during the read-back";
  EXPECT_GE(painted.paints, 2) << "the window painted during the read-back";
  EXPECT_TRUE(shownBusy);
  EXPECT_FALSE(window->Busy());
  EXPECT_TRUE(window->Controls().Find(MainWindowId::Search)->isEnabled());
  EXPECT_NE(window->Controls().Get<QLabel>(MainWindowId::StatusLine)->text(),
            "Reading the device...");
}

TEST(ExchangeRunner, ClicksAndKeysDuringASearchHaveNoEffectAfterIt) {
  test::SimulatedLan lan;
  test::RecordingPrompter prompter;
  const std::unique_ptr<MainWindow> window = OpenWindow(lan.link, prompter);
  Controller& controller = window->GetController();
  // The input is made once the search runs, however late that is on a loaded machine.
  QTimer duringTheSearch;
  QObject::connect(&duringTheSearch, &QTimer::timeout, window.get(), [&] {
    if (!window->Busy()) {
      return;
    }
    duringTheSearch.stop();
    QueueClick(*window->Controls().Find(MainWindowId::Lock));
    QueueClick(*window->Controls().Find(MainWindowId::Search));
    QCoreApplication::postEvent(window->windowHandle(),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
  });
  duringTheSearch.start(5);
  QTest::mouseClick(window->Controls().Find(MainWindowId::Search), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&window] { return !window->Busy(); }, test::kPatienceMs));
  ASSERT_EQ(window->Controls().Get<QComboBox>(MainWindowId::DeviceList)->count(), 3);
  // Whatever was still queued is handed out now; none of it may act.
  QCoreApplication::processEvents();
  EXPECT_GT(window->Runner().DroppedInput(), 0);
  EXPECT_EQ(controller.Session().LockState(), 0);

  // A name sent now to the selected device marks the end: a lock sent before it is there by then.
  ASSERT_TRUE(controller.Session().SendDeviceName(u"Marker"));
  ASSERT_TRUE(QTest::qWaitFor(
      [&lan] {
        return !lan.multiviewer->ReceivedFrames(CommandCode::SetDeviceName).empty() ||
               !lan.matrix8->ReceivedFrames(CommandCode::SetDeviceName).empty() ||
               !lan.matrix16->ReceivedFrames(CommandCode::SetDeviceName).empty();
      },
      test::kPatienceMs));
  for (const auto& device : {lan.multiviewer->ReceivedFrames(CommandCode::SetLock),
                             lan.matrix8->ReceivedFrames(CommandCode::SetLock),
                             lan.matrix16->ReceivedFrames(CommandCode::SetLock)}) {
    EXPECT_TRUE(device.empty()) << "a click made during the search locked a device";
  }
  EXPECT_EQ(lan.multiviewer->ReceivedFrames(CommandCode::Discover).size(), 1u)
      << "a second search ran";
  ASSERT_TRUE(QTest::qWaitFor([&window] { return !window->Busy(); }, test::kPatienceMs))
      << "the panel the search opened has read its device";
  EXPECT_TRUE(window->Controls().Find(MainWindowId::Lock)->isEnabled());
}

// The search button starts the search and returns: the list, the status and the first device's
// panel come once it has ended. A window closed meanwhile lets the search end on its links first.
TEST(ExchangeRunner, TheSearchButtonReturnsAtOnceAndThePanelOpensOnceTheSearchEnded) {
  test::SimulatedLan lan;
  test::RecordingPrompter prompter;
  std::unique_ptr<MainWindow> window = OpenWindow(lan.link, prompter);
  const auto* list = window->Controls().Get<QComboBox>(MainWindowId::DeviceList);
  QWidget* search = window->Controls().Find(MainWindowId::Search);
  QTest::mouseClick(search, Qt::LeftButton);
  EXPECT_TRUE(window->Busy()) << "the click waited for the search";
  EXPECT_EQ(window->Controls().Get<QLabel>(MainWindowId::StatusLine)->text(), "Searching...");
  EXPECT_EQ(window->DevicePanel(), nullptr);
  ASSERT_TRUE(QTest::qWaitFor([&window] { return !window->Busy(); }, test::kPatienceMs));
  EXPECT_EQ(list->count(), 3);
  EXPECT_NE(window->DevicePanel(), nullptr) << "the first device's panel opened";

  QTest::mouseClick(search, Qt::LeftButton);
  EXPECT_EQ(list->count(), 0) << "the list empties as the search starts";
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(CommandCode::Discover, 2, test::kPatience));
  ASSERT_TRUE(window->Busy());
  window.reset();
}

TEST(QtExecutorOrder, ATaskThatWaitsInALoopOfItsOwnFinishesBeforeTheNextStarts) {
  test::GuiApp();
  QtExecutor executor;
  std::vector<std::string> order;
  executor.Post([&] {
    order.push_back("box opens");
    QEventLoop box;  // as a message box's own loop
    QTimer::singleShot(50, &box, &QEventLoop::quit);
    box.exec();
    order.push_back("box closes");
  });
  executor.Post([&] { order.push_back("next report"); });
  EXPECT_TRUE(QTest::qWaitFor([&order] { return order.size() == 3; }, test::kPatienceMs));
  EXPECT_EQ(order, (std::vector<std::string>{"box opens", "box closes", "next report"}));
}

// A worker that keeps posting (reports in a burst) must not keep the window from painting: the
// tasks run in slices with turns of the event loop between them, and all of them run in order.
TEST(QtExecutorOrder, AStreamOfTasksLeavesTheEventLoopItsTurns) {
  test::GuiApp();
  QtExecutor executor;
  std::vector<int> ran;
  std::thread worker([&] {
    for (int n = 0; n < 400; ++n) {
      executor.Post([&ran, n] {
        ran.push_back(n);
        std::this_thread::sleep_for(1ms);
      });
    }
  });
  int ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
  ticker.start(5);
  EXPECT_TRUE(QTest::qWaitFor([&ran] { return ran.size() == 400; }, test::kPatienceMs));
  worker.join();
  EXPECT_GE(ticks, 20) << "400 ms of tasks, and the timer had its turns";
  EXPECT_TRUE(std::ranges::is_sorted(ran));
}

}  // namespace
}  // namespace quintara::ui
