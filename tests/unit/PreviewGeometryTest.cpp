// The preview's drawing tables: every window of every layout is covered, and the worked cases.
#include <gtest/gtest.h>

#include "core/viewer/state/LayoutGeometry.h"
#include "core/viewer/state/PreviewGeometry.h"
#include "core/viewer/state/PreviewScene.h"

namespace quintara {
namespace {

TEST(PreviewGeometry, EveryWindowOfEveryLayoutHasItsFrameMeterFormatAndLabel) {
  for (const std::uint8_t code : KnownLayoutCodes()) {
    const std::size_t windows = LayoutWindows(code).size();
    for (std::size_t k = 0; k < windows; ++k) {
      const auto drawing = WindowDrawingFor(code, k);
      ASSERT_TRUE(drawing) << int{code} << " window " << k + 1;
      const LayoutRect& r = LayoutWindows(code)[k];
      // Frames stay inside their window.
      EXPECT_GE(drawing->frame.x, r.x);
      EXPECT_LE(drawing->frame.x + drawing->frame.width, r.x + r.width) << int{code};
      EXPECT_LE(drawing->frame.y + drawing->frame.height, r.y + r.height) << int{code};
      EXPECT_TRUE(PlaceLabel(code, k, u"Umd_01")) << int{code} << " window " << k + 1;
    }
    EXPECT_FALSE(WindowDrawingFor(code, windows));
    EXPECT_FALSE(PlaceLabel(code, windows, u"x"));
  }
  EXPECT_FALSE(WindowDrawingFor(43, 0));
  EXPECT_FALSE(WindowDrawingFor(0, 0));
}

TEST(PreviewGeometry, FramesMetersAndFormatTextsSitWhereTheirLayoutsPutThem) {
  EXPECT_EQ(WindowDrawingFor(40, 3)->frame, (CanvasRect{360, 240, 360, 240}));
  EXPECT_EQ(WindowDrawingFor(42, 2)->frame, (CanvasRect{40, 315, 280, 140}));
  EXPECT_EQ(WindowDrawingFor(42, 2)->formatAt, (CanvasPoint{250, 295}));
  EXPECT_EQ(WindowDrawingFor(5, 0)->meter, (CanvasRect{20, 120, 45, 336}));
  // 92: window 1 is the large one in the middle, the others the small ones around it.
  EXPECT_EQ(WindowDrawingFor(92, 0)->meter, (CanvasRect{185, 192, 25, 133}));
  EXPECT_EQ(WindowDrawingFor(92, 1)->meter, (CanvasRect{5, 42, 25, 49}));
  EXPECT_EQ(WindowDrawingFor(111, 0)->frame, (CanvasRect{212, 145, 316, 190}));
  EXPECT_EQ(WindowDrawingFor(161, 15)->frame, (CanvasRect{572, 385, 136, 70}));
}

TEST(PreviewGeometry, LabelsAreShortCutOrWholeAtTheSecondPlace) {
  // Layout 80, window 1 at (0, 120): up to 8 characters centred, 9 cut to 8 and "...".
  EXPECT_EQ(PlaceLabel(80, 0, u"ABCDEFGH")->at, (CanvasPoint{58, 217}));
  const auto cut = PlaceLabel(80, 0, u"ABCDEFGHI");
  EXPECT_EQ(cut->at, (CanvasPoint{42, 217}));
  EXPECT_EQ(cut->text, u"ABCDEFGH...");
  // Layout 60's large window draws a long label whole, further left.
  const auto whole = PlaceLabel(60, 0, u"ABCDEFGHIJKL");
  EXPECT_EQ(whole->at, (CanvasPoint{180, 280}));
  EXPECT_EQ(whole->text, u"ABCDEFGHIJKL");
  EXPECT_EQ(PlaceLabel(100, 5, u"ABCDEFGHI")->at, (CanvasPoint{574, 345}));
  EXPECT_EQ(PlaceLabel(7, 0, u"")->at, (CanvasPoint{220, 420}));
}

TEST(PreviewGeometry, ClocksAndBarSymbols) {
  const auto clock = DecorationsOf(42).clock;
  ASSERT_TRUE(clock);
  EXPECT_EQ(clock->disc, (CanvasRect{300, 180, 120, 120}));
  EXPECT_EQ(clock->hourHand, (CanvasPoint{360, 195}));
  EXPECT_EQ(clock->minuteHand, (CanvasPoint{405, 240}));
  EXPECT_EQ(DecorationsOf(92).clock->minuteHand, (CanvasPoint{135, 240}));
  EXPECT_EQ(DecorationsOf(111).bars.size(), 4u);
  EXPECT_FALSE(DecorationsOf(111).clock);
  EXPECT_TRUE(DecorationsOf(160).bars.empty());
  EXPECT_FALSE(DecorationsOf(160).clock);
}

}  // namespace
}  // namespace quintara

namespace quintara {
namespace {

// A mirror whose windows all show their own input, with every label, meter and format text on.
ViewerState Shown(std::uint8_t layoutCode) {
  ViewerState viewer;
  viewer.SetLabelDefaults();
  viewer.LayoutCode = layoutCode;
  viewer.AllUmdOn = viewer.AllMetersOn = viewer.FormatStatusOn = viewer.BorderOn = 1;
  for (std::size_t k = 0; k < kWindowCount; ++k) {
    viewer.WindowSource[k] = static_cast<std::uint8_t>(k + 1);
    viewer.UmdOn[k] = viewer.MeterOn[k] = 1;
  }
  return viewer;
}

// What each switch takes out of the scene, and what stays.
TEST(PreviewScene, EachSwitchShowsOrHidesItsPartOfEveryWindow) {
  struct Case {
    const char* what;
    void (*change)(ViewerState&);
    bool labels, meters, formats, bordered;
  };
  const Case cases[] = {
      {"all on", [](ViewerState&) {}, true, true, true, true},
      {"labels off", [](ViewerState& v) { v.AllUmdOn = 0; }, false, true, true, true},
      {"no inputs", [](ViewerState& v) { v.WindowSource.fill(0); }, false, true, true, true},
      {"meters off", [](ViewerState& v) { v.AllMetersOn = 0; }, true, false, true, true},
      {"format off", [](ViewerState& v) { v.FormatStatusOn = 0; }, true, true, false, true},
      {"borders off", [](ViewerState& v) { v.BorderOn = 0; }, true, true, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ViewerState viewer = Shown(40);
    c.change(viewer);
    const PreviewScene scene = ScenePreview(viewer, false);
    ASSERT_EQ(scene.windows.size(), 4u);
    for (const SceneWindow& window : scene.windows) {
      EXPECT_EQ(window.label.has_value(), c.labels);
      EXPECT_EQ(window.meter.has_value(), c.meters);
      EXPECT_EQ(window.format.has_value(), c.formats);
      EXPECT_EQ(window.bordered, c.bordered);
    }
  }
}

TEST(PreviewScene, ASingleWindowShowsTheWindowItsCodeNamesAndTheGridReplacesTheLayout) {
  ViewerState viewer = Shown(7);
  viewer.UmdText[6] = u"Camera 7";
  const PreviewScene single = ScenePreview(viewer, false);
  ASSERT_EQ(single.windows.size(), 1u);
  ASSERT_TRUE(single.windows[0].label);
  EXPECT_EQ(single.windows[0].label->text, u"Camera 7");

  const PreviewScene grid = ScenePreview(Shown(111), true);
  EXPECT_EQ(grid.windows.size(), kWindowCount);
  EXPECT_TRUE(grid.symbols.empty() && !grid.clock) << "the grid shows no decorations";
  EXPECT_FALSE(ScenePreview(Shown(111), false).symbols.empty());
}

}  // namespace
}  // namespace quintara
