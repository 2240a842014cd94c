#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <tuple>
#include <vector>

#include "support/GuiApp.h"
#include "ui/skin/Skin.h"

namespace quintara::ui {
namespace {

const int kButtons[] = {SkinId::LockOpen,   SkinId::Search,  SkinId::LinkSettings,
                        SkinId::LockClosed, SkinId::Connect, SkinId::Disconnect,
                        SkinId::Apply};

int BlackPixels(const QImage& image) {
  int black = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      black += (image.pixel(x, y) & 0xFFFFFF) == 0;
    }
  }
  return black;
}

// Pixels whose colour leans to the skin's green rather than grey.
int GreenPixels(const QImage& image, QRect area) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb c = image.pixel(x, y);
      count += qGreen(c) > qRed(c) + 40 && qGreen(c) > qBlue(c) + 40;
    }
  }
  return count;
}

TEST(SkinTest, EveryIdHasItsSizeAndIsDrawnOnce) {
  test::GuiApp();
  const std::pair<int, QSize> stated[] = {{SkinId::Icon, {32, 32}},
                                          {SkinId::MainBackground, {1280, 720}},
                                          {SkinId::LockOpen, {70, 37}},
                                          {SkinId::Search, {135, 35}},
                                          {SkinId::LinkSettings, {134, 38}},
                                          {SkinId::LockClosed, {70, 37}},
                                          {SkinId::SettingsBackground, {440, 486}},
                                          {SkinId::Connect, {180, 40}},
                                          {SkinId::Disconnect, {180, 40}},
                                          {SkinId::Apply, {180, 40}}};
  for (const auto& [id, size] : stated) {
    SCOPED_TRACE(id);
    EXPECT_TRUE(Skin::Has(id));
    EXPECT_EQ(Skin::BitmapSize(id), size);
    const QPixmap& first = Skin::Bitmap(id);
    EXPECT_EQ(first.size(), size);
    EXPECT_EQ(&Skin::Bitmap(id), &first);
    EXPECT_EQ(Skin::Bitmap(id).cacheKey(), first.cacheKey());
  }
  const QList<QSize> iconSizes = Skin::WindowIcon().availableSizes();
  for (const int side : {16, 32, 48}) {
    EXPECT_TRUE(iconSizes.contains(QSize(side, side))) << side;
  }

  // Unknown ids draw nothing rather than a wrong picture.
  EXPECT_FALSE(Skin::Has(130));
  EXPECT_FALSE(Skin::BitmapSize(130).isValid());
  EXPECT_TRUE(Skin::Bitmap(130).isNull());
}

TEST(SkinTest, ButtonsHaveNoBlackAndTheLockIsGreenOnlyWhenClosed) {
  test::GuiApp();
  for (const int id : kButtons) {
    EXPECT_EQ(BlackPixels(Skin::Bitmap(id).toImage()), 0) << id;
  }
  const QImage open = Skin::Bitmap(SkinId::LockOpen).toImage();
  const QImage closed = Skin::Bitmap(SkinId::LockClosed).toImage();
  EXPECT_EQ(GreenPixels(open, open.rect()), 0);
  EXPECT_GT(GreenPixels(closed, closed.rect()), 200);
  EXPECT_EQ(closed.pixelColor(35, 28), QColor(110, 187, 105));  // solid body under the keyhole
}

TEST(SkinTest, SettingsBackgroundLabelsEveryRowLeftOfItsField) {
  test::GuiApp();
  const QImage image = Skin::Bitmap(SkinId::SettingsBackground).toImage();
  for (const int row : {30, 80, 130, 250, 300}) {
    int bright = 0;
    for (int y = row; y < row + 20; ++y) {
      for (int x = 10; x < 175; ++x) {
        bright += qGray(image.pixel(x, y)) > 150;
      }
    }
    EXPECT_GT(bright, 20) << "row " << row;
  }
  // The fields' own column stays plain.
  EXPECT_EQ(image.pixelColor(260, 90), image.pixelColor(260, 40));
}

TEST(SkinTest, PanelIdsHaveTheirSizesAndNoTransparentBlack) {
  test::GuiApp();
  std::vector<std::pair<int, QSize>> stated = {{SkinId::PanelBackground, {1280, 585}},
                                               {SkinId::ModeBackground, {490, 420}},
                                               {SkinId::SwitcherBackground, {490, 420}},
                                               {SkinId::OneToOne, {191, 117}},
                                               {SkinId::AudioTab, {65, 80}},
                                               {SkinId::ColoursTab, {65, 80}},
                                               {SkinId::ControlsTab, {75, 80}},
                                               {SkinId::LayoutTab, {65, 80}},
                                               {SkinId::SwitcherTab, {70, 80}},
                                               {SkinId::UmdTab, {95, 80}}};
  // The selected tabs follow their normal ids, at the same size.
  for (std::size_t i = 4; i < 10; ++i) {
    const auto [id, size] = stated[i];
    stated.emplace_back(id + 1, size);
  }
  for (int n = 1; n <= 16; ++n) {
    stated.emplace_back(SkinId::SingleLayout(n), QSize(70, 45));
    stated.emplace_back(SkinId::SingleLayoutSelected(n), QSize(70, 45));
  }
  for (const SkinId::LayoutPicture& picture : SkinId::kLayoutPictures) {
    stated.emplace_back(picture.normal, QSize(picture.width, picture.height));
    stated.emplace_back(picture.selected, QSize(picture.width, picture.height));
  }
  // The matrix panels.
  for (const auto& [id, size] :
       std::initializer_list<std::pair<int, QSize>>{{SkinId::Matrix8Background, {1280, 566}},
                                                    {SkinId::Matrix16Background, {1240, 558}},
                                                    {SkinId::MatrixOneToAll, {190, 39}},
                                                    {SkinId::MatrixOneToAllLit, {190, 39}},
                                                    {SkinId::MatrixOneToOne, {190, 37}},
                                                    {SkinId::MatrixOneToOneLit, {190, 37}},
                                                    {SkinId::MatrixApply, {110, 45}},
                                                    {SkinId::MatrixApplyLit, {110, 45}},
                                                    {SkinId::MatrixRefresh, {110, 37}},
                                                    {SkinId::MatrixRefreshLit, {110, 37}}}) {
    stated.emplace_back(id, size);
  }
  for (int n = 1; n <= 16; ++n) {
    if (n <= 8) {
      stated.emplace_back(SkinId::Matrix8Number(n), QSize(65, 60));
      stated.emplace_back(SkinId::Matrix8NumberLit(n), QSize(65, 60));
    }
    stated.emplace_back(SkinId::Matrix16Number(n), QSize(70, 63));
    stated.emplace_back(SkinId::Matrix16NumberLit(n), QSize(70, 63));
  }
  for (const auto& [id, size] : stated) {
    SCOPED_TRACE(id);
    EXPECT_EQ(Skin::BitmapSize(id), size);
    const QImage image = Skin::Bitmap(id).toImage();
    EXPECT_EQ(image.size(), size);
    // Black would turn into holes in a bitmap button.
    EXPECT_EQ(BlackPixels(image), 0);
  }
}

TEST(SkinTest, SelectedLooksAreGreenAndNormalOnesAreNot) {
  test::GuiApp();
  const std::pair<int, int> pairs[] = {
      {SkinId::LayoutTab, SkinId::LayoutTab + 1},
      {SkinId::UmdTab, SkinId::UmdTab + 1},
      {SkinId::SingleLayout(7), SkinId::SingleLayoutSelected(7)},
      {SkinId::kLayoutPictures[0].normal, SkinId::kLayoutPictures[0].selected},
      {SkinId::MatrixOneToAll, SkinId::MatrixOneToAllLit},
      {SkinId::MatrixOneToOne, SkinId::MatrixOneToOneLit},
      {SkinId::MatrixApply, SkinId::MatrixApplyLit},
      {SkinId::MatrixRefresh, SkinId::MatrixRefreshLit}};
  std::vector<std::pair<int, int>> all(std::begin(pairs), std::end(pairs));
  for (int n = 1; n <= 16; ++n) {
    if (n <= 8) {
      all.emplace_back(SkinId::Matrix8Number(n), SkinId::Matrix8NumberLit(n));
    }
    all.emplace_back(SkinId::Matrix16Number(n), SkinId::Matrix16NumberLit(n));
  }
  for (const auto& [normalId, selectedId] : all) {
    const QImage normal = Skin::Bitmap(normalId).toImage();
    const QImage selected = Skin::Bitmap(selectedId).toImage();
    EXPECT_EQ(GreenPixels(normal, normal.rect()), 0) << normalId;
    EXPECT_GT(GreenPixels(selected, selected.rect()), 60) << selectedId;
  }
}

TEST(SkinTest, MatrixButtonsShowTheirOwnNumberAndKeepTheirPlateInACutView) {
  test::GuiApp();
  for (int n = 1; n < 16; ++n) {
    if (n < 8) {
      EXPECT_NE(Skin::Bitmap(SkinId::Matrix8Number(n)).toImage(),
                Skin::Bitmap(SkinId::Matrix8Number(n + 1)).toImage())
          << n;
    }
    EXPECT_NE(Skin::Bitmap(SkinId::Matrix16NumberLit(n)).toImage(),
              Skin::Bitmap(SkinId::Matrix16NumberLit(n + 1)).toImage())
        << n;
  }

  // The sixteen-channel panel shows Apply and Refresh through 100 x 32 buttons, cut evenly at the
  // edges (an odd excess either way round): the whole plate lies within the rows and columns
  // that stay in view, only ground outside them.
  const QColor ground(57, 60, 65);
  const QColor rim(80, 84, 90);
  for (const int id : {SkinId::MatrixApply, SkinId::MatrixApplyLit, SkinId::MatrixRefresh,
                       SkinId::MatrixRefreshLit}) {
    SCOPED_TRACE(id);
    const QImage image = Skin::Bitmap(id).toImage();
    const int excess = image.height() - 32;
    const QRect view(5, (excess + 1) / 2, 100, 32 - excess % 2);
    int outside = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        outside += !view.contains(x, y) && image.pixelColor(x, y) != ground;
      }
    }
    EXPECT_EQ(outside, 0);
    const int middle = image.height() / 2;
    EXPECT_EQ(image.pixelColor(view.left(), middle), rim);
    EXPECT_EQ(image.pixelColor(view.right(), middle), rim);
    EXPECT_EQ(image.pixelColor(image.width() / 2, view.top()), rim);
    EXPECT_EQ(image.pixelColor(image.width() / 2, view.bottom()), rim);
  }
}

// The panels' backgrounds are stretched over the 1240 x 540 panel: its controls, in panel units,
// must find only the plain panel grey under them, and each row's section its title above.
TEST(SkinTest, MatrixBackgroundsTitleTheRowsAndLeaveTheControlsPlain) {
  test::GuiApp();
  struct Panel {
    int id;
    int firstX;
    int pitch;
    QSize button;
    std::vector<int> rows;  // the button rows' tops, titled INPUT, OUTPUT, OUTPUT STATUS
    int channels;
    std::vector<QRect> others;
  };
  const Panel panels[] = {
      {SkinId::Matrix8Background,
       80,
       68,
       {65, 60},
       {105, 255, 405},
       8,
       {{640, 300, 120, 45},  // Apply, also where it stands at 144 dpi
        {640, 450, 110, 45},
        {950, 180, 190, 39},
        {950, 305, 190, 39},
        {950, 420, 180, 30},
        {950, 460, 130, 30},
        {1095, 460, 35, 20}}},
      {SkinId::Matrix16Background,
       40,
       72,
       {70, 63},
       {50, 190, 330},
       16,
       {{1000, 275, 100, 32},
        {1000, 420, 100, 32},
        {110, 480, 190, 39},
        {420, 480, 190, 39},
        {650, 480, 120, 50},  // label over list, each 120 x 20
        {820, 480, 120, 50},
        {1000, 480, 120, 20},
        {1000, 510, 160, 20},
        {1130, 480, 35, 20}}},
  };
  const QColor panelGrey(58, 58, 58);
  for (const Panel& panel : panels) {
    SCOPED_TRACE(panel.id);
    const QImage image = Skin::Bitmap(panel.id).toImage();
    const double sx = image.width() / 1240.0;
    const double sy = image.height() / 540.0;
    const auto inBitmap = [&](const QRect& r) {
      return QRectF(r.x() * sx, r.y() * sy, r.width() * sx, r.height() * sy).toAlignedRect();
    };
    const auto count = [&](const QRect& r, const auto& wanted) {
      const QRect area = inBitmap(r);
      int n = 0;
      for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
          n += wanted(image.pixelColor(x, y));
        }
      }
      return n;
    };
    const auto notPlain = [&](const QColor& c) { return c != panelGrey; };
    const auto bright = [](const QColor& c) { return qGray(c.rgb()) > 150; };

    std::vector<QRect> controls = panel.others;
    for (const int top : panel.rows) {
      for (int n = 0; n < panel.channels; ++n) {
        controls.emplace_back(panel.firstX + panel.pitch * n, top, panel.button.width(),
                              panel.button.height());
      }
      // The title stands left above the row's first button.
      EXPECT_GT(count(QRect(panel.firstX, top - 28, 120, 22), bright), 40) << top;
    }
    for (const QRect& control : controls) {
      EXPECT_EQ(count(control, notPlain), 0)
          << control.x() << "," << control.y() << " " << control.width() << "x" << control.height();
    }
  }
}

const SkinId::LayoutPicture& PictureOf(int layoutCode) {
  for (const SkinId::LayoutPicture& picture : SkinId::kLayoutPictures) {
    if (picture.layoutCode == layoutCode) {
      return picture;
    }
  }
  ADD_FAILURE() << "no picture for layout " << layoutCode;
  return SkinId::kLayoutPictures[0];
}

QColor CentreOf(int id) {
  const QImage image = Skin::Bitmap(id).toImage();
  return image.pixelColor(image.width() / 2, image.height() / 2);
}

TEST(SkinTest, LayoutPicturesFollowThePreviewGeometry) {
  test::GuiApp();
  const QColor idleGrey(150, 153, 158);
  const QColor plate(46, 49, 54);
  // Four touching windows meet at the canvas centre; with gaps, the centre falls between them.
  EXPECT_EQ(CentreOf(PictureOf(40).normal), idleGrey);
  EXPECT_EQ(CentreOf(PictureOf(41).normal), plate);
  // Layout 42 puts its clock there.
  EXPECT_EQ(CentreOf(PictureOf(42).normal), idleGrey);
  EXPECT_EQ(CentreOf(PictureOf(42).selected), QColor(110, 187, 105));

  // The wide, low buttons of the middle-row layouts are used across their width.
  const QImage eight = Skin::Bitmap(PictureOf(80).normal).toImage();
  int framed = 0;
  for (int x = 0; x < eight.width(); ++x) {
    framed += eight.pixelColor(x, eight.height() / 2) == idleGrey;
  }
  EXPECT_GE(framed, 8);  // the outer edges and the shared edges of the row's four windows
}

TEST(SkinTest, PageBackgroundsCaptionEveryListOnItsLeft) {
  test::GuiApp();
  for (const int id : {SkinId::ModeBackground, SkinId::SwitcherBackground}) {
    const QImage image = Skin::Bitmap(id).toImage();
    for (int w = 1; w <= 16; ++w) {
      const int top = 30 + 23 * (w - 1);
      int bright = 0;
      for (int y = top; y < top + 20; ++y) {
        for (int x = 315; x < 363; ++x) {
          bright += qGray(image.pixel(x, y)) > 150;
        }
      }
      EXPECT_GT(bright, 20) << id << " list " << w;
    }
    // The lists' own column stays plain.
    EXPECT_EQ(image.pixelColor(400, 40), image.pixelColor(400, 300)) << id;
  }
  const auto brightIn = [](const QImage& image, QRect area) {
    int bright = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
      for (int x = area.left(); x <= area.right(); ++x) {
        bright += qGray(image.pixel(x, y)) > 150;
      }
    }
    return bright;
  };
  const QRect pictureCaption(10, 25, 88, 20);
  EXPECT_GT(brightIn(Skin::Bitmap(SkinId::ModeBackground).toImage(), pictureCaption), 20);
  EXPECT_EQ(brightIn(Skin::Bitmap(SkinId::SwitcherBackground).toImage(), pictureCaption), 0);
}

TEST(SkinTest, AudioAndColourPagesHaveTheirSizesCaptionsAndTwoLooks) {
  test::GuiApp();
  const std::pair<int, QSize> stated[] = {
      {SkinId::AudioBackground, {490, 420}}, {SkinId::ColourBackground, {490, 420}},
      {SkinId::AllMetersOff, {200, 40}},     {SkinId::AllMetersOn, {200, 40}},
      {SkinId::MeterOnMark, {50, 20}},       {SkinId::MeterOnMarked, {50, 20}},
      {SkinId::MeterOffMark, {50, 20}},      {SkinId::MeterOffMarked, {50, 20}}};
  for (const auto& [id, size] : stated) {
    const QImage image = Skin::Bitmap(id).toImage();
    EXPECT_EQ(image.size(), size) << id;
    EXPECT_EQ(BlackPixels(image), 0) << id;
  }
  const std::pair<int, int> looks[] = {{SkinId::AllMetersOff, SkinId::AllMetersOn},
                                       {SkinId::MeterOnMark, SkinId::MeterOnMarked},
                                       {SkinId::MeterOffMark, SkinId::MeterOffMarked}};
  for (const auto& [offId, onId] : looks) {
    const QImage off = Skin::Bitmap(offId).toImage();
    const QImage on = Skin::Bitmap(onId).toImage();
    EXPECT_EQ(GreenPixels(off, off.rect()), 0) << offId;
    EXPECT_GT(GreenPixels(on, on.rect()), 15) << onId;
  }
  EXPECT_NE(Skin::Bitmap(SkinId::MeterOnMark).toImage(),
            Skin::Bitmap(SkinId::MeterOffMark).toImage());

  // Every list has its caption on its left, and the lists' own column stays plain.
  const auto bright = [](int id, QRect area) {
    const QImage image = Skin::Bitmap(id).toImage();
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
      for (int x = area.left(); x <= area.right(); ++x) {
        count += qGray(image.pixel(x, y)) > 150;
      }
    }
    return count;
  };
  for (const int y : {45, 122, 165, 205}) {
    EXPECT_GT(bright(SkinId::AudioBackground, QRect(120, y, 118, 20)), 20) << y;
    EXPECT_EQ(bright(SkinId::AudioBackground, QRect(250, y, 120, 20)), 0) << y;
  }
  for (const int y : {25, 62, 100, 150, 190, 230, 268, 308, 346}) {
    EXPECT_GT(bright(SkinId::ColourBackground, QRect(150, y, 78, 20)), 20) << y;
    EXPECT_EQ(bright(SkinId::ColourBackground, QRect(240, y, 100, 20)), 0) << y;
  }
}

TEST(SkinTest, TheSystemPagesSwitchesAreGreenOnlyWhenOnAndItsButtonsHaveTheirSizes) {
  test::GuiApp();
  struct Look {
    int id;
    QSize size;
    int on;  // the switch's on look; 0 for an action button
  };
  const Look looks[] = {
      {SkinId::FormatStatusOff, {182, 45}, SkinId::FormatStatusOn},
      {SkinId::AudioAlarmOff, {181, 45}, SkinId::AudioAlarmOn},
      {SkinId::TimecodeOff, {182, 40}, SkinId::TimecodeOn},
      {SkinId::LoadDefault, {181, 40}, 0},
      {SkinId::SaveCustom1, {182, 42}, 0},
      {SkinId::SaveCustom2, {181, 42}, 0},
      {SkinId::LoadCustom1, {182, 40}, 0},
      {SkinId::LoadCustom2, {181, 40}, 0},
  };
  for (const Look& look : looks) {
    SCOPED_TRACE(look.id);
    const QImage normal = Skin::Bitmap(look.id).toImage();
    EXPECT_EQ(normal.size(), look.size);
    EXPECT_EQ(BlackPixels(normal), 0);
    if (look.on == 0) {
      EXPECT_GT(GreenPixels(normal, normal.rect()), 50) << "an action's caption is green";
      continue;
    }
    const QImage on = Skin::Bitmap(look.on).toImage();
    EXPECT_EQ(on.size(), look.size);
    EXPECT_EQ(BlackPixels(on), 0);
    EXPECT_EQ(GreenPixels(normal, normal.rect()), 0) << "off is all grey";
    EXPECT_GT(GreenPixels(on, on.rect()), 200);
  }
  EXPECT_EQ(Skin::BitmapSize(SkinId::SystemBackground), QSize(490, 420));
  // The caption sits left of the output format list (180, 35, 100 x 20).
  const QImage background = Skin::Bitmap(SkinId::SystemBackground).toImage();
  int bright = 0;
  for (int y = 35; y < 55; ++y) {
    for (int x = 60; x < 178; ++x) {
      bright += qGray(background.pixel(x, y)) > 150;
    }
  }
  EXPECT_GT(bright, 40);
}

TEST(SkinTest, UmdPageBitmapsHaveTheirSizesAndLightGreenOnlyWhenOn) {
  test::GuiApp();
  std::vector<std::tuple<int, int, QSize>> switches = {
      {SkinId::AllUmdSwitch, SkinId::AllUmdSwitchOn, {135, 45}}};
  for (int n = 1; n <= 16; ++n) {
    switches.emplace_back(SkinId::UmdSwitch(n), SkinId::UmdSwitchOn(n), QSize(71, 40));
  }
  EXPECT_EQ(SkinId::UmdSwitchOn(3), 403);
  for (const auto& [offId, onId, size] : switches) {
    SCOPED_TRACE(offId);
    const QImage off = Skin::Bitmap(offId).toImage();
    const QImage on = Skin::Bitmap(onId).toImage();
    EXPECT_EQ(off.size(), size);
    EXPECT_EQ(on.size(), size);
    EXPECT_EQ(BlackPixels(off) + BlackPixels(on), 0);
    EXPECT_EQ(GreenPixels(off, off.rect()), 0);
    EXPECT_GT(GreenPixels(on, on.rect()), 40);
  }
  // Every input's switch reads its own number.
  EXPECT_NE(Skin::Bitmap(SkinId::UmdSwitch(1)).toImage(),
            Skin::Bitmap(SkinId::UmdSwitch(11)).toImage());

  const QImage background = Skin::Bitmap(SkinId::UmdBackground).toImage();
  EXPECT_EQ(background.size(), QSize(490, 420));
  EXPECT_NE(background.pixelColor(242, 200), background.pixelColor(200, 200)) << "the rule";
}

// Painted straight onto a window at its own size, a background shows the pixels of its bitmap;
// at another size, those of the bitmap stretched there.
TEST(SkinTest, APaintedBackgroundShowsItsBitmapsPixels) {
  test::GuiApp();
  for (const int id : {SkinId::MainBackground, SkinId::Matrix8Background, SkinId::Search}) {
    for (const double stretch : {1.0, 1.5}) {
      SCOPED_TRACE(testing::Message() << id << " at " << stretch);
      const QSize own = Skin::BitmapSize(id);
      const QRect target(3, 2, static_cast<int>(own.width() * stretch),
                         static_cast<int>(own.height() * stretch));
      QImage painted(target.size() + QSize(6, 4), QImage::Format_RGB32);
      QImage stretched = painted;
      painted.fill(Qt::magenta);
      stretched.fill(Qt::magenta);
      {
        QPainter onto(&painted);
        Skin::Paint(onto, id, target);
        QPainter bitmap(&stretched);
        bitmap.drawPixmap(target, Skin::Bitmap(id));
      }
      EXPECT_EQ(painted, stretched);
    }
  }
}

}  // namespace
}  // namespace quintara::ui
