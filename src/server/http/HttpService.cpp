#include "server/http/HttpService.h"

#include <boost/asio/steady_timer.hpp>
#include <thread>
#include <vector>

#include "server/http/Transport.h"

namespace quintara::server {

using namespace transport;

namespace {

// After a failed accept (out of descriptors, say) the next try waits a moment rather than spin.
constexpr std::chrono::milliseconds kAcceptRetry{100};

}  // namespace

class HttpService::Impl {
 public:
  Impl(HttpHandler& handler, HttpLimits limits) : core_(handler, limits) {}

  bool Listen(const std::string& address, std::uint16_t port, std::string& error);
  std::uint16_t Port() const { return port_; }
  void Start();
  void Stop();
  void Broadcast(std::string text);
  std::size_t EventSocketCount() const { return core_.eventSockets; }
  std::size_t ClientCount() const { return core_.clients; }

 private:
  void Accept();
  void Admit(tcp::socket socket);
  void CloseAll();

  ServiceCore core_;
  tcp::acceptor acceptor_{core_.io};
  asio::steady_timer retry_{core_.io};
  std::atomic<std::uint16_t> port_{0};
  std::atomic<bool> stopped_{false};
  std::thread thread_;
};

bool HttpService::Impl::Listen(const std::string& address, std::uint16_t port, std::string& error) {
  beast::error_code ec;
  const auto ip = asio::ip::make_address(address, ec);
  if (ec) {
    error = "invalid address " + address;
    return false;
  }
  const tcp::endpoint endpoint(ip, port);
  acceptor_.open(endpoint.protocol(), ec);
  if (!ec) {
    acceptor_.set_option(asio::socket_base::reuse_address(true), ec);
  }
  if (!ec) {
    acceptor_.bind(endpoint, ec);
  }
  if (!ec) {
    acceptor_.listen(asio::socket_base::max_listen_connections, ec);
  }
  if (ec) {
    error = "cannot listen on " + address + ":" + std::to_string(port) + ": " + ec.message();
    acceptor_.close(ec);
    return false;
  }
  port_ = acceptor_.local_endpoint().port();
  return true;
}

void HttpService::Impl::Start() {
  if (thread_.joinable() || stopped_) {
    return;
  }
  if (acceptor_.is_open()) {
    Accept();
  }
  thread_ = std::thread([this] { core_.io.run(); });
}

void HttpService::Impl::Stop() {
  if (stopped_.exchange(true)) {
    return;
  }
  if (!thread_.joinable()) {
    CloseAll();
    core_.lifeline->Cut();
    return;
  }
  // With every socket closed the context runs out of work and its thread ends by itself.
  asio::post(core_.io, [this] { CloseAll(); });
  core_.lifeline->Cut();
  thread_.join();
}

void HttpService::Impl::Broadcast(std::string text) {
  if (stopped_) {
    return;
  }
  // One buffer shared by every socket's queue.
  auto shared = std::make_shared<const std::string>(std::move(text));
  core_.lifeline->Post([this, shared = std::move(shared)] {
    std::vector<std::shared_ptr<EventSocket>> sockets;
    sockets.reserve(core_.events.size());
    for (const auto& [key, socket] : core_.events) {
      if (auto open = socket.lock()) {
        sockets.push_back(std::move(open));
      }
    }
    // Sending may close a socket that fell behind, and that changes the registry.
    for (const auto& socket : sockets) {
      socket->Send(shared);
    }
  });
}

void HttpService::Impl::Accept() {
  acceptor_.async_accept([this](beast::error_code ec, tcp::socket socket) {
    if (ec == asio::error::operation_aborted || !acceptor_.is_open()) {
      return;
    }
    if (ec) {
      retry_.expires_after(kAcceptRetry);
      retry_.async_wait([this](beast::error_code waited) {
        if (!waited) {
          Accept();
        }
      });
      return;
    }
    Admit(std::move(socket));
    Accept();
  });
}

void HttpService::Impl::Admit(tcp::socket socket) {
  auto slot = ClientSlot::Take(core_.clients, core_.limits.maxClients);
  std::make_shared<HttpConnection>(core_, std::move(socket), std::move(slot))->Start();
}

void HttpService::Impl::CloseAll() {
  beast::error_code ignored;
  acceptor_.close(ignored);
  retry_.cancel();
  // Closing takes each one out of its registry, so the registries are walked on copies.
  std::vector<std::shared_ptr<HttpConnection>> connections;
  for (const auto& [key, connection] : core_.connections) {
    if (auto open = connection.lock()) {
      connections.push_back(std::move(open));
    }
  }
  std::vector<std::shared_ptr<EventSocket>> sockets;
  for (const auto& [key, socket] : core_.events) {
    if (auto open = socket.lock()) {
      sockets.push_back(std::move(open));
    }
  }
  for (const auto& connection : connections) {
    connection->Close();
  }
  for (const auto& socket : sockets) {
    socket->Close();
  }
}

HttpService::HttpService(HttpHandler& handler, HttpLimits limits)
    : impl_(std::make_unique<Impl>(handler, limits)) {}

HttpService::~HttpService() {
  Stop();
}

bool HttpService::Listen(const std::string& address, std::uint16_t port, std::string& error) {
  return impl_->Listen(address, port, error);
}

std::uint16_t HttpService::Port() const {
  return impl_->Port();
}
void HttpService::Start() {
  impl_->Start();
}
void HttpService::Stop() {
  impl_->Stop();
}
void HttpService::Broadcast(std::string text) {
  impl_->Broadcast(std::move(text));
}
std::size_t HttpService::EventSocketCount() const {
  return impl_->EventSocketCount();
}
std::size_t HttpService::ClientCount() const {
  return impl_->ClientCount();
}

}  // namespace quintara::server
