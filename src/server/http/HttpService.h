#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quintara::server {

struct HttpLimits {
  std::size_t maxBodyBytes = 64 * 1024;           // larger bodies: 413, nothing handed on
  std::size_t maxHeaderBytes = 8 * 1024;          // larger header: 431
  std::chrono::milliseconds idleTimeout{30'000};  // a connection silent this long is closed
                                                  // (HTTP keep-alive and a read in progress alike)
  std::size_t maxClients = 64;                    // HTTP connections and event sockets together;
                                                  // one more is answered 503 and closed
  std::size_t maxQueuedEvents = 1024;             // per event socket; a client that falls further
                                                  // behind is closed (it would only hold memory)
  std::size_t maxRequestsPerConnection = 0;       // 0: no limit (keep-alive)
};

struct HttpRequest {
  std::string method;                        // "GET", "POST", ...
  std::string path;                          // decoded path without the query ("/api/v1/devices/3")
  std::map<std::string, std::string> query;  // decoded ?a=1&b=x (last one wins)
  std::string body;
  std::string authorization;  // the Authorization header, as sent
  std::string contentType;
  std::string peer;  // "127.0.0.1:51234", for logs
};

struct HttpAnswer {
  int status = 200;  // outside 100-599 it goes out as 500
  std::string contentType = "application/json";
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;  // extra ones (WWW-Authenticate...)
};

// Called at most once, from any thread; the answer is dropped if the connection has gone. A
// Respond destroyed without being called answers 500, so the client is never left waiting.
using Respond = std::function<void(HttpAnswer)>;

class HttpHandler {
 public:
  // Every request that passed the limits, on the service's thread. Answer now or later. An
  // exception thrown here answers 500 (unless the answer was already given).
  virtual void Handle(HttpRequest request, Respond respond) = 0;
  // A WebSocket upgrade request (any path): an answer refuses it (sent as a plain HTTP
  // response, e.g. 401 or 404); nothing accepts it. Decided before the handshake is accepted.
  virtual std::optional<HttpAnswer> CheckUpgrade(const HttpRequest& request) = 0;
  // An accepted event socket; the returned texts are sent to it first (a greeting).
  virtual std::vector<std::string> EventSocketOpened() { return {}; }

 protected:
  ~HttpHandler() = default;
};

// The transport of quintara-server: HTTP/1.1 with keep-alive and WebSocket event sockets that
// only push, on one I/O thread of its own. It knows nothing of what the requests mean.
class HttpService {
 public:
  HttpService(HttpHandler& handler, HttpLimits limits);
  ~HttpService();  // stops and joins
  HttpService(const HttpService&) = delete;
  HttpService& operator=(const HttpService&) = delete;

  // Binds and listens (SO_REUSEADDR); false with a reason ("address in use", ...) in error.
  bool Listen(const std::string& address, std::uint16_t port, std::string& error);
  std::uint16_t Port() const;  // the bound port (Listen with port 0 picks a free one)
  void Start();                // runs the I/O on one thread of its own
  void Stop();  // closes every connection and joins; idempotent; not from the handler
  // One text message to every accepted event socket; from any thread. Each socket writes its
  // queue in order; a socket over maxQueuedEvents is closed.
  void Broadcast(std::string text);
  std::size_t EventSocketCount() const;  // thread-safe
  std::size_t ClientCount() const;       // thread-safe: connections open now

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quintara::server
