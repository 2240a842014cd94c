#include <gtest/gtest.h>

#include <algorithm>
#include <span>

#include "core/viewer/state/LayoutGeometry.h"
#include "core/viewer/state/ViewerRefresh.h"

namespace quintara {
namespace {

constexpr Rgb kGrey{152, 152, 152};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kMarker{1, 2, 3};

TEST(ViewerRefresh, LayoutSwitcherGridAndFormatTexts) {
  ViewerState state;
  state.SetLabelDefaults();
  state.WindowRects.fill({1, 1, 1, 1, 1});
  state.LayoutCode = 40;
  state.WindowSignal[0] = {0, 16};
  state.WindowSignal[1] = {1, 16};
  state.WindowSignal[2] = {1, 63};
  state.WindowFormatText[2] = u"1080i50";
  RefreshLayout(state);

  const auto four = LayoutWindows(40);
  EXPECT_TRUE(std::ranges::equal(four, std::span(state.WindowRects).first(4)));
  EXPECT_TRUE(std::ranges::all_of(std::span(state.WindowRects).subspan(4),
                                  [](const LayoutRect& r) { return r == LayoutRect{}; }));
  EXPECT_EQ(state.WindowFormatText[0], u"No Signal");
  EXPECT_EQ(state.WindowFormatText[1], u"626i50");
  EXPECT_EQ(state.WindowFormatText[2], u"1080i50");  // unknown code keeps the old text

  for (std::size_t k = 0; k < kWindowCount; ++k) {
    state.SwitcherSource[k] = static_cast<std::uint8_t>(16 - k);
  }
  RefreshSwitcherGrid(state);
  EXPECT_EQ(state.SwitcherRects[0], (LayoutRect{0, 0, 180, 120, 16}));
  EXPECT_EQ(state.SwitcherRects[6], (LayoutRect{360, 120, 180, 120, 10}));
  EXPECT_EQ(state.SwitcherRects[15], (LayoutRect{540, 360, 180, 120, 1}));
}

TEST(ViewerRefresh, ColoursFollowTheSourceForUmdAndThePositionForFormat) {
  ViewerState state;
  state.LayoutCode = 160;
  state.SwitcherRects[0] = {9, 9, 9, 9, 9};
  state.UmdBackRgb.fill(kMarker);
  state.UmdTextRgb.fill(kMarker);
  state.FormatBackRgb.fill(kMarker);
  state.WindowSource.fill(1);
  state.WindowSource[0] = 3;
  state.WindowSource[1] = 0;
  state.WindowSource[2] = 17;
  state.WindowSource[3] = 5;
  state.UmdBackColour[2] = 14;
  state.UmdTextColour[2] = 14;
  state.UmdBackColour[4] = 20;
  state.UmdTextColour[4] = 2;
  state.FormatBackColour[0] = 20;
  state.FormatBackColour[1] = 15;
  state.FormatTextColour[1] = 15;
  RefreshAll(state);

  EXPECT_EQ(state.UmdBackRgb[0], kGrey);  // "Trans": canvas grey behind, white text
  EXPECT_EQ(state.UmdTextRgb[0], kWhite);
  for (const std::size_t sourceless : {1u, 2u}) {
    EXPECT_EQ(state.UmdBackRgb[sourceless], kGrey);
    EXPECT_EQ(state.UmdTextRgb[sourceless], (Rgb{0, 0, 0}));
  }
  EXPECT_EQ(state.UmdBackRgb[3], kMarker);  // index 20 has no colour
  EXPECT_EQ(state.UmdTextRgb[3], (Rgb{255, 0, 0}));
  EXPECT_EQ(state.FormatBackRgb[0], kMarker);
  EXPECT_EQ(state.FormatBackRgb[1], (Rgb{182, 182, 182}));
  EXPECT_EQ(state.FormatTextRgb[1], (Rgb{245, 245, 245}));
  EXPECT_EQ(state.WindowRects[15], (LayoutRect{540, 360, 180, 120, 16}));
  EXPECT_EQ(state.SwitcherRects[0], (LayoutRect{9, 9, 9, 9, 9}));
}

}  // namespace
}  // namespace quintara
