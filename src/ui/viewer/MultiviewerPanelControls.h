#pragma once

#include <cstdint>
#include <span>

#include "ui/form/ControlTable.h"

namespace quintara::ui {

// Control ids of the multiviewer panel.
namespace MultiviewerPanelId {
inline constexpr int ModeTab = 1009;
inline constexpr int UmdTab = 1010;
inline constexpr int ColourTab = 1011;
inline constexpr int SystemTab = 1012;
inline constexpr int PageArea = 1014;
inline constexpr int SwitcherTab = 1015;
inline constexpr int AudioTab = 1016;
}  // namespace MultiviewerPanelId

// A tab and the page (CurrentPage number) it opens, in screen order.
struct PageTab {
  int id;
  std::uint8_t page;
};
std::span<const PageTab> PageTabs();
// The tab of a page; 0 for a page without one.
int TabOfPage(std::uint8_t page);

// Where the preview sits in the panel: this corner is not scaled, the canvas is.
inline constexpr int kPreviewLeft = 5;
inline constexpr int kPreviewTop = 40;

ControlTable MultiviewerPanelControls();

}  // namespace quintara::ui
