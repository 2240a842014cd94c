// The matrix switchers' panels in the main window, against the simulated switchers.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <string>

#include "core/matrix/MatrixCommands.h"
#include "gui/PanelFixture.h"
#include "ui/controls/ShadeButton.h"
#include "ui/matrix/Matrix16Panel.h"
#include "ui/matrix/Matrix16PanelControls.h"
#include "ui/matrix/Matrix8Panel.h"
#include "ui/matrix/Matrix8PanelControls.h"

namespace quintara::ui {
namespace {

using test::SimulatedLan;

class MatrixPanelTest : public test::PanelFixture {
 protected:
  using PanelFixture::PanelFixture;
  template <class T>
  T* OpenMatrix(const Ipv4Address& address) {
    Search();
    Choose(address);
    return qobject_cast<T*>(window->DevicePanel());
  }
  static void Click(const MatrixPanel& panel, int id) {
    QTest::mouseClick(panel.Controls().Find(id), Qt::LeftButton);
  }
  // The text the switcher received last.
  static std::string LastText(const sim::SimDevice& device) {
    const auto received = device.Received();
    return received.empty()
               ? ""
               : std::string(received.back().bytes.begin(), received.back().bytes.end());
  }
};

TEST_F(MatrixPanelTest, EightChannelsRouteMarkedOutputsAndShowTheirStatus) {
  auto* panel = OpenMatrix<Matrix8Panel>(SimulatedLan::kMatrix8);
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->Controls().Find(Matrix8PanelId::Apply)->x(), 640);
  using namespace Matrix8PanelId;
  Click(*panel, Input(3));
  Click(*panel, Output(1));
  Click(*panel, Output(4));
  Click(*panel, Apply);
  ASSERT_TRUE(Await([this] { return lan.matrix8->State().routes.at(3) == 3; }));
  EXPECT_EQ(LastText(*lan.matrix8), "3V1,4.");
  EXPECT_EQ(lan.matrix8->State().routes.at(1), 2) << "output 2 keeps its input";
  // Status 1 and 4 show the green 3 that input 3 shows while chosen.
  const QImage greenThree = panel->Button(Input(3))->Bitmap().toImage();
  EXPECT_TRUE(panel->Button(Input(3))->ShowsActive());
  EXPECT_EQ(panel->Button(Status(1))->Bitmap().toImage(), greenThree);
  EXPECT_EQ(panel->Button(Status(4))->Bitmap().toImage(), greenThree);
  EXPECT_TRUE(panel->Button(Output(1))->ShowsActive());
  EXPECT_TRUE(panel->Button(Apply)->ShowsActive());
  EXPECT_FALSE(panel->Button(OneToOne)->ShowsActive());

  // One to one: every output fed by its own input, no input chosen.
  Click(*panel, OneToOne);
  ASSERT_TRUE(Await([this] { return lan.matrix8->State().routes.at(3) == 4; }));
  EXPECT_EQ(LastText(*lan.matrix8), "All#.");
  EXPECT_FALSE(panel->Button(Input(3))->ShowsActive());
  EXPECT_FALSE(panel->Button(Output(1))->ShowsActive());
}

TEST_F(MatrixPanelTest, RefreshShowsTheSwitchersOwnState) {
  auto* panel = OpenMatrix<Matrix16Panel>(SimulatedLan::kMatrix16);
  ASSERT_NE(panel, nullptr);
  using namespace Matrix16PanelId;
  ASSERT_TRUE(lan.matrix16->Route(12, 9));  // from the switcher's own front panel
  Click(*panel, Refresh);
  EXPECT_TRUE(panel->Button(Refresh)->ShowsActive()) << "lit while it asks";
  ASSERT_TRUE(AwaitIdle());
  EXPECT_TRUE(panel->Button(Refresh)->ShowsActive()) << "and for two seconds after";
  EXPECT_EQ(panel->Presenter().StatusShown(9), 12);
  Click(*panel, Input(12));
  EXPECT_EQ(panel->Button(Status(9))->Bitmap().toImage(),
            panel->Button(Input(12))->Bitmap().toImage());

  Click(*panel, OneToAll);
  ASSERT_TRUE(Await([this] { return lan.matrix16->State().routes.at(15) == 12; }));
  EXPECT_EQ(LastText(*lan.matrix16), "12All.");
  for (int n = 1; n <= 16; ++n) {
    EXPECT_TRUE(panel->Button(Output(n))->ShowsActive()) << n;
  }
}

TEST_F(MatrixPanelTest, SixteenChannelsShowTheFormatDisabledForAnotherModel) {
  auto* panel = OpenMatrix<Matrix16Panel>(SimulatedLan::kMatrix16);
  ASSERT_NE(panel, nullptr);
  QComboBox* formats = panel->List(Matrix16PanelId::OutputFormat);
  EXPECT_FALSE(formats->isEnabled()) << "MATRIX16 is not the model name";
  EXPECT_FALSE(panel->Controls().Find(Matrix16PanelId::OutputFormatLabel)->isEnabled());
  EXPECT_EQ(formats->currentText(), QStringLiteral("1080p60")) << "still shows the device's";
  EXPECT_EQ(formats->count(), 21);
  EXPECT_EQ(panel->List(Matrix16PanelId::BacklightTime)->currentText(),
            QStringLiteral("Always On"));
  EXPECT_EQ(panel->BrightnessText()->text(), QStringLiteral("80%"));
}

class ModelMatrixPanelTest : public MatrixPanelTest {
 protected:
  ModelMatrixPanelTest() : MatrixPanelTest("KVT2208Z") {}
};

TEST_F(ModelMatrixPanelTest, SixteenChannelsOfTheFamilysModelTakeAnOutputFormat) {
  auto* panel = OpenMatrix<Matrix16Panel>(SimulatedLan::kMatrix16);
  ASSERT_NE(panel, nullptr);
  QComboBox* formats = panel->List(Matrix16PanelId::OutputFormat);
  EXPECT_TRUE(formats->isEnabled());
  EXPECT_TRUE(panel->Controls().Find(Matrix16PanelId::OutputFormatLabel)->isEnabled());
  test::Pick(formats, 4);
  EXPECT_TRUE(
      Await([this] { return lan.matrix16->State().OutputFormat == MatrixFormatTable[4].code; }));
}

TEST_F(MatrixPanelTest, BrightnessGoesOutOnceWhenTheMouseLetsGo) {
  auto* panel = OpenMatrix<Matrix8Panel>(SimulatedLan::kMatrix8);
  ASSERT_NE(panel, nullptr);
  QSlider* bar = panel->BrightnessBar();
  bar->setFocus();
  QTest::keyClick(bar, Qt::Key_Left);
  QTest::keyClick(bar, Qt::Key_Left);
  EXPECT_EQ(panel->BrightnessText()->text(), QStringLiteral("78%"));
  // Drags the handle to the middle of the bar.
  QStyleOptionSlider option;
  option.initFrom(bar);
  option.orientation = bar->orientation();
  option.minimum = bar->minimum();
  option.maximum = bar->maximum();
  option.sliderPosition = bar->value();
  option.tickPosition = bar->tickPosition();
  const QPoint handle =
      bar->style()
          ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, bar)
          .center();
  QTest::mousePress(bar, Qt::LeftButton, {}, handle);
  QTest::mouseMove(bar, QPoint(bar->width() / 2, handle.y()));
  EXPECT_TRUE(lan.matrix8->ReceivedFrames(MatrixCode::SetBacklightBrightness).empty())
      << "nothing while the keyboard moves it or the mouse holds it";
  QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, handle.y()));
  ASSERT_TRUE(lan.matrix8->WaitForFrames(MatrixCode::SetBacklightBrightness, 1, test::kPatience));
  ASSERT_TRUE(AwaitEverythingSent(*lan.matrix8));
  EXPECT_EQ(lan.matrix8->ReceivedFrames(MatrixCode::SetBacklightBrightness).size(), 1U);
  EXPECT_EQ(lan.matrix8->State().BacklightBrightness, bar->value());
  EXPECT_NE(bar->value(), 78);
}

TEST_F(MatrixPanelTest, LockedThePanelIgnoresTheOperator) {
  auto* panel = OpenMatrix<Matrix8Panel>(SimulatedLan::kMatrix8);
  ASSERT_NE(panel, nullptr);
  QTest::mouseClick(window->Controls().Find(MainWindowId::Lock), Qt::LeftButton);
  ASSERT_TRUE(Await([this] { return lan.matrix8->State().LockState == 1; }));
  using namespace Matrix8PanelId;
  Click(*panel, Input(2));
  Click(*panel, OneToOne);
  test::Pick(panel->List(BacklightTime), 0);
  EXPECT_FALSE(panel->Button(Input(2))->ShowsActive());
  EXPECT_FALSE(panel->Button(OneToOne)->ShowsActive());
  EXPECT_EQ(panel->List(BacklightTime)->currentText(), QStringLiteral("Always On"))
      << "a refused choice does not stay on show";
  ASSERT_TRUE(AwaitEverythingSent(*lan.matrix8));
  EXPECT_TRUE(lan.matrix8->ReceivedFrames(MatrixCode::SetBacklightTime).empty());
  EXPECT_EQ(LastText(*lan.matrix8).size(), 21U) << "only the SetLock frame arrived";
  EXPECT_EQ(StatusLine(), "Locked: unlock to make changes");
}

TEST_F(MatrixPanelTest, AnUnansweredRefreshKeepsTheTablesAndDropsInputMeanwhile) {
  auto* panel = OpenMatrix<Matrix8Panel>(SimulatedLan::kMatrix8);
  ASSERT_NE(panel, nullptr);
  using namespace Matrix8PanelId;
  const std::uint8_t fedBefore = panel->Presenter().StatusShown(5);
  lan.server.Stop();
  int ticks = 0;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
  ticker.start(20);
  QTimer::singleShot(100, [panel] { Click(*panel, Input(6)); });
  Click(*panel, Refresh);
  ASSERT_TRUE(AwaitIdle());
  EXPECT_GE(ticks, 10) << "the window's thread went on while the query waited";
  EXPECT_GE(window->Runner().DroppedInput(), 1);
  EXPECT_FALSE(panel->Button(Input(6))->ShowsActive()) << "dropped, not replayed";
  EXPECT_EQ(panel->Presenter().StatusShown(5), fedBefore);
  EXPECT_EQ(StatusLine(), "No answer from MATRIX8_127.0.0.32");
  EXPECT_TRUE(panel->isEnabled());
  Click(*panel, Input(6));
  EXPECT_TRUE(panel->Button(Input(6))->ShowsActive()) << "usable again";
}

TEST_F(MatrixPanelTest, EachDevicesPanelOpensAndClosesCleanly) {
  for (int round = 0; round < 2; ++round) {
    Search();
    Choose(SimulatedLan::kMultiviewer);
    ASSERT_NE(Panel(), nullptr);
    Choose(SimulatedLan::kMatrix8);
    ASSERT_NE(qobject_cast<Matrix8Panel*>(window->DevicePanel()), nullptr);
    Choose(SimulatedLan::kMatrix16);
    ASSERT_NE(qobject_cast<Matrix16Panel*>(window->DevicePanel()), nullptr);
    Choose(SimulatedLan::kMultiviewer);
    ASSERT_NE(Panel(), nullptr);
    EXPECT_EQ(window->findChildren<MatrixPanel*>().size(), 0);
  }
}

}  // namespace
}  // namespace quintara::ui
