#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/viewer/state/LayoutGeometry.h"
#include "core/viewer/state/ViewerRefresh.h"

namespace quintara {
namespace {

bool Overlap(const LayoutRect& a, const LayoutRect& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

TEST(LayoutGeometry, KnownCodesTileTheCanvasAndOthersHaveNoWindows) {
  EXPECT_EQ(KnownLayoutCodes().size(), 36u);
  for (int code = 0; code <= 255; ++code) {
    SCOPED_TRACE(code);
    const auto layoutCode = static_cast<std::uint8_t>(code);
    const auto windows = LayoutWindows(layoutCode);
    if (std::ranges::find(KnownLayoutCodes(), layoutCode) == KnownLayoutCodes().end()) {
      EXPECT_TRUE(windows.empty());
      EXPECT_FALSE(IsKnownLayout(layoutCode));
      continue;
    }
    EXPECT_TRUE(IsKnownLayout(layoutCode));
    // Tens digit is the window count; 111 and 121 read as 11 and 12.
    ASSERT_EQ(windows.size(), code <= 16 ? 1u : static_cast<unsigned>(code) / 10u);
    for (std::size_t i = 0; i < windows.size(); ++i) {
      const LayoutRect& w = windows[i];
      EXPECT_EQ(w.number, code <= 16 ? code : static_cast<int>(i + 1));
      EXPECT_TRUE(w.x >= 0 && w.y >= 0 && w.width > 0 && w.height > 0 && w.x + w.width <= 720 &&
                  w.y + w.height <= 480);
      for (std::size_t j = 0; j < i; ++j) {
        EXPECT_FALSE(Overlap(w, windows[j])) << "windows " << j + 1 << " and " << i + 1;
      }
    }
  }

  ViewerState state;
  state.WindowRects.fill({1, 2, 3, 4, 5});
  state.LayoutCode = 200;
  RefreshLayout(state);
  EXPECT_EQ(state.WindowRects, PerWindow<LayoutRect>{});
}

TEST(LayoutGeometry, WindowsSitWhereTheDeviceDrawsThem) {
  EXPECT_EQ(LayoutWindows(5)[0], (LayoutRect{0, 0, 720, 480, 5}));
  EXPECT_EQ(LayoutWindows(82)[1], (LayoutRect{480, 0, 240, 160, 2}));
  EXPECT_EQ(LayoutWindows(83)[1], (LayoutRect{240, 0, 240, 160, 2}));
  EXPECT_EQ(LayoutWindows(92)[0], (LayoutRect{180, 120, 360, 240, 1}));
  EXPECT_EQ(LayoutWindows(102)[1], (LayoutRect{0, 240, 360, 240, 2}));
  EXPECT_EQ(LayoutWindows(111)[3], (LayoutRect{0, 0, 180, 120, 4}));
  EXPECT_EQ(LayoutWindows(161)[15], (LayoutRect{540, 360, 180, 120, 16}));

  const std::vector<std::pair<int, int>> corners{{180, 240}, {360, 240}, {180, 360}, {360, 360},
                                                 {0, 0},     {0, 120},   {0, 240},   {0, 360},
                                                 {540, 0},   {540, 120}, {540, 240}, {540, 360}};
  const auto twelve = LayoutWindows(121);
  ASSERT_EQ(twelve.size(), corners.size());
  for (std::size_t i = 0; i < corners.size(); ++i) {
    EXPECT_EQ(twelve[i], (LayoutRect{corners[i].first, corners[i].second, 180, 120,
                                     static_cast<std::int32_t>(i + 1)}));
  }
}

}  // namespace
}  // namespace quintara
