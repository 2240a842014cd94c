// What the Mode page shows for the device's layout code.
#include <gtest/gtest.h>

#include "core/viewer/panel/ModeLayout.h"

namespace quintara {
namespace {

TEST(ModeLayout, FollowsTheLayoutCodeIncludingCodesWithoutAButton) {
  struct Case {
    std::uint8_t code;
    std::optional<int> item;
    std::optional<std::uint8_t> group;
    std::optional<std::uint8_t> lit;
    std::uint8_t sources;
  };
  const Case cases[] = {
      {7, 0, 1, 7, 0},             // single window: no source list
      {0, 0, 1, std::nullopt, 0},  // no layout: nothing lit
      {40, 1, 4, 40, 4},
      {43, 1, 4, std::nullopt, 4},  // a variant without a button
      {110, 6, 11, 111, 11},        // the eleven-window group's one button
      {125, 7, 12, 121, 12},
      {161, 8, 16, 161, 16},
      {200, std::nullopt, std::nullopt, std::nullopt, 16},  // the list keeps its selection
  };
  for (const Case& c : cases) {
    const ModeLayoutView view = ModeLayoutFor(c.code);
    EXPECT_EQ(view.windowCountItem, c.item) << int{c.code};
    EXPECT_EQ(view.visibleGroup, c.group) << int{c.code};
    EXPECT_EQ(view.highlighted, c.lit) << int{c.code};
    EXPECT_EQ(view.enabledSourceLists, c.sources) << int{c.code};
  }
}

TEST(ModeLayout, WindowCountListItemsAndTheSourceListsTheyEnable) {
  EXPECT_EQ(WindowCountOfItem(0), 1);
  EXPECT_EQ(WindowCountOfItem(8), 16);
  EXPECT_EQ(WindowCountOfItem(9), 0);
  EXPECT_EQ(WindowCountOfItem(-1), 0);
  EXPECT_EQ(EnabledSourceLists(WindowCountOfItem(3)), 8);
  EXPECT_EQ(EnabledSourceLists(WindowCountOfItem(0)), 0);
}

}  // namespace
}  // namespace quintara
