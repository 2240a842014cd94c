// The device exchanges a panel starts: the wire part runs off the owner's thread, which never
// waits for it, and what it learned is applied on the owner's thread once it is in; an owner
// that goes away meanwhile never sees it. Run under the thread sanitizer with the core tests.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <thread>

#include "core/TaskQueue.h"
#include "core/matrix/MatrixPresenter.h"
#include "core/viewer/panel/MultiviewerPresenter.h"
#include "core/viewer/panel/SystemPresenter.h"
#include "support/Patience.h"
#include "support/StartedExchange.h"
#include "support/TaskLoop.h"
#include "support/TestLink.h"

namespace quintara {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes MatrixStatusReply(std::uint8_t firstInput) {
  Bytes reply(kEightChannelStatusSize, 0);
  reply[frame::kCommandCodeOffset] = MatrixCode::ReadMatrixStatus;
  reply[18] = firstInput;
  return reply;
}

// A matrix panel: it notes that it was shown.
struct MatrixPanelDouble final : MatrixPanelView {
  MatrixPanelDouble(DeviceSession& session, bool& noted)
      : shown(noted), presenter(session, kEightChannelType, *this) {}
  void ShowMatrix() override { shown = true; }
  bool& shown;
  MatrixPresenter presenter;
};

// A multiviewer panel on its System page: the selections the page resets go with the panel.
struct PanelWithSystemPage {
  PanelWithSystemPage(DeviceSession& session, NetworkLink& network, Executor& executor)
      : panel(session, network, executor), system(session) {}
  MultiviewerPresenter panel;
  SystemPresenter system;
};

class StartedExchanges : public ::testing::Test {
 protected:
  StartedExchanges() : controller(LinkConfig{}, QuickRecall(), clock, prompter, observer) {
    controller.UseLink(&link);
    controller.SetRunner(runner);
    test::SelectMultiviewer(controller);
  }

  static LinkTiming QuickRecall() {
    LinkTiming timing;
    timing.recallPauseMs = 1;
    return timing;
  }
  DeviceSession& session() { return controller.Session(); }
  ViewerState& viewer() { return session().Viewer(); }

  test::GatedLink link;
  SystemClock clock;
  test::RecordingPrompter prompter;
  test::RecordingObserver observer;
  TaskQueue owner;
  Controller controller;
  test::RecordingObserver::Attachments attached = observer.AttachTo(controller);
  test::StartingRunner runner{owner};
  const std::thread::id ownerThread = std::this_thread::get_id();
};

TEST_F(StartedExchanges, ThePanelOpensItsFirstPageOnlyOnceTheReadBackIsApplied) {
  link.script.arrivals = {test::MultiviewerStateReply(60, 0x80)};  // switcher mode
  MultiviewerPresenter presenter(session(), controller.Network(), owner);
  std::optional<std::uint8_t> opened;
  std::uint8_t layoutWhenOpened = 0;
  presenter.ReadState([&](std::uint8_t firstPage) {
    EXPECT_EQ(std::this_thread::get_id(), ownerThread);
    opened = firstPage;
    layoutWhenOpened = viewer().LayoutCode;
  });

  // ReadState has returned while the read-back is held on the wire: the owner goes on, and
  // nothing of the reply is in the mirror yet.
  ASSERT_TRUE(link.AwaitOnTheWire());
  owner.RunPending();
  EXPECT_FALSE(opened);
  EXPECT_EQ(viewer().LayoutCode, 0);
  EXPECT_TRUE(runner.Busy());

  link.Open();
  ASSERT_TRUE(test::RunTasksUntil(owner, [&] { return opened.has_value(); }));
  EXPECT_EQ(layoutWhenOpened, 60);
  EXPECT_EQ(opened, ViewerPage::Switcher);
}

// Each owner goes while its exchange is on the wire. Its own step never runs; the mirror takes a
// recall (what the device recalled is the session's), and nothing else.
TEST_F(StartedExchanges, AnOwnerClosedWhileItsExchangeIsOnTheWireDropsItsStep) {
  bool stepped = false;
  const Continuation step = [&stepped] { stepped = true; };
  struct Closing {
    const char* name;
    Bytes reply;
    std::function<std::shared_ptr<void>()> open;
    std::uint8_t layoutAfter;
  };
  const std::vector<Closing> owners{
      {"multiviewer panel", test::MultiviewerStateReply(60, 0),
       [&]() -> std::shared_ptr<void> {
         auto panel =
             std::make_shared<MultiviewerPresenter>(session(), controller.Network(), owner);
         panel->ReadState([step](std::uint8_t) { step(); });
         return panel;
       },
       0},
      {"system page", test::MultiviewerStateReply(60, 0),
       [&]() -> std::shared_ptr<void> {
         auto page = std::make_shared<SystemPresenter>(session());
         page->LoadCustom(2, step);
         return page;
       },
       60},
      {"whole panel, loading the defaults", test::MultiviewerStateReply(60, 0),
       [&]() -> std::shared_ptr<void> {
         auto panel = std::make_shared<PanelWithSystemPage>(session(), controller.Network(), owner);
         EXPECT_TRUE(panel->system.LoadDefaults(step));
         return panel;
       },
       60},
      {"matrix panel", MatrixStatusReply(5),
       [&]() -> std::shared_ptr<void> {
         auto panel = std::make_shared<MatrixPanelDouble>(session(), stepped);
         panel->presenter.Open();
         return panel;
       },
       0},
  };
  for (const Closing& closing : owners) {
    SCOPED_TRACE(closing.name);
    test::GatedLink gated;
    gated.script.arrivals = {closing.reply};
    controller.UseLink(&gated);
    viewer().LayoutCode = 0;
    std::shared_ptr<void> open = closing.open();
    ASSERT_TRUE(gated.AwaitOnTheWire());
    open.reset();
    gated.Open();
    ASSERT_TRUE(test::RunTasksUntil(owner, [&] { return !runner.Busy(); }));
    EXPECT_FALSE(stepped);
    EXPECT_EQ(viewer().LayoutCode, closing.layoutAfter);
    EXPECT_EQ(session().Matrix().statusTable[0], 0);
  }
  controller.UseLink(&link);
}

}  // namespace
}  // namespace quintara
