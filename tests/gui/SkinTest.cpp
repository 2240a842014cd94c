#include <gtest/gtest.h>

#include <QImage>

#include "support/GuiApp.h"
#include "ui/res/Skin.h"

namespace quintara::ui {
namespace {

const int kButtons[] = {SkinId::LockOpen,   SkinId::Search,  SkinId::LinkSettings,
                        SkinId::LockClosed, SkinId::Connect, SkinId::Disconnect,
                        SkinId::Apply};

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
    const QImage image = Skin::Bitmap(id).toImage();
    int black = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        black += (image.pixel(x, y) & 0xFFFFFF) == 0;
      }
    }
    EXPECT_EQ(black, 0) << id;
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

}  // namespace
}  // namespace quintara::ui
