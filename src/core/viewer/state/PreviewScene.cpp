#include "core/viewer/state/PreviewScene.h"

#include "core/viewer/state/LayoutGeometry.h"

namespace quintara {
namespace {

constexpr int kFrameWidth = 2;
constexpr int kNumberOffset = 5;

// The entry of the per-window tables that window `index` of the layout draws from: a
// single-window layout shows the window its code names.
std::size_t EntryOf(std::uint8_t layoutCode, std::size_t index) {
  return layoutCode <= kWindowCount ? layoutCode - 1u : index;
}

std::optional<SceneText> LabelOf(const ViewerState& viewer, std::size_t index, std::size_t entry) {
  if (viewer.AllUmdOn != 1 || viewer.UmdOn[entry] != 1) {
    return std::nullopt;
  }
  // A window without an input has no label to show.
  const std::uint8_t source = viewer.WindowSource[entry];
  if (source < 1 || source > kInputCount) {
    return std::nullopt;
  }
  const auto placed = PlaceLabel(viewer.LayoutCode, index, viewer.UmdText[source - 1u]);
  if (!placed) {
    return std::nullopt;
  }
  return SceneText{placed->at, placed->text, viewer.UmdTextRgb[entry], viewer.UmdBackRgb[entry]};
}

std::optional<SceneWindow> WindowOf(const ViewerState& viewer, std::size_t index, int number) {
  const auto drawing = WindowDrawingFor(viewer.LayoutCode, index);
  if (!drawing) {
    return std::nullopt;
  }
  const std::size_t entry = EntryOf(viewer.LayoutCode, index);
  SceneWindow window{drawing->frame, viewer.BorderOn == 1, number, LabelOf(viewer, index, entry),
                     std::nullopt,   std::nullopt};
  if (viewer.AllMetersOn == 1 && viewer.MeterOn[entry] == 1) {
    window.meter = drawing->meter;
  }
  if (viewer.FormatStatusOn == 1) {
    window.format = SceneText{drawing->formatAt, viewer.WindowFormatText[entry],
                              viewer.FormatTextRgb[entry], viewer.FormatBackRgb[entry]};
  }
  return window;
}

}  // namespace

CanvasRect WindowInterior(const CanvasRect& frame) {
  return {frame.x + kFrameWidth, frame.y + kFrameWidth, frame.width - 2 * kFrameWidth,
          frame.height - 2 * kFrameWidth};
}

CanvasPoint NumberAt(const CanvasRect& frame) {
  return {frame.x + frame.width / 2 - kNumberOffset, frame.y + frame.height / 2 - kNumberOffset};
}

PreviewScene ScenePreview(const ViewerState& viewer, bool switcherGrid) {
  PreviewScene scene;
  if (switcherGrid) {
    for (const LayoutRect& cell : viewer.SwitcherRects) {
      scene.windows.push_back({{cell.x, cell.y, cell.width, cell.height},
                               true,
                               cell.number,
                               std::nullopt,
                               std::nullopt,
                               std::nullopt});
    }
    return scene;
  }
  const std::span<const LayoutRect> windows = LayoutWindows(viewer.LayoutCode);
  if (windows.empty()) {
    return scene;
  }
  for (std::size_t k = 0; k < windows.size(); ++k) {
    if (std::optional<SceneWindow> window = WindowOf(viewer, k, windows[k].number)) {
      scene.windows.push_back(std::move(*window));
    }
  }
  const LayoutDecorations decorations = DecorationsOf(viewer.LayoutCode);
  scene.clock = decorations.clock;
  scene.symbols.assign(decorations.bars.begin(), decorations.bars.end());
  return scene;
}

}  // namespace quintara
