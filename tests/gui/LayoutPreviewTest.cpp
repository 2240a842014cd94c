#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QTest>
#include <cstdlib>
#include <initializer_list>
#include <thread>
#include <utility>

#include "core/viewer/state/ViewerRefresh.h"
#include "core/viewer/state/ViewerState.h"
#include "gui/PaintCounter.h"
#include "support/GuiApp.h"
#include "support/Patience.h"
#include "ui/viewer/LayoutPreview.h"
#include "ui/viewer/PreviewPainter.h"

namespace quintara::ui {
namespace {

constexpr QRgb kGrey = qRgb(152, 152, 152);
constexpr QRgb kGreen = qRgb(110, 187, 105);
constexpr QRgb kSilver = qRgb(192, 192, 192);
constexpr QRgb kInterior = qRgb(57, 60, 65);
constexpr QRgb kBlack = qRgb(0, 0, 0);
// Palette entries chosen to differ from every colour the preview uses itself.
constexpr ColourIndex kYellow = 6;
constexpr ColourIndex kBlue = 1;
constexpr ColourIndex kVioletRed = 9;
constexpr ColourIndex kWhite = 7;
constexpr QRgb kUmdBack = qRgb(255, 255, 0);
constexpr QRgb kUmdInk = qRgb(0, 0, 255);
constexpr QRgb kFormatBack = qRgb(219, 112, 147);

constexpr DpiScale kScales[] = {{96, 96}, {144, 144}};

// The pixel of the rendered canvas at a canvas point. Texts are checked at their top-left corner:
// the text is unscaled, so a point further in may fall on a glyph rather than the ground.
QRgb PixelAt(const QImage& image, const DpiScale& scale, int x, int y) {
  return image.pixel(scale.X(x), scale.Y(y)) | 0xff000000u;
}

int Distance(QRgb a, QRgb b) {
  return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
         std::abs(qBlue(a) - qBlue(b));
}

// Whether text inked in `ink` on `ground` starts at a canvas point: some pixel of the text's box
// leans to the ink. The box is the default font's height square, since the text is not scaled.
bool HasInk(const QImage& image, const DpiScale& scale, int x, int y, QRgb ink, QRgb ground) {
  const int side = QFontMetrics(QFont()).height();
  for (int py = scale.Y(y); py < scale.Y(y) + side; ++py) {
    for (int px = scale.X(x); px < scale.X(x) + side; ++px) {
      const QRgb c = image.pixel(px, py);
      if (Distance(c, ink) < Distance(c, ground)) {
        return true;
      }
    }
  }
  return false;
}

int CountOf(const QImage& image, QRgb colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      count += (image.pixel(x, y) | 0xff000000u) == colour;
    }
  }
  return count;
}

// A mirror showing `layoutCode` with green borders, window k showing input k and distinct
// colours for labels and format texts; labels, meters and format texts are off.
ViewerState Viewer(std::uint8_t layoutCode) {
  ViewerState viewer;
  viewer.SetLabelDefaults();
  viewer.LayoutCode = layoutCode;
  viewer.BorderOn = 1;
  for (std::size_t k = 0; k < kWindowCount; ++k) {
    viewer.WindowSource[k] = static_cast<std::uint8_t>(k + 1);
    viewer.WindowSignal[k] = {1, 0};
    viewer.UmdBackColour[k] = kYellow;
    viewer.UmdTextColour[k] = kBlue;
    viewer.FormatBackColour[k] = kVioletRed;
    viewer.FormatTextColour[k] = kWhite;
  }
  RefreshAll(viewer);
  return viewer;
}

void AllOn(ViewerState& viewer) {
  viewer.AllUmdOn = 1;
  viewer.AllMetersOn = 1;
  viewer.FormatStatusOn = 1;
  viewer.UmdOn.fill(1);
  viewer.MeterOn.fill(1);
}

TEST(LayoutPreviewTest, UnknownLayoutLeavesTheScaledCanvasGrey) {
  test::GuiApp();
  for (const DpiScale& scale : kScales) {
    SCOPED_TRACE(scale.dpiX);
    for (const std::uint8_t code : std::initializer_list<std::uint8_t>{0, 17, 43, 200}) {
      ViewerState viewer = Viewer(code);
      AllOn(viewer);
      const QImage image = RenderPreview(viewer, scale);
      ASSERT_EQ(image.size(), QSize(scale.X(720), scale.Y(480)));
      EXPECT_EQ(CountOf(image, kGrey), image.width() * image.height()) << int{code};
    }
  }
}

TEST(LayoutPreviewTest, SingleWindowLayoutsShowTheWindowTheCodeNames) {
  test::GuiApp();
  for (const DpiScale& scale : kScales) {
    for (std::uint8_t code = 1; code <= 16; ++code) {
      SCOPED_TRACE(testing::Message() << scale.dpiX << " dpi, layout " << int{code});
      ViewerState viewer = Viewer(code);
      // Only window 5 has its label and meter on: the other codes must not borrow them.
      viewer.AllUmdOn = 1;
      viewer.AllMetersOn = 1;
      viewer.UmdOn[4] = 1;
      viewer.MeterOn[4] = 1;
      const QImage image = RenderPreview(viewer, scale);
      EXPECT_EQ(PixelAt(image, scale, 0, 0), kGreen);
      EXPECT_EQ(PixelAt(image, scale, 719, 479), kGreen);
      EXPECT_EQ(PixelAt(image, scale, 3, 3), kInterior);
      EXPECT_EQ(PixelAt(image, scale, 716, 476), kInterior);
      EXPECT_TRUE(HasInk(image, scale, 355, 235, kGreen, kInterior));
      const bool five = code == 5;
      EXPECT_EQ(PixelAt(image, scale, 220, 420), five ? kUmdBack : kInterior);
      EXPECT_EQ(PixelAt(image, scale, 40, 300), five ? kGreen : kInterior);
    }
  }
}

TEST(LayoutPreviewTest, BordersOffGiveTouchingSilverFrames) {
  test::GuiApp();
  for (const DpiScale& scale : kScales) {
    SCOPED_TRACE(scale.dpiX);
    ViewerState viewer = Viewer(40);
    viewer.BorderOn = 0;
    const QImage image = RenderPreview(viewer, scale);
    for (const auto& [x, y] : {std::pair{0, 0},
                               {359, 0},
                               {360, 0},
                               {359, 239},
                               {360, 240},
                               {719, 479},
                               {1, 300},
                               {718, 100}}) {
      EXPECT_EQ(PixelAt(image, scale, x, y), kSilver) << x << "," << y;
    }
    for (const auto& [x, y] : {std::pair{100, 100}, {460, 100}, {100, 340}, {460, 340}}) {
      EXPECT_EQ(PixelAt(image, scale, x, y), kInterior) << x << "," << y;
      EXPECT_TRUE(HasInk(image, scale, x + 75, y + 15, kGreen, kInterior)) << x << "," << y;
    }
    EXPECT_EQ(CountOf(image, kGrey), 0);
  }
}

TEST(LayoutPreviewTest, GappedLayoutsShowCanvasBetweenFramesAndTheirDecorations) {
  test::GuiApp();
  for (const DpiScale& scale : kScales) {
    SCOPED_TRACE(scale.dpiX);
    const QImage gapped = RenderPreview(Viewer(42), scale);
    EXPECT_EQ(PixelAt(gapped, scale, 40, 25), kGreen);
    EXPECT_EQ(PixelAt(gapped, scale, 318, 163), kGreen);
    EXPECT_EQ(PixelAt(gapped, scale, 45, 30), kInterior);
    EXPECT_EQ(PixelAt(gapped, scale, 39, 25), kGrey);
    EXPECT_EQ(PixelAt(gapped, scale, 360, 100), kGrey);
    EXPECT_EQ(PixelAt(gapped, scale, 100, 240), kGrey);
    EXPECT_EQ(PixelAt(gapped, scale, 40, 315), kGreen);
    // The clock between the four windows: disc, hands up and to the right, grey outside.
    EXPECT_EQ(PixelAt(gapped, scale, 340, 260), kGreen);
    EXPECT_EQ(PixelAt(gapped, scale, 360, 210), kBlack);
    EXPECT_EQ(PixelAt(gapped, scale, 390, 240), kBlack);
    EXPECT_EQ(PixelAt(gapped, scale, 302, 182), kGrey);

    const QImage centre = RenderPreview(Viewer(92), scale);
    EXPECT_EQ(PixelAt(centre, scale, 220, 145), kGreen);  // the large window 1
    EXPECT_EQ(PixelAt(centre, scale, 526, 333), kGreen);
    EXPECT_EQ(PixelAt(centre, scale, 300, 200), kInterior);
    EXPECT_EQ(PixelAt(centre, scale, 40, 25), kGreen);  // small window 2
    EXPECT_EQ(PixelAt(centre, scale, 70, 260), kGreen);
    EXPECT_EQ(PixelAt(centre, scale, 90, 200), kBlack);
    for (const int barY : {180, 255}) {
      EXPECT_EQ(PixelAt(centre, scale, 552, barY), kBlack) << barY;
      EXPECT_EQ(PixelAt(centre, scale, 630, barY + 22), kGreen) << barY;
    }
    EXPECT_EQ(PixelAt(centre, scale, 630, 240), kGrey);
  }
}

TEST(LayoutPreviewTest, BarSymbolsAndClockOfElevenAndTwelveWindows) {
  test::GuiApp();
  for (const DpiScale& scale : kScales) {
    SCOPED_TRACE(scale.dpiX);
    const QImage eleven = RenderPreview(Viewer(111), scale);
    for (const auto& [x, y] : {std::pair{285, 390}, {285, 435}, {465, 390}, {465, 435}}) {
      EXPECT_EQ(PixelAt(eleven, scale, x, y), kGreen) << x << "," << y;
    }
    EXPECT_EQ(PixelAt(eleven, scale, 285, 412), kGrey);
    EXPECT_EQ(PixelAt(eleven, scale, 212, 145), kGreen);
    EXPECT_EQ(PixelAt(eleven, scale, 211, 145), kGrey);

    const QImage twelve = RenderPreview(Viewer(121), scale);
    EXPECT_EQ(PixelAt(twelve, scale, 250, 140), kGreen);
    EXPECT_EQ(PixelAt(twelve, scale, 270, 100), kBlack);
    EXPECT_EQ(PixelAt(twelve, scale, 450, 82), kGreen);
    EXPECT_EQ(PixelAt(twelve, scale, 450, 120), kGrey);
    EXPECT_EQ(PixelAt(twelve, scale, 212, 265), kGreen);
    EXPECT_EQ(PixelAt(twelve, scale, 211, 265), kGrey);
  }
}

TEST(LayoutPreviewTest, SixteenWindowsEachWithLabelMeterAndFormat) {
  test::GuiApp();
  for (const DpiScale& scale : kScales) {
    SCOPED_TRACE(scale.dpiX);
    ViewerState viewer = Viewer(160);
    AllOn(viewer);
    for (std::u16string& label : viewer.UmdText) {
      label = u"CAMERA_1";
    }
    const QImage image = RenderPreview(viewer, scale);
    for (int k = 0; k < 16; ++k) {
      const int x = 180 * (k % 4);
      const int y = 120 * (k / 4);
      SCOPED_TRACE(k + 1);
      EXPECT_EQ(PixelAt(image, scale, x, y), kGreen);
      EXPECT_EQ(PixelAt(image, scale, x + 178, y + 118), kGreen);
      EXPECT_EQ(PixelAt(image, scale, x + 170, y + 110), kInterior);
      EXPECT_EQ(PixelAt(image, scale, x + 58, y + 97), kUmdBack);
      EXPECT_TRUE(HasInk(image, scale, x + 58, y + 97, kUmdInk, kUmdBack));
      EXPECT_EQ(PixelAt(image, scale, x + 25, y + 60), kGreen);
      EXPECT_EQ(PixelAt(image, scale, x + 110, y + 10), kFormatBack);
    }
  }
}

TEST(LayoutPreviewTest, LabelsFollowTheirSwitchesSourcesAndLength) {
  test::GuiApp();
  for (const DpiScale& scale : kScales) {
    SCOPED_TRACE(scale.dpiX);
    ViewerState viewer = Viewer(80);  // window 1 is the cell at (0, 120)
    AllOn(viewer);
    viewer.UmdText[0] = u"ABCDEFGH";
    const auto labelAt = [&](int x) {
      return PixelAt(RenderPreview(viewer, scale), scale, x, 218);
    };
    EXPECT_EQ(labelAt(58), kUmdBack);
    EXPECT_EQ(labelAt(42), kInterior);

    viewer.UmdText[0] = u"ABCDEFGHI";  // cut, and drawn further left
    EXPECT_EQ(labelAt(42), kUmdBack);

    viewer.UmdOn[0] = 0;
    EXPECT_EQ(labelAt(42), kInterior);
    viewer.UmdOn[0] = 1;
    viewer.AllUmdOn = 0;
    EXPECT_EQ(labelAt(42), kInterior);
    viewer.AllUmdOn = 1;
    for (const std::uint8_t source : std::initializer_list<std::uint8_t>{0, 17, 255}) {
      viewer.WindowSource[0] = source;
      RefreshAll(viewer);
      EXPECT_EQ(labelAt(42), kInterior) << int{source};
    }
    // Window 2 still shows its own six-character label.
    EXPECT_EQ(PixelAt(RenderPreview(viewer, scale), scale, 180 + 66, 217), kUmdBack);
  }
}

TEST(LayoutPreviewTest, MeterBarsAndFormatTextsFollowTheirSwitches) {
  test::GuiApp();
  for (const DpiScale& scale : kScales) {
    SCOPED_TRACE(scale.dpiX);
    ViewerState viewer = Viewer(80);
    AllOn(viewer);
    const auto meter = [&] { return PixelAt(RenderPreview(viewer, scale), scale, 25, 200); };
    const auto format = [&] { return PixelAt(RenderPreview(viewer, scale), scale, 110, 125); };
    EXPECT_EQ(meter(), kGreen);
    EXPECT_EQ(format(), kFormatBack);
    viewer.MeterOn[0] = 0;
    EXPECT_EQ(meter(), kInterior);
    viewer.MeterOn[0] = 1;
    viewer.AllMetersOn = 0;
    EXPECT_EQ(meter(), kInterior);
    viewer.FormatStatusOn = 0;
    EXPECT_EQ(format(), kInterior);
  }
}

TEST(LayoutPreviewTest, SwitcherPageShowsOnlyTheGrid) {
  test::GuiApp();
  for (const DpiScale& scale : kScales) {
    SCOPED_TRACE(scale.dpiX);
    ViewerState viewer = Viewer(160);
    AllOn(viewer);
    viewer.BorderOn = 0;  // the grid is green all the same
    for (std::size_t k = 0; k < kWindowCount; ++k) {
      viewer.SwitcherSource[k] = static_cast<std::uint8_t>(16 - k);
    }
    RefreshSwitcherGrid(viewer);
    const QImage image = RenderPreview(viewer, scale, ViewerPage::Switcher);
    for (int k = 0; k < 16; ++k) {
      const int x = 180 * (k % 4);
      const int y = 120 * (k / 4);
      SCOPED_TRACE(k + 1);
      EXPECT_EQ(PixelAt(image, scale, x, y), kGreen);
      EXPECT_EQ(PixelAt(image, scale, x + 178, y + 118), kGreen);
      EXPECT_EQ(PixelAt(image, scale, x + 3, y + 3), kInterior);
      EXPECT_TRUE(HasInk(image, scale, x + 85, y + 55, kGreen, kInterior));
      EXPECT_EQ(PixelAt(image, scale, x + 58, y + 97), kInterior);
      EXPECT_EQ(PixelAt(image, scale, x + 25, y + 60), kInterior);
      EXPECT_EQ(PixelAt(image, scale, x + 110, y + 10), kInterior);
    }
    EXPECT_EQ(CountOf(image, kUmdBack), 0);
    EXPECT_EQ(CountOf(image, kFormatBack), 0);
  }
}

TEST(LayoutPreviewTest, BurstsOfRequestsFoldIntoFewPaintsAndShowTheMirror) {
  QApplication& app = test::GuiApp();
  ViewerState viewer = Viewer(40);
  const DpiScale scale{144, 144};
  const PanelSelections onModePage{.CurrentPage = ViewerPage::Mode};
  LayoutPreview preview(viewer, onModePage, scale);
  EXPECT_EQ(preview.size(), QSize(1080, 720));
  preview.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview, test::kPatienceMs));
  app.processEvents();
  const int before = preview.PaintCount();

  constexpr int kRequests = 5000;
  std::thread worker([&preview] {
    for (int i = 0; i < kRequests; ++i) {
      preview.RequestRepaint();
    }
  });
  for (int i = 0; i < kRequests; ++i) {
    preview.RequestRepaint();
    // A hundred turns of the event loop: repainting on each would be a hundred paints.
    if (i % 50 == 0) {
      app.processEvents();
    }
  }
  worker.join();
  // One more request marks the end of the burst: once a paint follows it, all were served.
  const int painted = preview.PaintCount();
  preview.RequestRepaint();
  ASSERT_TRUE(QTest::qWaitFor([&] { return preview.PaintCount() > painted; }, test::kPatienceMs));
  const int paints = preview.PaintCount() - before;
  EXPECT_GE(paints, 1);
  EXPECT_LT(paints, 20);

  // A change after the burst still reaches the screen.
  viewer.LayoutCode = 160;
  RefreshAll(viewer);
  preview.RequestRepaint();
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return preview.PaintCount() > before + paints; }, test::kPatienceMs));
  const QImage shown = preview.grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(shown, RenderPreview(viewer, scale));

  // While disabled (an exchange writes the mirror) the last picture stays; the new one follows
  // once the preview takes input again.
  const ViewerState before160 = viewer;
  preview.setEnabled(false);
  viewer.LayoutCode = 90;
  RefreshAll(viewer);
  PaintCounter paintEvents(preview);
  preview.RequestRepaint();
  ASSERT_TRUE(QTest::qWaitFor([&] { return paintEvents.paints > 0; }, test::kPatienceMs));
  EXPECT_EQ(preview.grab().toImage().convertToFormat(QImage::Format_RGB32),
            RenderPreview(before160, scale));
  preview.setEnabled(true);
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        return preview.grab().toImage().convertToFormat(QImage::Format_RGB32) ==
               RenderPreview(viewer, scale);
      },
      test::kPatienceMs));
}

}  // namespace
}  // namespace quintara::ui
