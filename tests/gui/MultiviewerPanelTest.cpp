// The multiviewer panel in the main window against the simulated multiviewer: the opening
// read-back, the tabs and their warnings, the Mode and Switcher pages' sends, and what the
// device's own changes do to the page shown.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <thread>

#include "core/platform/UdpSocket.h"
#include "core/viewer/panel/PageSwitch.h"
#include "core/viewer/protocol/StatusListener.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "gui/PanelFixture.h"
#include "support/Bytes.h"
#include "support/JunkDatagrams.h"
#include "support/SimulatedLan.h"
#include "support/TestLink.h"
#include "ui/app/MainWindow.h"
#include "ui/controls/ShadeButton.h"
#include "ui/skin/Skin.h"
#include "ui/viewer/MultiviewerPanel.h"
#include "ui/viewer/PreviewPainter.h"
#include "ui/viewer/pages/ModePage.h"
#include "ui/viewer/pages/SwitcherPage.h"

namespace quintara::ui {
namespace {

using namespace std::chrono_literals;
using test::Bytes;
using test::SimulatedLan;

class MultiviewerPanelTest : public test::PanelFixture {
 protected:
  ModePage* Mode() const { return Page<ModePage>(); }
  SwitcherPage* Switcher() const { return Page<SwitcherPage>(); }
  void ClickLayout(std::uint8_t code) {
    QTest::mouseClick(Mode()->Controls().Find(LayoutButtonOf(code)->id), Qt::LeftButton);
  }
  // The layout button of this code shows its selected look.
  bool Lit(std::uint8_t code) const {
    const LayoutButton* button = LayoutButtonOf(code);
    return Mode()->Controls().Get<ShadeButton>(button->id)->Bitmap().toImage() ==
           Skin::Bitmap(button->selected).toImage();
  }
  std::vector<int> ModesSent() const {
    std::vector<int> modes;
    for (const auto& frame : lan.multiviewer->ReceivedFrames(ViewerCode::SetSwitcherMode)) {
      modes.push_back(frame.at(frame::kPayloadOffset));
    }
    return modes;
  }
};

TEST_F(MultiviewerPanelTest, OpensOnThePageOfTheDevicesModeAfterReadingItsState) {
  lan.multiviewer->SetSwitcherMode(0);
  lan.multiviewer->SetLayout(60);
  ASSERT_NE(OpenPanel(), nullptr);
  EXPECT_EQ(viewer().LayoutCode, 60) << "read back before the first page";
  ASSERT_NE(Mode(), nullptr);
  EXPECT_EQ(Mode()->Controls().Get<QComboBox>(ModePageId::WindowCount)->currentText(), "WIN 6");
  EXPECT_TRUE(Mode()->SourceList(6)->isEnabled());
  EXPECT_FALSE(Mode()->SourceList(7)->isEnabled());
  EXPECT_TRUE(Lit(60));
  EXPECT_TRUE(prompter.confirmations.empty());
  EXPECT_EQ(ModesSent(), std::vector<int>{0});
  EXPECT_EQ(Panel()->Preview().geometry(), QRect(5, 40, 720, 480));
  EXPECT_TRUE(Panel()->Presenter().ListenerRunning());

  // A device in switcher mode opens on the Switcher page, without a warning.
  lan.multiviewer->SetSwitcherMode(1);
  Search();
  Choose(SimulatedLan::kMultiviewer);
  ASSERT_NE(Switcher(), nullptr);
  EXPECT_TRUE(prompter.confirmations.empty());
}

TEST_F(MultiviewerPanelTest, TabsWarnIntoAndOutOfTheSwitcherAndSendTheModeOnEverySwitch) {
  lan.multiviewer->SetSwitcherMode(0);
  ASSERT_NE(OpenPanel(), nullptr);
  prompter.confirmAnswer = false;
  ClickTab(MultiviewerPanelId::SwitcherTab);
  EXPECT_EQ(prompter.confirmations.back(), kLeaveMultiviewerModeWarning);
  EXPECT_NE(Mode(), nullptr) << "cancelled: the Mode page stays";

  prompter.confirmAnswer = true;
  ClickTab(MultiviewerPanelId::SwitcherTab);
  ASSERT_NE(Switcher(), nullptr);
  ClickTab(MultiviewerPanelId::UmdTab);
  EXPECT_EQ(prompter.confirmations.back(), kLeaveSwitcherModeWarning);
  ClickTab(MultiviewerPanelId::ModeTab);
  ClickTab(MultiviewerPanelId::ModeTab);  // shown already: nothing
  EXPECT_EQ(prompter.confirmations.size(), 3u);
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(ViewerCode::SetSwitcherMode, 4, test::kPatience));
  EXPECT_EQ(ModesSent(), (std::vector<int>{0, 1, 0, 0}));

  // Locked: the warning still comes, and after OK nothing happens.
  window->GetController().Session().SetLockState(1);
  ClickTab(MultiviewerPanelId::SwitcherTab);
  EXPECT_EQ(prompter.confirmations.size(), 4u);
  EXPECT_NE(Mode(), nullptr);
  QTest::keyClick(Mode(), Qt::Key_Escape);
  QTest::keyClick(Panel(), Qt::Key_Return);
  EXPECT_TRUE(Panel()->isVisible()) << "neither key closes the panel or its page";
  EXPECT_EQ(ModesSent().size(), 4u);
}

TEST_F(MultiviewerPanelTest, LayoutButtonsAndSourceListsSendByteExactOnce) {
  lan.multiviewer->SetSwitcherMode(0);
  ASSERT_NE(OpenPanel(), nullptr);
  ASSERT_EQ(viewer().LayoutCode, 40);
  ClickLayout(40);  // the device's layout already
  Mode()->Controls().Get<QComboBox>(ModePageId::WindowCount)->setCurrentIndex(2);  // WIN 6
  EXPECT_TRUE(lan.multiviewer->ReceivedFrames(ViewerCode::SetLayout).empty());
  ClickLayout(60);
  ClickLayout(60);
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(ViewerCode::SetLayout, 1, test::kPatience));
  EXPECT_EQ(lan.multiviewer->ReceivedFrames(ViewerCode::SetLayout),
            std::vector<std::vector<std::uint8_t>>{
                Bytes("A5 6C 15 00 A1 01 01 00 00 00 00 00 00 00 00 00 33 3C 38 02 AE")});
  EXPECT_TRUE(Lit(60));
  EXPECT_FALSE(Lit(40));
  EXPECT_EQ(viewer().WindowRects[5], (LayoutRect{480, 320, 240, 160, 6}));

  Mode()->SourceList(3)->setCurrentIndex(4);  // SDI_05 in window 3
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(ViewerCode::SetWindowSource, 1, test::kPatience));
  EXPECT_EQ(lan.multiviewer->ReceivedFrames(ViewerCode::SetWindowSource)[0],
            Bytes("A5 6C 16 00 A1 01 01 00 00 00 00 00 00 00 00 00 34 05 03 06 02 AE"));
  EXPECT_TRUE(Await([this] { return lan.multiviewer->State().WindowSource[2] == 5; }));

  // The device moves window 3 on its own; a pick of what the list showed before goes out.
  lan.multiviewer->SetWindowSource(3, 7);
  ASSERT_TRUE(Await([this] { return Mode()->SourceList(3)->currentIndex() == 6; }));
  Mode()->SourceList(3)->setCurrentIndex(4);
  EXPECT_TRUE(Await([this] { return lan.multiviewer->State().WindowSource[2] == 5; }));

  window->GetController().Session().SetLockState(1);
  Mode()->SourceList(3)->setCurrentIndex(8);
  EXPECT_EQ(Mode()->SourceList(3)->currentIndex(), 4) << "locked: back to what is shown";
}

TEST_F(MultiviewerPanelTest, LockedTheButtonShowsItAndARefusedChangeSaysWhy) {
  lan.multiviewer->SetSwitcherMode(0);
  ASSERT_NE(OpenPanel(), nullptr);
  auto* lock = window->Controls().Get<ShadeButton>(MainWindowId::Lock);
  QTest::mouseClick(lock, Qt::LeftButton);
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(CommandCode::SetLock, 1, test::kPatience));
  EXPECT_EQ(lock->Bitmap().toImage(), Skin::Bitmap(SkinId::LockClosed).toImage());
  EXPECT_EQ(StatusLine(), "Connected - 3") << "locking refuses nothing yet";

  ClickLayout(60);
  EXPECT_EQ(StatusLine(), "Locked: unlock to make changes");
  const auto* line = window->Controls().Get<QLabel>(MainWindowId::StatusLine);
  EXPECT_GE(line->width(), line->sizeHint().width()) << "the note shows whole";
  EXPECT_FALSE(Lit(60));
  QTest::mouseClick(lock, Qt::LeftButton);  // unlock
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(CommandCode::SetLock, 2, test::kPatience));
  EXPECT_EQ(StatusLine(), "Connected - 3");
  ClickLayout(60);
  EXPECT_TRUE(lan.multiviewer->WaitForFrames(ViewerCode::SetLayout, 1, test::kPatience));
  EXPECT_EQ(lan.multiviewer->ReceivedFrames(ViewerCode::SetLayout).size(), 1u);
}

TEST_F(MultiviewerPanelTest, TheSwitcherPageRoutesAndRestoresOneToOne) {
  lan.multiviewer->SetSwitcherMode(1);
  ASSERT_NE(OpenPanel(), nullptr);
  ASSERT_NE(Switcher(), nullptr);
  test::Pick(Switcher()->OutputList(12), 4);
  EXPECT_EQ(viewer().SwitcherRects[11].number, 5);
  EXPECT_TRUE(Await([this] { return lan.multiviewer->State().SwitcherSource[11] == 5; }));
  // The same input again goes out as well, as every pick does.
  const std::size_t routes = lan.multiviewer->ReceivedFrames(ViewerCode::SetWindowSource).size();
  test::Pick(Switcher()->OutputList(12), 4);
  EXPECT_TRUE(
      lan.multiviewer->WaitForFrames(ViewerCode::SetWindowSource, routes + 1, test::kPatience));
  QTest::mouseClick(Switcher()->Controls().Find(SwitcherPageId::OneToOne), Qt::LeftButton);
  EXPECT_EQ(Switcher()->OutputList(12)->currentText(), "SDI_12");
  EXPECT_TRUE(Await([this] { return lan.multiviewer->State().SwitcherSource[11] == 12; }));
}

TEST_F(MultiviewerPanelTest, TheFrontPanelsChangesShowOnThePreviewAndThePage) {
  lan.multiviewer->SetSwitcherMode(0);
  ASSERT_NE(OpenPanel(), nullptr);
  const int paints = Panel()->Preview().PaintCount();
  lan.multiviewer->SetLayout(90);
  ASSERT_TRUE(Await([this] { return viewer().LayoutCode == 90; }));
  EXPECT_EQ(Mode()->Controls().Get<QComboBox>(ModePageId::WindowCount)->currentText(), "WIN 9");
  EXPECT_TRUE(Lit(90));
  EXPECT_TRUE(Mode()->SourceList(9)->isEnabled());
  EXPECT_TRUE(Await([&] { return Panel()->Preview().PaintCount() > paints; }));
  EXPECT_TRUE(Await([this] {
    return Panel()->Preview().grab().toImage().convertToFormat(QImage::Format_RGB32) ==
           RenderPreview(viewer(), window->Scale());
  })) << "the preview shows the nine windows";

  lan.multiviewer->SetWindowSource(2, 7);
  EXPECT_TRUE(Await([this] { return Mode()->SourceList(2)->currentText() == "SDI_07"; }));
  EXPECT_EQ(viewer().WindowSource[1], 7);
}

TEST_F(MultiviewerPanelTest, TheWindowPaintsAndDropsInputWhileTheOpeningReadBackWaits) {
  Search();
  Choose(SimulatedLan::kMatrix8);
  lan.server.Stop();  // the read-back goes unanswered and waits its whole window
  int ticks = 0;
  bool pageWhileReading = false;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    ++ticks;
    pageWhileReading = pageWhileReading || (window->Busy() && Panel() && Panel()->ShownPage());
  });
  ticker.start(20);
  QTimer::singleShot(100, [this] {
    QTest::mouseClick(window->Controls().Find(MainWindowId::Search), Qt::LeftButton);
  });
  Choose(SimulatedLan::kMultiviewer);
  EXPECT_GE(ticks, 10) << "the window's thread went on while the read-back waited";
  EXPECT_FALSE(pageWhileReading) << "the first page comes once the read-back is in";
  EXPECT_GE(window->Runner().DroppedInput(), 1);
  ASSERT_NE(Panel(), nullptr) << "the click on Search was dropped, not replayed";
  EXPECT_NE(Panel()->ShownPage(), nullptr) << "unanswered, the panel opens all the same";
}

// The window closes while its panel's read-back waits for a silent device: the exchange ends
// before the link and the session it uses go, and what it would have applied is dropped.
TEST_F(MultiviewerPanelTest, ClosingTheWindowWhileTheOpeningReadBackWaitsEndsCleanly) {
  Search();
  Choose(SimulatedLan::kMatrix8);
  lan.server.Stop();
  DeviceList()->setCurrentIndex(DeviceList()->findText(QStringLiteral("KVT2208Z_127.0.0.31")));
  ASSERT_TRUE(window->Busy());
  ASSERT_NE(Panel(), nullptr);
  EXPECT_EQ(Panel()->ShownPage(), nullptr);
  window.reset();
  QCoreApplication::processEvents();
}

TEST_F(MultiviewerPanelTest, WithoutAStatusSocketThePanelWorksOnAndSaysSo) {
  std::optional<UdpSocket> occupier = UdpSocket::Create();
  ASSERT_TRUE(occupier->Bind({Ipv4Address::Loopback(), lan.link.statusPort}));
  std::ostringstream diagnostics;
  window->GetController().SetDiagnostics(diagnostics);
  lan.multiviewer->SetSwitcherMode(0);
  ASSERT_NE(OpenPanel(), nullptr);
  EXPECT_NE(diagnostics.str().find("create socket fail\n"), std::string::npos);
  EXPECT_EQ(StatusLine().toStdString(),
            "Live updates off: port " + std::to_string(lan.link.statusPort) + " is in use");
  EXPECT_FALSE(Panel()->Presenter().ListenerRunning());
  ClickLayout(60);
  EXPECT_TRUE(lan.multiviewer->WaitForFrames(ViewerCode::SetLayout, 1, test::kPatience));
}

// Devices chosen and searched again while the multiviewer keeps reporting: each panel goes with
// its listener, and every report a listener accepted is applied while its panel lasts or dropped
// once it is gone; none reaches the panel after it, none is lost while its panel lasts.
TEST_F(MultiviewerPanelTest, ChangingDevicesWhileReportsStreamLeavesNoStrayReport) {
  struct Ledger {
    std::shared_ptr<const StatusListener::HandOver> counts;
    std::optional<std::uint64_t> appliedAtClose;
  };
  std::vector<Ledger> ledgers;
  const QObject watching;  // goes before the ledgers: no panel notes into them afterwards
  // After each step: a new panel's listener is followed, and what it applied is noted the
  // moment the panel goes (its generation has just moved on).
  const auto follow = [&] {
    StatusListener* listener = Panel() ? Panel()->Presenter().Listener() : nullptr;
    if (!listener || (!ledgers.empty() && ledgers.back().counts == listener->Counts())) {
      return;
    }
    ledgers.push_back({listener->Counts(), std::nullopt});
    QObject::connect(Panel(), &QObject::destroyed, &watching, [&ledgers, n = ledgers.size() - 1] {
      ledgers[n].appliedAtClose = ledgers[n].counts->applied.load();
    });
  };
  const auto choose = [&](const Ipv4Address& device) {
    Choose(device);
    follow();
    QTest::qWait(30);
  };

  lan.multiviewer->SetSwitcherMode(0);
  ASSERT_NE(OpenPanel(), nullptr);
  follow();
  std::atomic<bool> reporting{true};
  std::atomic<int> reported{0};
  std::thread frontPanel([this, &reporting, &reported] {
    for (int n = 0; reporting && n < 40000; ++n) {
      lan.multiviewer->SetWindowSource(static_cast<std::uint8_t>(1 + n % 4),
                                       static_cast<std::uint8_t>(1 + n % 16));
      ++reported;
      std::this_thread::sleep_for(100us);
    }
    reporting = false;
  });
  for (int round = 0; round < 3; ++round) {
    choose(SimulatedLan::kMatrix8);
    EXPECT_EQ(Panel(), nullptr);
    choose(SimulatedLan::kMultiviewer);
    ASSERT_NE(Mode(), nullptr);
    choose(SimulatedLan::kMatrix16);
    choose(SimulatedLan::kMultiviewer);
    Search();
    follow();
    choose(SimulatedLan::kMultiviewer);
  }
  choose(SimulatedLan::kMatrix8);
  const PerWindow<std::uint8_t> sources = viewer().WindowSource;
  const int reportedBefore = reported;
  EXPECT_TRUE(Await([&] { return reported > reportedBefore + 200 || !reporting; }));
  EXPECT_EQ(viewer().WindowSource, sources) << "no panel, no report applied";
  reporting = false;
  frontPanel.join();

  const auto settled = [](const Ledger& ledger) {
    return ledger.counts->accepted == ledger.counts->applied + ledger.counts->dropped;
  };
  EXPECT_TRUE(Await([&] { return std::ranges::all_of(ledgers, settled); }));
  std::uint64_t accepted = 0;
  for (const Ledger& ledger : ledgers) {
    accepted += ledger.counts->accepted;
    EXPECT_EQ(ledger.counts->applied.load(), ledger.appliedAtClose)
        << "applied after its panel went";
  }
  EXPECT_GE(ledgers.size(), 10u);
  EXPECT_GT(accepted, 0u);

  // A panel that lasts loses nothing: the device's last changes all reach the mirror.
  choose(SimulatedLan::kMultiviewer);
  ASSERT_NE(Mode(), nullptr);
  for (std::uint8_t number = 1; number <= 4; ++number) {
    lan.multiviewer->SetWindowSource(number, static_cast<std::uint8_t>(10 + number));
  }
  EXPECT_TRUE(
      Await([this] { return viewer().WindowSource == lan.multiviewer->State().WindowSource; }));
  const StatusListener::HandOver& last = *ledgers.back().counts;
  EXPECT_TRUE(Await([&] { return last.accepted == last.applied; }));
  EXPECT_EQ(last.dropped.load(), 0u);
}

// 100 000 junk datagrams, half to the status port and half to the port the window's exchanges
// use, while the panel is open and the device reports between them: every report reaches the
// panel, nothing of the junk does, memory stays flat, and the state the window mirrors is the
// device's when it reads everything again.
TEST_F(MultiviewerPanelTest, AFloodOfJunkLeavesTheOpenPanelRightAndMemoryFlat) {
  lan.multiviewer->SetSwitcherMode(0);
  ASSERT_NE(OpenPanel(), nullptr);
  ASSERT_TRUE(Panel()->Presenter().ListenerRunning());
  const std::array<std::uint8_t, 4> identity =
      window->GetController().Session().Entry().DeviceIdentity;
  // Applies what the listener hands over, without the waits of qWaitFor between looks.
  const auto settle = [](const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + test::kPatience;
    while (!condition() && std::chrono::steady_clock::now() < deadline) {
      QCoreApplication::processEvents();
      std::this_thread::sleep_for(100us);
    }
    return condition();
  };

  constexpr int kBursts = 1000;
  constexpr int kPerBurst = 50;  // to each port; a burst never overruns the status socket
  test::JunkSender commandFlood(identity, {Ipv4Address::Loopback(), lan.link.localPort},
                                kBursts * kPerBurst);
  test::Junk junk(identity, 1);
  std::optional<UdpSocket> sender = UdpSocket::Create();
  ASSERT_TRUE(sender);
  const UdpEndpoint statusPort{Ipv4Address::Loopback(), lan.link.statusPort};
  std::size_t residentBefore = 0;
  std::uint64_t reports = 0;
  for (int burst = 0; burst < kBursts; ++burst) {
    for (int i = 0; i < kPerBurst; ++i) {
      sender->SendTo(junk.Next(), statusPort);
    }
    commandFlood.Allow((burst + 1) * kPerBurst);
    const auto number = static_cast<std::uint8_t>(1 + burst % 4);
    const auto input = static_cast<std::uint8_t>(1 + (burst / 4 + number) % 16);  // a change
    ASSERT_TRUE(lan.multiviewer->SetWindowSource(number, input));
    ++reports;
    ASSERT_TRUE(settle([&] { return viewer().WindowSource[number - 1] == input; }))
        << "the report after burst " << burst;
    if (burst == 50) {
      residentBefore = test::ResidentKiB();
    }
    if (burst % 300 == 150) {  // device-wide changes: the panel reads everything amid the junk
      lan.multiviewer->SetSwitcherMode(burst % 600 == 150 ? 1 : 0);
      ++reports;
    }
  }
  EXPECT_EQ(commandFlood.Finish(), kBursts * kPerBurst);
  EXPECT_GE(lan.multiviewer->ReceivedFrames(ViewerCode::ReadState).size(), 4u)
      << "the opening read-back and one after each device-wide change";
  const std::size_t residentAfter = test::ResidentKiB();
  std::cout << 2 * kBursts * kPerBurst << " junk datagrams; VmRSS " << residentBefore
            << " kB before, " << residentAfter << " kB after\n";
#ifndef __SANITIZE_ADDRESS__  // there freed blocks wait in quarantine, and each paint frees some
  EXPECT_LT(residentAfter, residentBefore + 8 * 1024);
#endif
  const StatusListener::HandOver& counts = *Panel()->Presenter().Listener()->Counts();
  EXPECT_EQ(counts.accepted.load(), reports);
  EXPECT_EQ(counts.rejected.load(), junk.Refused());
  EXPECT_TRUE(settle([&] { return counts.accepted == counts.applied; }));
  EXPECT_EQ(counts.dropped.load(), 0u);

  lan.multiviewer->SetSwitcherMode(1);
  EXPECT_TRUE(Await([this] { return viewer().StateImage == lan.multiviewer->StateImage(); }));
  EXPECT_EQ(viewer().WindowSource, lan.multiviewer->State().WindowSource);
  EXPECT_NE(Panel(), nullptr);
}

// While the window's thread is held up the device reports far more than the hand-over keeps:
// the window holds one task of the listener, not one per report, the oldest reports go, and
// once the thread is free the state is read again, so the mirror is the device's.
TEST_F(MultiviewerPanelTest, ReportsBeyondTheHandOverWhileTheWindowIsHeldUpAreReadAgainAfter) {
  lan.multiviewer->SetSwitcherMode(0);
  ASSERT_NE(OpenPanel(), nullptr);
  const std::shared_ptr<const StatusListener::HandOver> counts =
      Panel()->Presenter().Listener()->Counts();
  const std::size_t readsBefore = lan.multiviewer->ReceivedFrames(ViewerCode::ReadState).size();
  // Changes of the sixteen windows until the oldest had to go (bounded in count), made from
  // this thread, which meanwhile runs none of the window's events.
  for (int n = 0; counts->overflowed == 0 && n < 200'000; ++n) {
    lan.multiviewer->SetWindowSource(static_cast<std::uint8_t>(1 + n % 16),
                                     static_cast<std::uint8_t>(1 + (n / 16 + n) % 16));
  }
  EXPECT_GT(counts->overflowed.load(), 0u);
  EXPECT_LE(window->Runner().HeldTasks(), 1u);
  EXPECT_TRUE(Await([&] {
    return counts->accepted == counts->applied + counts->overflowed &&
           lan.multiviewer->ReceivedFrames(ViewerCode::ReadState).size() > readsBefore &&
           !window->Busy();
  }));
  EXPECT_EQ(viewer().WindowSource, lan.multiviewer->State().WindowSource);
  EXPECT_EQ(viewer().StateImage, lan.multiviewer->StateImage());
}

}  // namespace
}  // namespace quintara::ui
