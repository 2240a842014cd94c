#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quintara::test {

using HttpHeaders = std::vector<std::pair<std::string, std::string>>;

struct HttpResult {
  int status = 0;  // 0: no answer, and error says why
  std::string body;
  std::map<std::string, std::string> headers;  // names in lower case
  std::string error;
};

// One HTTP/1.1 connection to 127.0.0.1; each call waits at most kPatienceMs, then fails.
class HttpClient {
 public:
  explicit HttpClient(std::uint16_t port);
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  HttpResult Request(const std::string& method, const std::string& target,
                     const std::string& body = "", const HttpHeaders& headers = {});
  // Bytes as they are, for requests no proper client would send.
  void SendRaw(const std::string& bytes);
  HttpResult ReadAnswer();
  // True once the server has closed the connection.
  bool AwaitClosed();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

HttpResult Http(const std::string& method, std::uint16_t port, const std::string& target,
                const std::string& body = "", const HttpHeaders& headers = {});

// A WebSocket client of 127.0.0.1:port.
class EventClient {
 public:
  EventClient(std::uint16_t port, const std::string& target = "/events",
              const HttpHeaders& headers = {});
  ~EventClient();
  EventClient(const EventClient&) = delete;
  EventClient& operator=(const EventClient&) = delete;

  bool Connected() const;
  int RefusedStatus() const;  // a refused handshake's HTTP status; 0 otherwise
  // The next text message, or nothing when none came in time or the socket closed.
  std::optional<std::string> Next(std::chrono::milliseconds wait);
  void Send(const std::string& text);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace quintara::test
