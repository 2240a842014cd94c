#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "server/http/HttpService.h"

namespace quintara::server {

// One file of the web page, built into the program from src/server/web/.
struct WebFile {
  std::string_view path;  // "/app.js"
  std::string_view text;
};

// The page, its style and its script.
std::span<const WebFile> WebFiles();

// The answer for a path of the web page ("/" is the page itself), or nothing for any other path.
// Served without a token: the files hold nothing of the devices, and the page asks for the token.
std::optional<HttpAnswer> PageResource(std::string_view path);

}  // namespace quintara::server
