// The matrix panels' rules: choosing, marking, routing, what the rows show, the lock.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "core/matrix/MatrixPresenter.h"
#include "support/FakeLinkFixture.h"

namespace quintara {
namespace {

using Bytes = std::vector<std::uint8_t>;

class CountingPanel final : public MatrixPanelView {
 public:
  void ShowMatrix() override { ++shown; }
  int shown = 0;
};

// A status reply of the panel's type: output o fed by inputs[o], the lock byte and a format code.
Bytes StatusReply(std::uint8_t panelType, std::initializer_list<std::uint8_t> inputs,
                  std::uint8_t lock = 0, std::uint8_t formatCode = 7) {
  const bool sixteen = panelType == kSixteenChannelType;
  Bytes reply(sixteen ? kSixteenChannelStatusSize : kEightChannelStatusSize, 0);
  reply[frame::kCommandCodeOffset] = MatrixCode::ReadMatrixStatus;
  std::size_t at = 18;
  for (const std::uint8_t input : inputs) {
    reply[at++] = input;
  }
  reply[sixteen ? 34 : 26] = lock;
  if (sixteen) {
    reply[36] = formatCode;
  }
  return reply;
}

Bytes BacklightReply(std::uint8_t time, std::uint8_t brightness) {
  Bytes reply(kBacklightReplySize, 0);
  reply[frame::kCommandCodeOffset] = MatrixCode::ReadBacklight;
  reply[18] = time;
  reply[19] = brightness;
  return reply;
}

class MatrixPanelRules : public test::FakeLinkFixture {
 protected:
  MatrixPanelRules() { controller.SetDiagnostics(diagnostics); }

  // A panel of the type opened on a switcher that answers with these replies.
  MatrixPresenter& Open(std::uint8_t panelType, Bytes status, Bytes backlight = {}) {
    link.arrivals = {status};
    if (!backlight.empty()) {
      link.arrivals.push_back(backlight);
    }
    presenter = std::make_unique<MatrixPresenter>(controller.Session(), panelType, panel);
    presenter->Open();
    link.sent.clear();
    link.arrivals.clear();
    return *presenter;
  }
  std::string LastText() const {
    return link.sent.empty() ? "" : std::string(link.sent.back().begin(), link.sent.back().end());
  }
  void Mark(MatrixPresenter& matrix, int input, std::initializer_list<int> outputs) {
    matrix.SelectInput(input);
    for (const int output : outputs) {
      matrix.ToggleOutput(output);
    }
  }

  std::ostringstream diagnostics;
  CountingPanel panel;
  std::unique_ptr<MatrixPresenter> presenter;
};

TEST_F(MatrixPanelRules, ApplyRoutesTheMarkedOutputsAndLightsTheirStatus) {
  MatrixPresenter& matrix = Open(kEightChannelType, StatusReply(kEightChannelType, {}));
  Mark(matrix, 3, {1, 4});
  EXPECT_TRUE(link.sent.empty()) << "marking sends nothing";
  EXPECT_TRUE(matrix.OutputLit(1) && matrix.OutputLit(4) && !matrix.OutputLit(2));
  matrix.Apply();
  EXPECT_EQ(LastText(), "3V1,4.");
  EXPECT_EQ(matrix.StatusShown(1), 3);
  EXPECT_EQ(matrix.StatusShown(4), 3);
  EXPECT_EQ(matrix.StatusShown(2), 0) << "an output routed nowhere keeps its grey number";
  EXPECT_TRUE(matrix.InputLit(3));
  EXPECT_TRUE(matrix.OutputLit(1) && matrix.OutputLit(4));
  EXPECT_EQ(matrix.ActiveAction(), MatrixAction::Apply);

  // Another input puts Apply out; applying again lights it again.
  Mark(matrix, 5, {2});
  EXPECT_EQ(matrix.ActiveAction(), MatrixAction::None);
  EXPECT_FALSE(matrix.InputLit(3));
  matrix.Apply();
  EXPECT_EQ(LastText(), "5V2.");
  EXPECT_EQ(matrix.ActiveAction(), MatrixAction::Apply);
}

TEST_F(MatrixPanelRules, MarksToggleAndARouteKeepsItsOutputLit) {
  MatrixPresenter& matrix = Open(kEightChannelType, StatusReply(kEightChannelType, {}));
  controller.Session().Matrix().routeTable[1] = 5;  // input 5 already feeds output 2
  Mark(matrix, 5, {2, 3});
  matrix.ToggleOutput(2);
  matrix.ToggleOutput(3);
  EXPECT_TRUE(matrix.OutputLit(2)) << "routed there";
  EXPECT_FALSE(matrix.OutputLit(3));
  EXPECT_EQ(controller.Session().Matrix().pendingMarks[2], 0);

  // Choosing the chosen input again changes nothing; another input clears the marks.
  matrix.ToggleOutput(4);
  matrix.SelectInput(5);
  EXPECT_EQ(controller.Session().Matrix().pendingMarks[3], 5);
  matrix.SelectInput(6);
  EXPECT_EQ(controller.Session().Matrix().pendingMarks[3], 0);

  // Without an input, outputs cannot be marked; outside the panel's channels nothing happens.
  matrix.OneToOne();
  matrix.ToggleOutput(1);
  EXPECT_EQ(controller.Session().Matrix().pendingMarks[0], 0);
  matrix.SelectInput(9);
  EXPECT_EQ(controller.Session().Matrix().selectedInput, 0) << "eight channels offer no input 9";
}

TEST_F(MatrixPanelRules, ApplyWithNothingMarkedSendsNothing) {
  MatrixPresenter& eight = Open(kEightChannelType, StatusReply(kEightChannelType, {2}));
  eight.SelectInput(4);
  eight.Apply();
  EXPECT_TRUE(link.sent.empty());
  EXPECT_EQ(eight.ActiveAction(), MatrixAction::Apply) << "eight channels light it regardless";
  EXPECT_EQ(eight.StatusShown(1), 2) << "the status row stays";

  // Sixteen channels light Apply only with a mark or a route of the input, and send only marks.
  MatrixPresenter& sixteen = Open(kSixteenChannelType, StatusReply(kSixteenChannelType, {}));
  sixteen.SelectInput(12);
  sixteen.Apply();
  EXPECT_EQ(sixteen.ActiveAction(), MatrixAction::None);
  controller.Session().Matrix().routeTable[6] = 12;
  sixteen.Apply();
  EXPECT_EQ(sixteen.ActiveAction(), MatrixAction::Apply);
  EXPECT_TRUE(link.sent.empty());
  Mark(sixteen, 12, {9, 10, 16});
  sixteen.Apply();
  EXPECT_EQ(LastText(), "12V9,10,16.");
  EXPECT_EQ(sixteen.StatusShown(16), 12);
}

TEST_F(MatrixPanelRules, OneToAllAndOneToOne) {
  MatrixPresenter& sixteen = Open(kSixteenChannelType, StatusReply(kSixteenChannelType, {}));
  sixteen.SelectInput(16);
  sixteen.OneToAll();
  EXPECT_EQ(LastText(), "16All.");
  for (int o = 1; o <= 16; ++o) {
    EXPECT_TRUE(sixteen.OutputLit(o));
    EXPECT_EQ(sixteen.StatusShown(o), 16);
  }
  EXPECT_EQ(sixteen.ActiveAction(), MatrixAction::OneToAll);

  MatrixPresenter& eight = Open(kEightChannelType, StatusReply(kEightChannelType, {}));
  eight.OneToAll();
  EXPECT_TRUE(link.sent.empty()) << "no input, no route to all";
  eight.SelectInput(2);
  eight.OneToOne();
  EXPECT_EQ(LastText(), "All#.");
  EXPECT_EQ(controller.Session().Matrix().selectedInput, 0);
  for (int o = 1; o <= 8; ++o) {
    EXPECT_FALSE(eight.OutputLit(o));
    EXPECT_EQ(eight.StatusShown(o), o);
  }
  EXPECT_EQ(eight.ActiveAction(), MatrixAction::OneToOne);
}

TEST_F(MatrixPanelRules, OpeningShowsTheSwitchersStatusBacklightAndLock) {
  controller.Session().Matrix().statusTable[1] = 6;
  MatrixPresenter& matrix =
      Open(kSixteenChannelType, StatusReply(kSixteenChannelType, {3, 0, 17}, 1, 6),
           BacklightReply(2, 55));
  EXPECT_EQ(matrix.StatusShown(1), 3);
  EXPECT_EQ(matrix.StatusShown(2), 0) << "0 and 17 tell nothing: the grey numbers stay";
  EXPECT_EQ(matrix.StatusShown(3), 0);
  EXPECT_EQ(matrix.OutputFormatItem(), 13) << "code 6 is 720p50";
  EXPECT_EQ(matrix.BacklightTimeItem(), 2);
  EXPECT_EQ(matrix.Brightness(), 55);
  EXPECT_EQ(observer.calls.back(), "LockStateChanged 1");
  EXPECT_FALSE(matrix.OutputFormatEnabled()) << "no device reported the model name";
  EXPECT_GT(panel.shown, 0);

  // Unanswered: the old tables show, and a reopened panel starts with no input.
  controller.Session().SetLockState(0);
  matrix.SelectInput(5);
  matrix.ToggleOutput(7);
  matrix.Apply();
  MatrixPresenter& reopened = Open(kSixteenChannelType, Bytes{});
  EXPECT_EQ(reopened.ActiveAction(), MatrixAction::None) << "its buttons open unlit";
  EXPECT_EQ(reopened.StatusShown(1), 3);
  EXPECT_EQ(reopened.BacklightTimeItem(), 2) << "sixteen channels keep the last backlight";
  EXPECT_EQ(controller.Session().Matrix().selectedInput, 0);
  EXPECT_FALSE(reopened.InputLit(5));
  EXPECT_EQ(controller.Session().Matrix().pendingMarks[6], 5)
      << "marks are kept until the next choice";
  reopened.SelectInput(5);
  EXPECT_TRUE(reopened.InputLit(5));
  EXPECT_EQ(Open(kEightChannelType, Bytes{}).Brightness(), 0) << "eight channels start at 0";
}

TEST_F(MatrixPanelRules, TheFormatListOfAModelSwitcherSendsTheDeviceCode) {
  DeviceEntry entry;
  entry.DeviceType = kSixteenChannelType;
  entry.DeviceAddress = 1;
  entry.ModelMatch = 1;
  ASSERT_TRUE(controller.Devices().Record({entry, "KVT2208Z_127.0.0.1"}));
  controller.Devices().SetSelectedIndex(0);
  MatrixPresenter& matrix = Open(kSixteenChannelType, StatusReply(kSixteenChannelType, {}));
  EXPECT_TRUE(matrix.OutputFormatEnabled());
  matrix.ChooseOutputFormat(13);
  EXPECT_EQ(Sent().back(), (std::vector<int>{MatrixCode::SetMatrixOutputFormat, 0x00, 6}));
  Mark(matrix, 1, {1});
  matrix.Apply();
  EXPECT_EQ(matrix.OutputFormatItem(), 13);
}

TEST_F(MatrixPanelRules, BrightnessIsSentOnceWhenTheMouseLetsGo) {
  MatrixPresenter& matrix = Open(kEightChannelType, StatusReply(kEightChannelType, {}));
  diagnostics.str("");
  for (int position = 1; position <= 40; ++position) {
    matrix.MoveBrightness(position);
  }
  EXPECT_TRUE(link.sent.empty());
  EXPECT_EQ(matrix.Brightness(), 40);
  matrix.ReleaseBrightness(50);
  EXPECT_EQ(Sent(), (std::vector<std::vector<int>>{{MatrixCode::SetBacklightBrightness, 50}}));
  EXPECT_EQ(diagnostics.str(), "send data is 50 \n");
  matrix.ChooseBacklightTime(4);
  EXPECT_EQ(Sent().back(), (std::vector<int>{MatrixCode::SetBacklightTime, 4}));
}

TEST_F(MatrixPanelRules, LockedTheOperatorChangesNothingAndSendsNothing) {
  MatrixPresenter& matrix =
      Open(kSixteenChannelType, StatusReply(kSixteenChannelType, {}), BacklightReply(1, 30));
  Mark(matrix, 2, {3});
  controller.Session().SetLockState(1);
  const MatrixState before = controller.Session().Matrix();
  matrix.SelectInput(4);
  matrix.ToggleOutput(5);
  matrix.Apply();
  matrix.OneToAll();
  matrix.OneToOne();
  EXPECT_FALSE(matrix.Refresh([] { ADD_FAILURE() << "refused: nothing queried"; }));
  matrix.ChooseBacklightTime(4);
  matrix.ChooseOutputFormat(2);
  matrix.MoveBrightness(90);
  EXPECT_EQ(matrix.Brightness(), 90) << "the track bar still moves";
  matrix.ReleaseBrightness(90);
  EXPECT_TRUE(link.sent.empty());
  EXPECT_EQ(matrix.Brightness(), 30) << "and goes back to what the switcher has";
  const MatrixState& after = controller.Session().Matrix();
  EXPECT_EQ(after.selectedInput, before.selectedInput);
  EXPECT_EQ(after.pendingMarks, before.pendingMarks);
  EXPECT_EQ(after.activeAction, before.activeAction);
  EXPECT_EQ(matrix.BacklightTimeItem(), 1) << "the list shows the stored choice again";
  EXPECT_EQ(matrix.OutputFormatItem(), 0);
  EXPECT_FALSE(matrix.RefreshLit());
}

TEST_F(MatrixPanelRules, RefreshLightsAndReadsTheStatusAgain) {
  MatrixPresenter& matrix = Open(kEightChannelType, StatusReply(kEightChannelType, {}));
  link.arrivals = {StatusReply(kEightChannelType, {8, 7})};
  const int shownBefore = panel.shown;
  int shownWhenQueried = 0;
  EXPECT_TRUE(matrix.Refresh([&] { shownWhenQueried = panel.shown; }));
  EXPECT_TRUE(matrix.RefreshLit());
  EXPECT_GE(shownWhenQueried, shownBefore + 2) << "lit before the query, the rows after it";
  EXPECT_EQ(matrix.StatusShown(2), 7);
  matrix.RefreshEnded();
  EXPECT_FALSE(matrix.RefreshLit());

  // On a serial line whose port is closed, only the light changes.
  controller.SetLinkKind(LinkKind::Serial);
  controller.UseLink(nullptr);
  controller.Session().Matrix().statusTable[0] = 4;
  EXPECT_TRUE(matrix.Refresh({}));
  EXPECT_EQ(matrix.StatusShown(1), 8);
  EXPECT_TRUE(matrix.RefreshLit());
}

}  // namespace
}  // namespace quintara
