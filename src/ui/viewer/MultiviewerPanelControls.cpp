#include "ui/viewer/MultiviewerPanelControls.h"

#include <algorithm>

#include "core/viewer/panel/PanelSelections.h"
#include "ui/skin/Skin.h"

namespace quintara::ui {
namespace {

using namespace MultiviewerPanelId;

constexpr ControlRow Tab(int id, int x, int width, int bitmap) {
  return BitmapButtonRow(id, x, 15, width, 80, bitmap, bitmap + 1);
}

constexpr ControlRow kControls[] = {
    Tab(ModeTab, 750, 65, SkinId::LayoutTab),
    Tab(SwitcherTab, 820, 70, SkinId::SwitcherTab),
    Tab(UmdTab, 895, 95, SkinId::UmdTab),
    Tab(AudioTab, 995, 65, SkinId::AudioTab),
    Tab(ColourTab, 1065, 65, SkinId::ColoursTab),
    Tab(SystemTab, 1135, 75, SkinId::ControlsTab),
    {.id = PageArea, .kind = ControlKind::Area, .rect = {750, 105, 490, 420}},
};

constexpr PageTab kTabs[] = {
    {ModeTab, ViewerPage::Mode},     {SwitcherTab, ViewerPage::Switcher},
    {UmdTab, ViewerPage::Umd},       {AudioTab, ViewerPage::Audio},
    {ColourTab, ViewerPage::Colour}, {SystemTab, ViewerPage::System},
};

}  // namespace

std::span<const PageTab> PageTabs() {
  return kTabs;
}

int TabOfPage(std::uint8_t page) {
  const auto* tab = std::ranges::find(kTabs, page, &PageTab::page);
  return tab != std::end(kTabs) ? tab->id : 0;
}

ControlTable MultiviewerPanelControls() {
  return kControls;
}

}  // namespace quintara::ui
