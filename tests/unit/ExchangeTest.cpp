// The protocol's exchanges over a fake link: what each accepts, what it waits past, what it does
// when nothing comes or nothing could be sent. The transports themselves are tested over real
// sockets and pseudo-terminals.
#include <gtest/gtest.h>

#include <sstream>

#include "core/Controller.h"
#include "core/matrix/MatrixCommands.h"
#include "core/viewer/protocol/ReadBack.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "support/FakeLink.h"
#include "support/TestLink.h"

namespace quintara {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes StateReply(std::uint8_t deviceType, std::uint8_t code, std::uint8_t layout,
                 std::size_t size = kStateReplySize) {
  Bytes reply(size, 0);
  reply[0] = frame::kStart;
  reply[frame::kDeviceTypeOffset] = deviceType;
  reply[frame::kCommandCodeOffset] = code;
  reply[kStateImageOffset] = layout;
  return reply;
}

class Exchanges : public ::testing::Test {
 protected:
  Exchanges() : controller(LinkConfig{}, LinkTiming{}, clock, prompter, observer) {
    controller.UseLink(&link);
    controller.SetDiagnostics(diagnostics);
  }

  void Select(LinkKind kind) {
    controller.SetLinkKind(kind);
    controller.Devices().SetSelectedIndex(0);
    attached = observer.AttachTo(controller);
  }

  test::FakeLink link;
  SystemClock clock;
  test::RecordingPrompter prompter;
  test::RecordingObserver observer;
  std::ostringstream diagnostics;
  Controller controller;
  test::RecordingObserver::Attachments attached = observer.AttachTo(controller);
};

TEST_F(Exchanges, NetworkReadBackWaitsPastWhatIsNotAMultiviewersStateReply) {
  Select(LinkKind::Lan);
  link.arrivals = {StateReply(0xA2, ViewerCode::ReadState, 40), StateReply(0xA1, 0x0B, 40),
                   StateReply(0xA1, ViewerCode::ReadState, 40, kStateReplySize - 1),
                   StateReply(0xA1, ViewerCode::ReadState, 42),
                   StateReply(0xA1, ViewerCode::ReadState, 60)};
  ASSERT_EQ(ReadBack(controller.Session()), ExchangeOutcome::Answered);
  EXPECT_EQ(controller.Session().Viewer().LayoutCode, 42);
  EXPECT_EQ(link.looks, 4);
  EXPECT_EQ(link.sent.at(0).size(), 20u);
  EXPECT_EQ(link.sent[0][frame::kCommandCodeOffset], ViewerCode::ReadState);
  EXPECT_EQ(link.lastExchange->pauseAfterSendMs, Exchange::kLinkPause);
  EXPECT_EQ(link.lastExchange->windowMs, 2000);
  EXPECT_EQ(observer.nameField, u"Custom Name");
}

TEST_F(Exchanges, SerialReadBackTakesAnyWholeReplyAndStopsAtAShortOne) {
  Select(LinkKind::Serial);
  Bytes untested = StateReply(0x00, 0x00, 42);
  link.arrivals = {Bytes{}, untested};
  ASSERT_EQ(ReadBack(controller.Session()), ExchangeOutcome::Answered);
  EXPECT_EQ(controller.Session().Viewer().LayoutCode, 42);

  // Fewer bytes than a reply, once read, end the wait; the mirror keeps what changed since the
  // last reply, and the status line says the device did not answer.
  controller.Session().Viewer().LayoutCode = 90;
  link.arrivals = {Bytes(100, 0x5A), StateReply(0xA1, ViewerCode::ReadState, 60)};
  ASSERT_EQ(ReadBack(controller.Session()), ExchangeOutcome::Unanswered);
  EXPECT_EQ(link.looks, 1);
  EXPECT_EQ(controller.Session().Viewer().LayoutCode, 90);
  EXPECT_EQ(observer.statusText.rfind("No answer from ", 0), 0u);

  link.arrivals = {StateReply(0xA1, ViewerCode::ReadState, 42)};
  ASSERT_EQ(ReadBack(controller.Session()), ExchangeOutcome::Answered);
  EXPECT_EQ(observer.statusText, "No Device Connected") << "answered: the search's status again";
}

TEST_F(Exchanges, ReadBackThatCannotBeSentDecodesNothing) {
  Select(LinkKind::Lan);
  link.reachable = false;
  controller.Session().Viewer().StateImage[0] = 42;
  controller.Session().Viewer().LayoutCode = 7;
  EXPECT_EQ(ReadBack(controller.Session()), ExchangeOutcome::NotSent);
  EXPECT_EQ(controller.Session().Viewer().LayoutCode, 7);
  EXPECT_TRUE(observer.nameField.empty());
}

TEST_F(Exchanges, UnansweredMatrixQueryOnTheNetworkLooksTwentyTimesAndKeepsTheTables) {
  Select(LinkKind::Lan);
  controller.Session().Matrix().statusTable[0] = 5;
  MatrixCommands commands(controller.Session(), kEightChannelType);
  link.arrivals = {Bytes{0xA5, 0x6C}};  // too short to carry a code
  EXPECT_FALSE(commands.ReadMatrixStatus());
  EXPECT_EQ(link.looks, 20);
  EXPECT_EQ(link.lastExchange->gapMs, 50);
  EXPECT_EQ(link.lastExchange->pauseAfterSendMs, 20);
  std::string expected = "readLen = 2 \n";
  for (int i = 1; i < 20; ++i) {
    expected += "readLen = 255 \n";
  }
  EXPECT_EQ(diagnostics.str(), expected + "read matrix \n");
  EXPECT_EQ(controller.Session().Matrix().statusTable[0], 5);
  EXPECT_EQ(observer.calls.back(), "RefreshMatrixStatus");
}

TEST_F(Exchanges, SerialMatrixReplyWithAnotherCodeEndsTheQueryUnanswered) {
  Select(LinkKind::Serial);
  controller.SerialPort();  // the queries look at the real port first: it is closed here
  MatrixCommands commands(controller.Session(), kSixteenChannelType);
  EXPECT_FALSE(commands.ReadMatrixStatus());
  EXPECT_TRUE(link.sent.empty()) << "nothing is asked while the port is closed";

  // The same judge, given a reply of the wrong code, on a link that takes the query.
  controller.SetLinkKind(LinkKind::Lan);
  Bytes wrong(kSixteenChannelStatusSize, 0);
  wrong[frame::kCommandCodeOffset] = MatrixCode::ReadBacklight;
  Bytes right = wrong;
  right[frame::kCommandCodeOffset] = MatrixCode::ReadMatrixStatus;
  right[18] = 9;
  link.arrivals = {wrong, right};
  EXPECT_TRUE(commands.ReadMatrixStatus());
  EXPECT_EQ(link.looks, 2);
  EXPECT_EQ(controller.Session().Matrix().statusTable[0], 9);
}

TEST_F(Exchanges, NetworkSearchRecordsAnswersAndEndsOnceTheAwaitedDeviceAnswered) {
  controller.SetLinkKind(LinkKind::Lan);
  const Bytes answer = {0xA5, 0x6C, 0x2C, 0x00, 0xA1, 0x01, 0x01, 0x00, 0x00, 0x00, 0x01,
                        0x02, 0x03, 0x04, 0x00, 0x00, 0xFF, 0x00, 'K',  'V',  'T',  '2',
                        '2',  '0',  '8',  'Z',  '-',  '1',  '-',  0x01, 0x02, 0x03, 0x04,
                        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xAE};
  link.arrivals = {Bytes{0x00, 0x01}, answer, answer};
  controller.SearchNetwork({Ipv4Address::Loopback()});
  EXPECT_EQ(link.looks, 2) << "the search ends at the first answer of the awaited device";
  EXPECT_EQ(link.lastExchange->audience, Audience::SearchTargets);
  EXPECT_EQ(link.sent.at(0).size(), kDiscoverFrameSize);
  EXPECT_EQ(controller.Devices().SelectedIndex(), 0);
  EXPECT_EQ(observer.statusText,
            "Connected - " + std::to_string(controller.Devices().Table().Count()));
}

TEST_F(Exchanges, CommandsThatCannotLeaveReportItAndTheSerialSettersSkipThePause) {
  Select(LinkKind::Serial);
  MatrixCommands commands(controller.Session(), kEightChannelType);
  EXPECT_EQ(commands.SetBacklightTime(2), CommandResult::Sent);
  EXPECT_EQ(link.pauses.back(), SerialPause::None);
  EXPECT_TRUE(controller.Session().SetLock(1));
  EXPECT_EQ(link.pauses.back(), SerialPause::After);
  link.reachable = false;
  EXPECT_FALSE(controller.Session().SetLock(0));
}

TEST(DeviceName, IsCutAtSixteenCharactersWithoutSplittingASurrogatePair) {
  const std::u16string fifteen(15, u'a');
  const std::u16string withPair = fifteen + u"\U0001F600b";
  EXPECT_EQ(FirstCharacters(withPair, 16), fifteen + u"\U0001F600");
  EXPECT_EQ(FirstCharacters(u"abc", 16), u"abc");
  // A lone surrogate is one character of its own.
  const std::u16string lone = fifteen + u'\xD83D' + u'b';
  EXPECT_EQ(FirstCharacters(lone, 16), fifteen + u'\xD83D');
}

TEST(AttachedViews, AreCalledWhileAttachedAndMayDetachDuringACall) {
  Views<ViewerView> views;
  test::RecordingObserver first;
  test::RecordingObserver second;
  const Views<ViewerView>::Attachment firstAttached = views.Attach(first);
  auto secondAttached = std::make_unique<Views<ViewerView>::Attachment>(views.Attach(second));
  views.Notify([&](ViewerView& view) {
    view.RepaintPreview();
    secondAttached.reset();  // the second view closes while the first shows the change
  });
  EXPECT_EQ(first.calls.size(), 1u);
  EXPECT_TRUE(second.calls.empty()) << "a view detached during the call is not called after";
  {
    Views<ViewerView>::Attachment moved = views.Attach(second);
    Views<ViewerView>::Attachment holder = std::move(moved);
    views.Notify([](ViewerView& view) { view.RepaintPreview(); });
  }
  EXPECT_EQ(second.calls.size(), 1u);
  views.Notify([](ViewerView& view) { view.RepaintPreview(); });
  EXPECT_EQ(first.calls.size(), 3u);
  EXPECT_EQ(second.calls.size(), 1u) << "detached once its attachment went";
}

}  // namespace
}  // namespace quintara
