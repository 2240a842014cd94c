// The windows' control tables and the factory that builds them.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <set>
#include <utility>
#include <vector>

#include "support/GuiApp.h"
#include "ui/app/LinkSettingsControls.h"
#include "ui/app/MainWindowControls.h"
#include "ui/controls/ColourButton.h"
#include "ui/controls/LimitedEdit.h"
#include "ui/controls/ShadeButton.h"
#include "ui/form/ControlFactory.h"
#include "ui/matrix/Matrix16PanelControls.h"
#include "ui/matrix/Matrix8PanelControls.h"
#include "ui/skin/Skin.h"
#include "ui/viewer/MultiviewerPanelControls.h"
#include "ui/viewer/pages/AudioPageControls.h"
#include "ui/viewer/pages/ColourPageControls.h"
#include "ui/viewer/pages/ModePageControls.h"
#include "ui/viewer/pages/SwitcherPageControls.h"
#include "ui/viewer/pages/SystemPageControls.h"
#include "ui/viewer/pages/UmdPageControls.h"

namespace quintara::ui {
namespace {

// Every window's table. A new window is covered by adding its table here.
std::vector<std::pair<const char*, ControlTable>> AllTables() {
  return {
      {"main window", MainWindowControls()},
      {"link settings dialog", LinkSettingsControls()},
      {"multiviewer panel", MultiviewerPanelControls()},
      {"Mode page", ModePageControls()},
      {"Switcher page", SwitcherPageControls()},
      {"Audio page", AudioPageControls()},
      {"Colour page", ColourPageControls()},
      {"System page", SystemPageControls()},
      {"UMD page", UmdPageControls()},
      {"eight-channel matrix panel", Matrix8PanelControls(96)},
      {"eight-channel matrix panel above 120 dpi", Matrix8PanelControls(144)},
      {"sixteen-channel matrix panel", Matrix16PanelControls()},
  };
}

const ControlColours kColours{{QColor(1, 2, 3), QColor(4, 5, 6)},
                              {QColor(7, 8, 9), QColor(10, 11, 12)}};

TEST(ControlTables, EveryControlSitsWhereItsTableSays) {
  test::GuiApp();
  // Unequal dpis catch an x scaled by the vertical dpi or a y by the horizontal one.
  const DpiScale scales[] = {{96, 96}, {144, 144}, {144, 120}};
  for (const auto& [window, table] : AllTables()) {
    for (const DpiScale& scale : scales) {
      SCOPED_TRACE(testing::Message() << window << " at " << scale.dpiX << " x " << scale.dpiY);
      QWidget parent;
      const ControlSet built = BuildControls(table, kColours, parent, scale);
      std::set<int> ids;
      for (const ControlRow& row : table) {
        SCOPED_TRACE(row.id);
        EXPECT_TRUE(ids.insert(row.id).second) << "the id is used twice";
        const QWidget* control = built.Find(row.id);
        ASSERT_NE(control, nullptr);
        const QRect& r = row.rect;
        const bool pixels = row.size == Sizing::Pixels;
        const bool pixelHeight = pixels || row.size == Sizing::PixelHeight;
        const QRect expected(r.x() * scale.dpiX / 96, r.y() * scale.dpiY / 96,
                             pixels ? r.width() : r.width() * scale.dpiX / 96,
                             pixelHeight ? r.height() : r.height() * scale.dpiY / 96);
        EXPECT_EQ(control->geometry(), expected);
        if (row.kind == ControlKind::ShadeButton) {
          // Bitmap buttons keep their bitmaps' pixel size at every dpi.
          EXPECT_TRUE(pixels);
          EXPECT_TRUE(Skin::Has(row.bitmap));
          EXPECT_TRUE(row.activeBitmap == 0 || Skin::Has(row.activeBitmap));
        }
      }
      EXPECT_EQ(parent.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(),
                static_cast<qsizetype>(table.size()));
    }
  }
}

TEST(ControlTables, TheAudioAndColourListsAreTwentyPixelsHighAtEveryDpi) {
  test::GuiApp();
  for (const ControlTable table : {AudioPageControls(), ColourPageControls()}) {
    QWidget parent;
    const ControlSet built = BuildControls(table, kColours, parent, DpiScale{144, 144});
    for (const ControlRow& row : table) {
      if (row.kind == ControlKind::DropDownList) {
        EXPECT_EQ(built.Find(row.id)->height(), 20) << row.id;
        EXPECT_EQ(built.Find(row.id)->width(), row.rect.width() * 3 / 2) << row.id;
      }
    }
  }
}

TEST(ControlTables, TheMainWindowsButtonsSayWhatTheyDo) {
  test::GuiApp();
  QWidget parent;
  const ControlSet built = BuildControls(MainWindowControls(), kColours, parent, DpiScale{});
  for (const ControlRow& row : MainWindowControls()) {
    if (row.kind == ControlKind::ShadeButton || row.kind == ControlKind::ColourButton) {
      EXPECT_FALSE(built.Find(row.id)->toolTip().isEmpty()) << row.id;
    }
  }
}

TEST(ControlTables, TheEightChannelActionsMoveRightAbove120Dpi) {
  const auto applyX = [](int dpiX) {
    for (const ControlRow& row : Matrix8PanelControls(dpiX)) {
      if (row.id == Matrix8PanelId::Apply) {
        return DpiScale{dpiX, dpiX}.X(row.rect.x());
      }
    }
    return -1;
  };
  EXPECT_EQ(applyX(96), 640);
  EXPECT_EQ(applyX(120), 800);
  EXPECT_EQ(applyX(144), 975);
}

TEST(ControlFactory, BuildsEachKindWithTheWindowsLooks) {
  test::GuiApp();
  const ControlRow table[] = {
      {.id = 1, .kind = ControlKind::FocusSink, .rect = {0, 0, 1, 1}, .size = Sizing::Pixels},
      {.id = 2,
       .kind = ControlKind::ShadeButton,
       .rect = {10, 10, 180, 40},
       .size = Sizing::Pixels,
       .bitmap = SkinId::Connect,
       .activeBitmap = SkinId::Disconnect},
      {.id = 3, .kind = ControlKind::ColourButton, .rect = {10, 60, 40, 35}, .caption = "x"},
      {.id = 4, .kind = ControlKind::DropDownList, .rect = {10, 100, 170, 20}},
      {.id = 5, .kind = ControlKind::Edit, .rect = {10, 130, 170, 20}, .caption = "Umd_01"},
      {.id = 6, .kind = ControlKind::LimitedEdit, .rect = {10, 160, 170, 20}, .hidden = true},
      {.id = 7, .kind = ControlKind::AddressEdit, .rect = {10, 190, 150, 22}},
      {.id = 8, .kind = ControlKind::StaticLabel, .rect = {10, 220, 140, 20}, .caption = "Ready"},
      {.id = 9, .kind = ControlKind::Area, .rect = {10, 250, 100, 100}},
      {.id = 10, .kind = ControlKind::TrackBar, .rect = {10, 360, 130, 30}},
      {.id = 11, .kind = ControlKind::ReadOnlyEdit, .rect = {150, 360, 35, 20}},
  };
  QWidget parent;
  const QColor parentBase = parent.palette().color(QPalette::Base);
  const ControlSet built = BuildControls(table, kColours, parent, {96, 96});
  EXPECT_EQ(built.Find(12), nullptr);
  EXPECT_EQ(built.Get<QComboBox>(2), nullptr);  // an id of another kind

  auto* sink = built.Get<QLineEdit>(1);
  ASSERT_NE(sink, nullptr);
  EXPECT_EQ(parent.children().front(), sink);  // under everything built after it
  EXPECT_EQ(sink->palette().color(QPalette::Base), parentBase);

  auto* button = built.Get<ShadeButton>(2);
  ASSERT_NE(button, nullptr);
  EXPECT_FALSE(button->HasFlatBorder());
  EXPECT_EQ(button->Bitmap().toImage(), Skin::Bitmap(SkinId::Connect).toImage());
  button->ShowActive(true);
  EXPECT_EQ(button->Bitmap().toImage(), Skin::Bitmap(SkinId::Disconnect).toImage());
  button->ShowActive(false);
  EXPECT_EQ(button->Bitmap().toImage(), Skin::Bitmap(SkinId::Connect).toImage());

  auto* colourButton = built.Get<ColourButton>(3);
  ASSERT_NE(colourButton, nullptr);
  EXPECT_EQ(colourButton->text(), "x");
  EXPECT_EQ(colourButton->TextColour(), QColor(110, 187, 105));

  auto* list = built.Get<QComboBox>(4);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->palette().color(QPalette::ButtonText), kColours.fields.text);
  EXPECT_EQ(list->palette().color(QPalette::Button), kColours.fields.background);

  auto* edit = built.Get<QLineEdit>(5);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->text(), "Umd_01");
  EXPECT_EQ(edit->palette().color(QPalette::Text), kColours.fields.text);
  EXPECT_EQ(edit->palette().color(QPalette::Base), kColours.fields.background);

  ASSERT_NE(built.Get<LimitedEdit>(6), nullptr);
  EXPECT_TRUE(built.Find(6)->isHidden());

  auto* address = built.Get<QLineEdit>(7);
  ASSERT_NE(address, nullptr);
  ASSERT_NE(address->validator(), nullptr);
  QString typed = QStringLiteral("192.168.1.50");
  int at = 0;
  EXPECT_EQ(address->validator()->validate(typed, at), QValidator::Acceptable);
  typed = QStringLiteral("192.168.1.256");
  EXPECT_EQ(address->validator()->validate(typed, at), QValidator::Invalid);

  auto* label = built.Get<QLabel>(8);
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), "Ready");
  EXPECT_TRUE(label->autoFillBackground());
  EXPECT_EQ(label->palette().color(QPalette::WindowText), kColours.labels.text);
  EXPECT_EQ(label->palette().color(QPalette::Window), kColours.labels.background);

  label->setEnabled(false);
  EXPECT_NE(label->palette().color(QPalette::Disabled, QPalette::WindowText), kColours.labels.text)
      << "a disabled label looks disabled";

  EXPECT_TRUE(built.Find(9)->isHidden());
  auto* bar = built.Get<QSlider>(10);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->orientation(), Qt::Horizontal);
  auto* readOnly = built.Get<QLineEdit>(11);
  ASSERT_NE(readOnly, nullptr);
  EXPECT_TRUE(readOnly->isReadOnly());
}

}  // namespace
}  // namespace quintara::ui
