#include "support/HttpClient.h"

#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>

#include "support/Patience.h"

namespace quintara::test {
namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
using tcp = asio::ip::tcp;
using Clock = std::chrono::steady_clock;

const tcp::endpoint Loopback(std::uint16_t port) {
  return {asio::ip::make_address_v4("127.0.0.1"), port};
}

// Runs the context until the operation has set its flag or the deadline passed.
void RunUntil(asio::io_context& io, const bool& done, Clock::time_point deadline) {
  while (!done && Clock::now() < deadline) {
    if (io.stopped()) {
      io.restart();
    }
    io.run_one_until(deadline);
  }
}

void RunFor(asio::io_context& io, const bool& done) {
  RunUntil(io, done, Clock::now() + kPatience);
}

std::string Lower(std::string text) {
  for (char& c : text) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return text;
}

}  // namespace

struct HttpClient::State {
  explicit State(std::uint16_t serverPort) : stream(io), port(serverPort) {
    bool done = false;
    stream.expires_after(kPatience);
    stream.async_connect(Loopback(serverPort), [&](beast::error_code ec) {
      error = ec;
      done = true;
    });
    RunFor(io, done);
  }

  void Write(const std::string& bytes) {
    bool done = false;
    stream.expires_after(kPatience);
    asio::async_write(stream, asio::buffer(bytes), [&](beast::error_code ec, std::size_t) {
      error = ec;
      done = true;
    });
    RunFor(io, done);
  }

  asio::io_context io;
  beast::tcp_stream stream;
  beast::flat_buffer buffer;
  beast::error_code error;
  std::uint16_t port;
};

HttpClient::HttpClient(std::uint16_t port) : state_(std::make_unique<State>(port)) {}
HttpClient::~HttpClient() = default;

HttpResult HttpClient::Request(const std::string& method, const std::string& target,
                               const std::string& body, const HttpHeaders& headers) {
  http::request<http::string_body> request;
  request.method_string(method);
  request.target(target);
  request.set(http::field::host, "127.0.0.1:" + std::to_string(state_->port));
  for (const auto& [name, value] : headers) {
    request.set(name, value);
  }
  request.body() = body;
  request.prepare_payload();
  bool done = false;
  state_->stream.expires_after(kPatience);
  http::async_write(state_->stream, request, [&](beast::error_code ec, std::size_t) {
    state_->error = ec;
    done = true;
  });
  RunFor(state_->io, done);
  return ReadAnswer();
}

void HttpClient::SendRaw(const std::string& bytes) {
  state_->Write(bytes);
}

HttpResult HttpClient::ReadAnswer() {
  HttpResult result;
  if (state_->error) {
    result.error = state_->error.message();
    return result;
  }
  http::response<http::string_body> response;
  bool done = false;
  state_->stream.expires_after(kPatience);
  http::async_read(state_->stream, state_->buffer, response,
                   [&](beast::error_code ec, std::size_t) {
                     state_->error = ec;
                     done = true;
                   });
  RunFor(state_->io, done);
  if (!done || state_->error) {
    result.error = done ? state_->error.message() : "no answer in time";
    return result;
  }
  result.status = static_cast<int>(response.result_int());
  result.body = response.body();
  for (const auto& field : response) {
    result.headers[Lower(std::string(field.name_string()))] = std::string(field.value());
  }
  return result;
}

bool HttpClient::AwaitClosed() {
  char byte = 0;
  bool done = false;
  state_->stream.expires_after(kPatience);
  state_->stream.async_read_some(asio::buffer(&byte, 1), [&](beast::error_code ec, std::size_t) {
    state_->error = ec;
    done = true;
  });
  RunFor(state_->io, done);
  return done && state_->error && state_->error != beast::error::timeout;
}

HttpResult Http(const std::string& method, std::uint16_t port, const std::string& target,
                const std::string& body, const HttpHeaders& headers) {
  return HttpClient(port).Request(method, target, body, headers);
}

struct EventClient::State {
  State() : ws(io) {}

  asio::io_context io;
  websocket::stream<beast::tcp_stream> ws;
  beast::flat_buffer incoming;
  bool connected = false;
  int refusedStatus = 0;
  bool reading = false;
  bool received = false;
  beast::error_code readError;
};

EventClient::EventClient(std::uint16_t port, const std::string& target, const HttpHeaders& headers)
    : state_(std::make_unique<State>()) {
  auto& ws = state_->ws;
  bool done = false;
  beast::error_code error;
  beast::get_lowest_layer(ws).expires_after(kPatience);
  beast::get_lowest_layer(ws).async_connect(Loopback(port), [&](beast::error_code ec) {
    error = ec;
    done = true;
  });
  RunFor(state_->io, done);
  if (!done || error) {
    return;
  }
  ws.set_option(websocket::stream_base::decorator([headers](websocket::request_type& request) {
    for (const auto& [name, value] : headers) {
      request.set(name, value);
    }
  }));
  websocket::response_type response;
  done = false;
  ws.async_handshake(response, "127.0.0.1:" + std::to_string(port), target,
                     [&](beast::error_code ec) {
                       error = ec;
                       done = true;
                     });
  RunFor(state_->io, done);
  state_->connected = done && !error;
  if (done && error == websocket::error::upgrade_declined) {
    state_->refusedStatus = static_cast<int>(response.result_int());
  }
  beast::get_lowest_layer(ws).expires_never();
}

EventClient::~EventClient() = default;

bool EventClient::Connected() const {
  return state_->connected;
}
int EventClient::RefusedStatus() const {
  return state_->refusedStatus;
}

std::optional<std::string> EventClient::Next(std::chrono::milliseconds wait) {
  if (!state_->connected) {
    return std::nullopt;
  }
  // A read that outlasts its wait stays pending for the next call.
  if (!state_->reading) {
    state_->reading = true;
    state_->received = false;
    state_->ws.async_read(state_->incoming, [this](beast::error_code ec, std::size_t) {
      state_->readError = ec;
      state_->received = true;
    });
  }
  RunUntil(state_->io, state_->received, Clock::now() + wait);
  if (!state_->received) {
    return std::nullopt;
  }
  state_->reading = false;
  if (state_->readError) {
    state_->connected = false;
    return std::nullopt;
  }
  std::string text = beast::buffers_to_string(state_->incoming.data());
  state_->incoming.consume(state_->incoming.size());
  return text;
}

void EventClient::Send(const std::string& text) {
  bool done = false;
  state_->ws.async_write(asio::buffer(text), [&](beast::error_code, std::size_t) { done = true; });
  RunFor(state_->io, done);
}

}  // namespace quintara::test
