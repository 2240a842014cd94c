#include "server/web/WebPage.h"

#include <algorithm>
#include <string>

namespace quintara::server {
namespace {

// The page runs only what the service itself sends, talks only to the service, and cannot be
// framed by another site.
constexpr std::string_view kContentPolicy =
    "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self' data:; "
    "connect-src 'self'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";

std::string_view ContentType(std::string_view path) {
  if (path.ends_with(".html")) {
    return "text/html; charset=utf-8";
  }
  if (path.ends_with(".css")) {
    return "text/css; charset=utf-8";
  }
  return "text/javascript; charset=utf-8";
}

}  // namespace

std::optional<HttpAnswer> PageResource(std::string_view path) {
  const std::string_view wanted = path == "/" ? "/index.html" : path;
  const auto file = std::ranges::find(WebFiles(), wanted, &WebFile::path);
  if (file == WebFiles().end()) {
    return std::nullopt;
  }
  return HttpAnswer{200,
                    std::string(ContentType(file->path)),
                    std::string(file->text),
                    {{"Content-Security-Policy", std::string(kContentPolicy)},
                     {"X-Content-Type-Options", "nosniff"},
                     {"Referrer-Policy", "no-referrer"},
                     {"Cache-Control", "no-cache"}}};
}

}  // namespace quintara::server
