#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "server/api/AccessToken.h"
#include "server/http/HttpService.h"
#include "server/hub/DeviceHub.h"

namespace quintara::server {

// One route of the API, as the OpenAPI document names it.
struct ApiRoute {
  std::string_view method;  // "GET", "POST", "PUT"
  std::string_view path;    // "/api/v1/devices/{id}"
};

// Every route the service answers; the OpenAPI document lists exactly these.
std::span<const ApiRoute> ApiRoutes();

// The words of a command's body, {"args": ["layout", "60"]}: a bounded list of strings. Nothing,
// with the reason in problem, for a body that is not one.
std::optional<std::vector<std::string>> ParseCommandBody(std::string_view body,
                                                         std::string& problem);

// The OpenAPI document served at /api/v1/openapi.json.
std::string_view OpenApiDocument();

// The HTTP face of the hub: checks the token, routes each request, checks what it carries
// before anything reaches a device, and answers once the hub's thread has served it.
class ApiService final : public HttpHandler {
 public:
  // Without a token every request is let in (the service then listens on loopback only).
  ApiService(DeviceHub& hub, std::optional<AccessToken> token);

  void Handle(HttpRequest request, Respond respond) override;
  std::optional<HttpAnswer> CheckUpgrade(const HttpRequest& request) override;
  std::vector<std::string> EventSocketOpened() override;

 private:
  // The hub's answer to a request for one device, on the hub's thread.
  void Route(const ApiRoute& route, const HttpRequest& request,
             const std::vector<std::string>& segments, Respond respond);

  DeviceHub& hub_;
  std::optional<AccessToken> token_;
};

}  // namespace quintara::server
