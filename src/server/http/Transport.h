#pragma once

// What the service, its HTTP connections and its event sockets share; Beast stays in here.

#include <array>
#include <atomic>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>

#include "server/http/HttpService.h"

namespace quintara::server::transport {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
using tcp = asio::ip::tcp;

// The way in from other threads (answers, broadcasts): work posted to the I/O thread while the
// service runs, dropped once it has stopped, so nothing reaches a context that is gone.
class Lifeline {
 public:
  explicit Lifeline(asio::io_context& io) : io_(&io) {}

  template <typename Work>
  bool Post(Work&& work) {
    const std::lock_guard lock(mutex_);
    if (io_ == nullptr) {
      return false;
    }
    asio::post(*io_, std::forward<Work>(work));
    return true;
  }

  void Cut() {
    const std::lock_guard lock(mutex_);
    io_ = nullptr;
  }

 private:
  std::mutex mutex_;
  asio::io_context* io_;
};

// One of the maxClients places, held by an HTTP connection and then by the event socket it
// became; given back when dropped.
class ClientSlot {
 public:
  static std::optional<ClientSlot> Take(std::atomic<std::size_t>& count, std::size_t limit);
  ClientSlot(ClientSlot&& other) noexcept : count_(std::exchange(other.count_, nullptr)) {}
  ClientSlot& operator=(ClientSlot&&) = delete;
  ~ClientSlot();

 private:
  explicit ClientSlot(std::atomic<std::size_t>& count) : count_(&count) {}
  std::atomic<std::size_t>* count_;
};

class HttpConnection;
class EventSocket;

// Lives as long as the service. Everything but the counters and the lifeline is touched on the
// I/O thread only. The context is the last member, so the connections its handlers still hold
// go before the registries they leave.
struct ServiceCore {
  ServiceCore(HttpHandler& served, HttpLimits bounds)
      : handler(served), limits(bounds), lifeline(std::make_shared<Lifeline>(io)) {}

  HttpHandler& handler;
  const HttpLimits limits;
  std::atomic<std::size_t> clients{0};
  std::atomic<std::size_t> eventSockets{0};
  std::unordered_map<const HttpConnection*, std::weak_ptr<HttpConnection>> connections;
  std::unordered_map<const EventSocket*, std::weak_ptr<EventSocket>> events;
  std::shared_ptr<Lifeline> lifeline;
  asio::io_context io{1};
};

// The answers the transport makes itself: a small JSON document naming the problem.
HttpAnswer ErrorAnswer(int status, const std::string& problem);

// One HTTP/1.1 connection: reads a request within the limits, hands it on, writes the answer,
// and again while keep-alive holds. An upgrade the handler lets through becomes an EventSocket.
class HttpConnection : public std::enable_shared_from_this<HttpConnection> {
 public:
  // Without a slot the service is full: the connection is answered 503 and closed.
  HttpConnection(ServiceCore& core, tcp::socket socket, std::optional<ClientSlot> slot);
  ~HttpConnection();
  HttpConnection(const HttpConnection&) = delete;
  HttpConnection& operator=(const HttpConnection&) = delete;

  void Start();
  void Close();
  void Answer(std::uint64_t serial, HttpAnswer answer);

 private:
  void ReadHeader();
  void OnHeader(beast::error_code ec);
  void ReadBody();
  void OnRequest(beast::error_code ec);
  void OnReadFailed(beast::error_code ec);
  std::optional<HttpRequest> Decoded();
  void Dispatch(HttpRequest request);
  void Upgrade(const HttpRequest& request);
  void Refuse(int status, const std::string& problem);
  void Write(HttpAnswer answer);
  void OnWritten(beast::error_code ec);
  void Linger();
  void Drain();

  ServiceCore& core_;
  beast::tcp_stream stream_;
  beast::flat_buffer buffer_;
  std::optional<http::request_parser<http::string_body>> parser_;
  std::optional<ClientSlot> slot_;
  std::string peer_;
  http::response<http::string_body> response_;
  unsigned version_ = 11;
  bool keepAlive_ = false;
  std::size_t served_ = 0;
  std::uint64_t serial_ = 0;
  std::uint64_t awaited_ = 0;                // the request whose answer is owed; 0: none
  std::shared_ptr<HttpConnection> waiting_;  // keeps this alive while an answer is owed
  std::array<char, 4096> drain_{};
  std::size_t drained_ = 0;
};

// An accepted WebSocket that only pushes: the greeting, then every broadcast, in order. What
// the client sends is read and dropped; ping, pong and close are Beast's.
class EventSocket : public std::enable_shared_from_this<EventSocket> {
 public:
  EventSocket(ServiceCore& core, beast::tcp_stream stream, http::request<http::string_body> upgrade,
              ClientSlot slot);
  ~EventSocket();
  EventSocket(const EventSocket&) = delete;
  EventSocket& operator=(const EventSocket&) = delete;

  void Start();
  void Send(const std::shared_ptr<const std::string>& text);
  void Close();

 private:
  void OnAccepted(beast::error_code ec);
  void Greet();
  void Read();
  void WriteNext();
  void Finish();

  ServiceCore& core_;
  websocket::stream<beast::tcp_stream> ws_;
  http::request<http::string_body> upgrade_;
  std::optional<ClientSlot> slot_;
  beast::flat_buffer incoming_;
  std::deque<std::shared_ptr<const std::string>> queue_;  // the front one is being written
  bool open_ = false;
  bool writing_ = false;
};

}  // namespace quintara::server::transport
