#include "fuzz/PanelDouble.h"

#include <algorithm>

#include "core/viewer/state/LayoutGeometry.h"
#include "core/viewer/state/PreviewGeometry.h"
#include "core/viewer/state/ViewerTables.h"
#include "fuzz/FuzzCheck.h"

namespace quintara::fuzz {
namespace {

bool InRange(int value, int first, int last) {
  return value >= first && value <= last;
}

// The page whose controls a selection or a switch concerns.
std::uint8_t PageOf(ViewerSelection what) {
  switch (what) {
    case ViewerSelection::ModeSource:
      return ViewerPage::Mode;
    case ViewerSelection::SwitcherOutput:
      return ViewerPage::Switcher;
    case ViewerSelection::OutputFormat:
      return ViewerPage::System;
    case ViewerSelection::AudioWindow:
    case ViewerSelection::MeterChannels:
    case ViewerSelection::AudioSource:
      return ViewerPage::Audio;
    default:
      return ViewerPage::Colour;
  }
}

std::uint8_t PageOf(ViewerSwitch what) {
  switch (what) {
    case ViewerSwitch::UmdOn:
    case ViewerSwitch::AllUmd:
      return ViewerPage::Umd;
    case ViewerSwitch::AllMeters:
    case ViewerSwitch::MeterOn:
      return ViewerPage::Audio;
    default:
      return ViewerPage::System;
  }
}

}  // namespace

PanelDouble::PanelDouble(Controller& controller)
    : controller_(controller), attachment_(controller.Session().ViewerViews().Attach(*this)) {}

PanelSelections& PanelDouble::Selections() {
  PanelSelections* selections = controller_.Session().Panel();
  QUINTARA_FUZZ_CHECK(selections != nullptr);  // lent by the panel's presenter
  return *selections;
}

void PanelDouble::Open(std::uint8_t page) {
  QUINTARA_FUZZ_CHECK(page == Selections().CurrentPage);
  page_ = page;
  mode_.reset();
  switcher_.reset();
  umd_.reset();
  audio_.reset();
  colour_.reset();
  system_.reset();
  switch (page) {
    case ViewerPage::Mode:
      mode_.emplace(controller_.Session());
      break;
    case ViewerPage::Switcher:
      switcher_.emplace(controller_.Session());
      switcher_->Initialise();
      break;
    case ViewerPage::Umd:
      umd_.emplace(controller_.Session());
      break;
    case ViewerPage::Audio:
      audio_.emplace(controller_.Session(), Selections());
      break;
    case ViewerPage::Colour:
      colour_.emplace(controller_.Session(), Selections());
      break;
    case ViewerPage::System:
      system_.emplace(controller_.Session());
      break;
    default:
      return;
  }
  ShowPage();
  RepaintPreview();
}

void PanelDouble::ShowPage() {
  switch (page_) {
    case ViewerPage::Mode:
      return ShowModePage();
    case ViewerPage::Switcher:
      return ShowSwitcherPage();
    case ViewerPage::Umd:
      return ShowUmdPage();
    case ViewerPage::Audio:
      return ShowAudioPage();
    case ViewerPage::Colour:
      return ShowColourPage();
    case ViewerPage::System:
      return ShowSystemPage();
    default:
      return;
  }
}

void PanelDouble::ShowModePage() {
  const ModeLayoutView shown = mode_->RefreshLayoutControls();
  if (shown.windowCountItem) {
    QUINTARA_FUZZ_CHECK(InRange(*shown.windowCountItem, 0, 8));
    QUINTARA_FUZZ_CHECK(shown.visibleGroup.has_value());
  }
  QUINTARA_FUZZ_CHECK(shown.enabledSourceLists <= kWindowCount);
  mode_->TakeShownSources();
  for (const std::uint8_t source : mode_->ShownSources()) {
    QUINTARA_FUZZ_CHECK(InRange(ModePresenter::ItemOfInput(source), -1, 15));
  }
}

void PanelDouble::ShowSwitcherPage() {
  for (const int item : switcher_->RouteItems()) {
    QUINTARA_FUZZ_CHECK(InRange(item, -1, 15));
  }
}

void PanelDouble::ShowUmdPage() {
  umd_->TakeLabelTexts();
  for (std::uint8_t input = 1; input <= kInputCount; ++input) {
    QUINTARA_FUZZ_CHECK(umd_->ShownText(input) ==
                        controller_.Session().Viewer().UmdText[input - 1u]);
  }
}

void PanelDouble::ShowAudioPage() {
  const AudioView shown = audio_->Shown();
  QUINTARA_FUZZ_CHECK(InRange(shown.source, -1, 16));
  QUINTARA_FUZZ_CHECK(InRange(shown.window, 0, 15));
  QUINTARA_FUZZ_CHECK(InRange(shown.channels, -1, 7));
}

void PanelDouble::ShowColourPage() {
  const ColourView shown = colour_->Shown();
  QUINTARA_FUZZ_CHECK(InRange(shown.source, 0, 16));
  QUINTARA_FUZZ_CHECK(InRange(shown.window, 0, 16));
  for (const int colour : shown.colours) {
    QUINTARA_FUZZ_CHECK(InRange(colour, -1, 15));
  }
  QUINTARA_FUZZ_CHECK(InRange(shown.border, -1, 1));
}

void PanelDouble::ShowSystemPage() {
  if (const std::optional<int> item = system_->OutputFormatItem()) {
    QUINTARA_FUZZ_CHECK(InRange(*item, 0, static_cast<int>(kOutputFormats.size()) - 1));
    system_->NoteShownFormat(*item);
  }
  static_cast<void>(system_->Switches());
}

void PanelDouble::RepaintPreview() {
  ++notifications_;
  const ViewerState& viewer = controller_.Session().Viewer();
  if (Selections().CurrentPage == ViewerPage::Switcher) {
    return;  // the grid draws SwitcherRects as they are
  }
  const std::span<const LayoutRect> windows = LayoutWindows(viewer.LayoutCode);
  QUINTARA_FUZZ_CHECK(windows.size() <= kWindowCount);
  for (std::size_t index = 0; index < windows.size(); ++index) {
    DrawWindow(index);
  }
  static_cast<void>(DecorationsOf(viewer.LayoutCode));
}

void PanelDouble::DrawWindow(std::size_t index) {
  const ViewerState& viewer = controller_.Session().Viewer();
  // Every window of a known layout has its drawing.
  QUINTARA_FUZZ_CHECK(WindowDrawingFor(viewer.LayoutCode, index).has_value());
  // A single-window layout draws the window its code names.
  const std::size_t entry = viewer.LayoutCode <= kWindowCount ? viewer.LayoutCode - 1u : index;
  QUINTARA_FUZZ_CHECK(entry < kWindowCount);
  const std::uint8_t source = viewer.WindowSource[entry];
  if (source >= 1 && source <= kInputCount) {
    const std::optional<PlacedLabel> label =
        PlaceLabel(viewer.LayoutCode, index, viewer.UmdText[source - 1u]);
    QUINTARA_FUZZ_CHECK(label.has_value());
  }
}

void PanelDouble::RefreshPage(std::uint8_t page) {
  ++notifications_;
  QUINTARA_FUZZ_CHECK(page == Selections().CurrentPage);
  if (page == page_) {
    ShowPage();
  }
}

void PanelDouble::SelectionChanged(ViewerSelection what, int index, int) {
  ++notifications_;
  QUINTARA_FUZZ_CHECK(PageOf(what) == Selections().CurrentPage);
  if (what == ViewerSelection::ModeSource || what == ViewerSelection::SwitcherOutput) {
    QUINTARA_FUZZ_CHECK(InRange(index, 1, static_cast<int>(kWindowCount)));
  }
}

void PanelDouble::SwitchChanged(ViewerSwitch what, int index, bool) {
  ++notifications_;
  QUINTARA_FUZZ_CHECK(PageOf(what) == Selections().CurrentPage);
  if (what == ViewerSwitch::UmdOn) {
    QUINTARA_FUZZ_CHECK(InRange(index, 1, static_cast<int>(kInputCount)));
  }
}

}  // namespace quintara::fuzz
