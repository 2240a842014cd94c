#include "server/api/ApiService.h"

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <utility>

#include "cli/Json.h"
#include "core/presets/PresetStore.h"
#include "server/hub/PreviewDocument.h"
#include "server/web/WebPage.h"

namespace quintara::server {
namespace {

using cli::Json;

constexpr std::string_view kPrefix = "/api/v1";
// A command line has a few words; a UMD label or a name is the longest of them.
constexpr std::size_t kMaxWords = 8;
constexpr std::size_t kMaxWordBytes = 256;

constexpr std::array kRoutes{
    ApiRoute{"GET", "/api/v1/devices"},
    ApiRoute{"GET", "/api/v1/devices/{id}"},
    ApiRoute{"POST", "/api/v1/devices/{id}/command"},
    ApiRoute{"GET", "/api/v1/devices/{id}/preview"},
    ApiRoute{"GET", "/api/v1/devices/{id}/settings"},
    ApiRoute{"PUT", "/api/v1/devices/{id}/settings"},
    ApiRoute{"GET", "/api/v1/layouts"},
    ApiRoute{"PUT", "/api/v1/settings"},
    ApiRoute{"GET", "/api/v1/presets"},
    ApiRoute{"DELETE", "/api/v1/presets/{name}"},
    ApiRoute{"POST", "/api/v1/presets/{name}/recall"},
    ApiRoute{"POST", "/api/v1/devices/{id}/presets/{name}/save"},
    ApiRoute{"POST", "/api/v1/devices/{id}/presets/{name}/recall"},
    ApiRoute{"POST", "/api/v1/search"},
    ApiRoute{"GET", "/api/v1/events"},
    ApiRoute{"GET", "/api/v1/openapi.json"},
};

HttpAnswer JsonAnswer(int status, const Json& body) {
  return {status, "application/json", body.dump(), {}};
}

HttpAnswer ErrorAnswer(int status, std::string message) {
  return JsonAnswer(status, {{"ok", false}, {"error", std::move(message)}});
}

HttpAnswer Unauthorized() {
  HttpAnswer answer = ErrorAnswer(401, "a valid token is needed: Authorization: Bearer TOKEN");
  answer.headers.emplace_back("WWW-Authenticate", "Bearer");
  return answer;
}

std::vector<std::string> Segments(std::string_view path) {
  std::vector<std::string> segments;
  while (!path.empty()) {
    const std::size_t slash = path.find('/');
    if (slash != 0) {
      segments.emplace_back(path.substr(0, slash));
    }
    if (slash == std::string_view::npos) {
      break;
    }
    path.remove_prefix(slash + 1);
  }
  return segments;
}

// The route pattern the path matches, and whether the method is one it takes.
struct Match {
  const ApiRoute* route = nullptr;
  bool pathKnown = false;
};

// Each route's path split once, in the order of kRoutes.
const std::vector<std::vector<std::string>>& RoutePatterns() {
  static const std::vector<std::vector<std::string>> patterns = [] {
    std::vector<std::vector<std::string>> split;
    for (const ApiRoute& route : kRoutes) {
      split.push_back(Segments(route.path));
    }
    return split;
  }();
  return patterns;
}

Match MatchRoute(std::string_view method, const std::vector<std::string>& segments) {
  Match match;
  for (std::size_t r = 0; r < kRoutes.size(); ++r) {
    const ApiRoute& route = kRoutes[r];
    const std::vector<std::string>& pattern = RoutePatterns()[r];
    if (pattern.size() != segments.size() ||
        !std::ranges::equal(pattern, segments, [](const std::string& want, const std::string& is) {
          return want.starts_with('{') ? !is.empty() : want == is;
        })) {
      continue;
    }
    match.pathKnown = true;
    if (route.method == method) {
      match.route = &route;
      return match;
    }
  }
  return match;
}

// A request for several devices names them in ?devices=ID,ID,...
constexpr std::size_t kMaxDevicesAtOnce = 64;

std::optional<std::vector<std::string>> DeviceIds(const HttpRequest& request,
                                                  std::string& problem) {
  const auto listed = request.query.find("devices");
  std::vector<std::string> ids;
  if (listed != request.query.end()) {
    std::string_view rest = listed->second;
    while (!rest.empty() && ids.size() <= kMaxDevicesAtOnce) {
      const std::size_t comma = rest.find(',');
      ids.emplace_back(rest.substr(0, comma));
      rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
  }
  if (ids.empty() || ids.size() > kMaxDevicesAtOnce ||
      std::ranges::any_of(ids, [](const std::string& id) { return id.empty(); })) {
    problem = "?devices= names 1 to " + std::to_string(kMaxDevicesAtOnce) +
              " device ids, separated by commas";
    return std::nullopt;
  }
  return ids;
}

bool DryRunAsked(const HttpRequest& request) {
  const auto dryRun = request.query.find("dry_run");
  return dryRun != request.query.end() && (dryRun->second == "1" || dryRun->second == "true");
}

HttpAnswer AnswerOf(const HubAnswer& answer) {
  return JsonAnswer(answer.status, answer.body);
}

}  // namespace

std::optional<std::vector<std::string>> ParseCommandBody(std::string_view body,
                                                         std::string& problem) {
  const Json document = Json::parse(body, nullptr, false);
  if (document.is_discarded() || !document.is_object()) {
    problem = "the body is not a JSON object";
    return std::nullopt;
  }
  const auto args = document.find("args");
  if (args == document.end() || !args->is_array() || args->empty() || args->size() > kMaxWords) {
    problem = "args must be a list of 1 to " + std::to_string(kMaxWords) + " words";
    return std::nullopt;
  }
  std::vector<std::string> words;
  for (const Json& word : *args) {
    if (!word.is_string() || word.get_ref<const std::string&>().size() > kMaxWordBytes) {
      problem = "each word of args must be a string of at most " + std::to_string(kMaxWordBytes) +
                " bytes";
      return std::nullopt;
    }
    words.push_back(word.get<std::string>());
  }
  return words;
}

std::span<const ApiRoute> ApiRoutes() {
  return kRoutes;
}

ApiService::ApiService(DeviceHub& hub, std::optional<AccessToken> token)
    : hub_(hub), token_(std::move(token)) {}

void ApiService::Handle(HttpRequest request, Respond respond) {
  if (request.method == "GET") {
    if (std::optional<HttpAnswer> page = PageResource(request.path)) {
      return respond(std::move(*page));
    }
  }
  if (token_ && !token_->Admits(request.authorization)) {
    return respond(Unauthorized());
  }
  const std::vector<std::string> segments = Segments(request.path);
  const Match match = MatchRoute(request.method, segments);
  if (match.route == nullptr) {
    return respond(match.pathKnown
                       ? ErrorAnswer(405, request.method + " is not taken at " + request.path)
                       : ErrorAnswer(404, "no such route: " + request.path));
  }
  if (match.route->path == "/api/v1/openapi.json") {
    return respond({200, "application/json", std::string(OpenApiDocument()), {}});
  }
  if (match.route->path == "/api/v1/layouts") {
    static const std::string layouts = LayoutsDocument().dump();
    return respond({200, "application/json", layouts, {}});
  }
  if (match.route->path == "/api/v1/events") {
    return respond(ErrorAnswer(400, "the events are a WebSocket: ask for an upgrade"));
  }
  Route(*match.route, request, segments, std::move(respond));
}

void ApiService::Route(const ApiRoute& route, const HttpRequest& request,
                       const std::vector<std::string>& segments, Respond respond) {
  DeviceHub& hub = hub_;
  // The work runs on the hub's thread, and its answer goes back from there.
  const auto post = [&hub, &respond](std::function<HubAnswer()> work) {
    hub.Post([respond, work = std::move(work)] { respond(AnswerOf(work())); });
  };
  const std::string_view path = route.path;
  const std::string id = segments.size() > 3 ? segments[3] : std::string();
  const bool dryRun = DryRunAsked(request);
  if (path.starts_with("/api/v1/devices/{id}/presets/") || path.starts_with("/api/v1/presets/")) {
    const std::string& name = path.starts_with("/api/v1/presets/") ? segments[3] : segments[5];
    if (const std::optional<std::string> refused = CheckPresetName(name)) {
      return respond(ErrorAnswer(400, *refused));
    }
    if (path.ends_with("/save")) {
      return post([&hub, id, name] { return hub.SavePreset(id, name); });
    }
    if (path.starts_with("/api/v1/devices/")) {
      return post([&hub, id, name, dryRun] { return hub.RecallPreset(id, name, dryRun); });
    }
    if (request.method == "DELETE") {
      return post([&hub, name] { return hub.DeletePreset(name); });
    }
  }
  if (path == "/api/v1/presets/{name}/recall" || path == "/api/v1/settings") {
    std::string problem;
    std::optional<std::vector<std::string>> ids = DeviceIds(request, problem);
    if (!ids) {
      return respond(ErrorAnswer(400, problem));
    }
    if (path == "/api/v1/settings") {
      return post([&hub, ids = std::move(*ids), body = request.body, dryRun] {
        return hub.OnEachDevice(
            ids, [&](const std::string& each) { return hub.ImportSettings(each, body, dryRun); });
      });
    }
    return post([&hub, ids = std::move(*ids), name = segments[3], dryRun] {
      return hub.OnEachDevice(
          ids, [&](const std::string& each) { return hub.RecallPreset(each, name, dryRun); });
    });
  }
  if (path == "/api/v1/presets") {
    return post([&hub] { return hub.ListPresets(); });
  }
  if (path == "/api/v1/search") {
    return post([&hub] { return hub.SearchNow(); });
  }
  if (path == "/api/v1/devices") {
    return post([&hub] { return hub.ListDevices(); });
  }
  if (path == "/api/v1/devices/{id}") {
    return post([&hub, id] { return hub.DeviceState(id); });
  }
  if (path == "/api/v1/devices/{id}/command") {
    std::string problem;
    std::optional<std::vector<std::string>> words = ParseCommandBody(request.body, problem);
    if (!words) {
      return respond(ErrorAnswer(400, problem));
    }
    return post([&hub, id, words = std::move(*words)] { return hub.RunCommand(id, words); });
  }
  if (path == "/api/v1/devices/{id}/preview") {
    return post([&hub, id] { return hub.Preview(id); });
  }
  if (request.method == "GET") {
    return post([&hub, id] { return hub.ExportSettings(id); });
  }
  post([&hub, id, body = request.body, dryRun] { return hub.ImportSettings(id, body, dryRun); });
}

std::optional<HttpAnswer> ApiService::CheckUpgrade(const HttpRequest& request) {
  if (request.path != std::string(kPrefix) + "/events") {
    return ErrorAnswer(404, "no event socket at " + request.path);
  }
  const auto offered = request.query.find("access_token");
  if (token_ && !token_->Admits(request.authorization) &&
      !(offered != request.query.end() && token_->Matches(offered->second))) {
    return Unauthorized();
  }
  return std::nullopt;
}

std::vector<std::string> ApiService::EventSocketOpened() {
  return {hub_.DevicesSnapshot()};
}

}  // namespace quintara::server
