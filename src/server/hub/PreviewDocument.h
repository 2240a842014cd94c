#pragma once

#include <cstdint>

#include "cli/Json.h"
#include "core/viewer/state/PreviewScene.h"

namespace quintara::server {

// The preview's scene of a layout as JSON, for a page to draw as the desktop preview does:
// canvas units, colours as "#rrggbb".
cli::Json PreviewDocument(const PreviewScene& scene, std::uint8_t layoutCode, bool switcherGrid);

// Every layout the multiviewer takes, with its windows' rectangles, for a page to draw each
// layout's button from the same table as the preview.
cli::Json LayoutsDocument();

}  // namespace quintara::server
