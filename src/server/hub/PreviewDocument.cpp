#include "server/hub/PreviewDocument.h"

#include <cstdio>

#include "core/text/TextCodec.h"
#include "core/viewer/state/LayoutGeometry.h"

namespace quintara::server {
namespace {

using cli::Json;

Json Point(const CanvasPoint& p) {
  return {{"x", p.x}, {"y", p.y}};
}

Json Rect(const CanvasRect& r) {
  return {{"x", r.x}, {"y", r.y}, {"width", r.width}, {"height", r.height}};
}

std::string Colour(const Rgb& rgb) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", rgb.r, rgb.g, rgb.b);
  return text;
}

Json Text(const SceneText& text) {
  return {{"at", Point(text.at)},
          {"text", Utf16ToUtf8(text.text)},
          {"ink", Colour(text.ink)},
          {"ground", Colour(text.ground)}};
}

Json Window(const SceneWindow& window) {
  Json document{{"frame", Rect(window.frame)},
                {"interior", Rect(WindowInterior(window.frame))},
                {"bordered", window.bordered},
                {"number", window.number},
                {"numberAt", Point(NumberAt(window.frame))}};
  if (window.label) {
    document["label"] = Text(*window.label);
  }
  if (window.meter) {
    document["meter"] = Rect(*window.meter);
  }
  if (window.format) {
    document["format"] = Text(*window.format);
  }
  return document;
}

}  // namespace

Json PreviewDocument(const PreviewScene& scene, std::uint8_t layoutCode, bool switcherGrid) {
  Json windows = Json::array();
  for (const SceneWindow& window : scene.windows) {
    windows.push_back(Window(window));
  }
  Json symbols = Json::array();
  for (const CanvasRect& symbol : scene.symbols) {
    symbols.push_back(Rect(symbol));
  }
  Json document{{"width", kPreviewWidth},        {"height", kPreviewHeight},
                {"layout", layoutCode},          {"switcherGrid", switcherGrid},
                {"windows", std::move(windows)}, {"symbols", std::move(symbols)}};
  if (scene.clock) {
    document["clock"] = {{"disc", Rect(scene.clock->disc)},
                         {"centre", Point(scene.clock->centre)},
                         {"hourHand", Point(scene.clock->hourHand)},
                         {"minuteHand", Point(scene.clock->minuteHand)}};
  }
  return document;
}

Json LayoutsDocument() {
  Json layouts = Json::array();
  for (const std::uint8_t code : KnownLayoutCodes()) {
    Json windows = Json::array();
    for (const LayoutRect& window : LayoutWindows(code)) {
      Json rect = Rect({window.x, window.y, window.width, window.height});
      rect["number"] = window.number;
      windows.push_back(std::move(rect));
    }
    layouts.push_back({{"code", code}, {"windows", std::move(windows)}});
  }
  return {{"width", kPreviewWidth}, {"height", kPreviewHeight}, {"layouts", std::move(layouts)}};
}

}  // namespace quintara::server
