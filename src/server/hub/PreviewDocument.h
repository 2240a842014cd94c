#pragma once

#include "cli/Json.h"
#include "core/viewer/state/PreviewScene.h"

namespace quintara::server {

// The preview's scene as JSON, for a page to draw as the desktop preview does: canvas units,
// colours as "#rrggbb".
cli::Json PreviewDocument(const PreviewScene& scene, bool switcherGrid);

}  // namespace quintara::server
