#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/viewer/state/PreviewGeometry.h"
#include "core/viewer/state/ViewerState.h"

namespace quintara {

// The preview's canvas, in the units of its geometry.
inline constexpr int kPreviewWidth = 720;
inline constexpr int kPreviewHeight = 480;

// A text drawn on an opaque ground of its own, its top-left corner at `at`.
struct SceneText {
  CanvasPoint at;
  std::u16string text;
  Rgb ink;
  Rgb ground;
};

// One window as the preview shows it, in the order it is drawn: its frame (green when the
// borders are on, silver when off) around the interior with its number, then its UMD label, its
// meter bar and its format text, each only when shown.
struct SceneWindow {
  CanvasRect frame;
  bool bordered = true;
  int number = 0;
  std::optional<SceneText> label;
  std::optional<CanvasRect> meter;
  std::optional<SceneText> format;
};

// The interior a window's frame surrounds, and where its number sits: a little up and left of
// the frame's centre.
CanvasRect WindowInterior(const CanvasRect& frame);
CanvasPoint NumberAt(const CanvasRect& frame);

// What the preview shows: the windows of the layout (or the switcher grid), then what the
// layout shows in the space its windows leave free. The desktop preview draws it, and the
// server sends it to the web page, so both show the same picture.
struct PreviewScene {
  std::vector<SceneWindow> windows;
  std::optional<ClockFace> clock;
  std::vector<CanvasRect> symbols;
};

// The scene of the mirror: the switcher grid when asked, else the windows of LayoutCode. The
// windows come from the layout table rather than WindowRects, so frames, numbers and labels
// always agree even before the mirror's tables are refreshed.
PreviewScene ScenePreview(const ViewerState& viewer, bool switcherGrid);

}  // namespace quintara
