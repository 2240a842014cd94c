#include <exception>

#include "server/http/Transport.h"

namespace quintara::server::transport {
namespace {

// Event sockets only push; anything bigger a client sends is not a reply to us.
constexpr std::size_t kIncomingMessageMax = 4 * 1024;

}  // namespace

EventSocket::EventSocket(ServiceCore& core, beast::tcp_stream stream,
                         http::request<http::string_body> upgrade, ClientSlot slot)
    : core_(core), ws_(std::move(stream)), upgrade_(std::move(upgrade)), slot_(std::move(slot)) {}

EventSocket::~EventSocket() {
  Finish();
}

void EventSocket::Start() {
  // The server role's suggestion pings a quiet client, so one that only listens stays.
  ws_.set_option(websocket::stream_base::timeout::suggested(beast::role_type::server));
  ws_.set_option(websocket::stream_base::decorator([](websocket::response_type& response) {
    response.set(http::field::server, "quintara-server");
  }));
  ws_.read_message_max(kIncomingMessageMax);
  ws_.async_accept(upgrade_,
                   [self = shared_from_this()](beast::error_code ec) { self->OnAccepted(ec); });
}

void EventSocket::OnAccepted(beast::error_code ec) {
  upgrade_ = {};
  if (ec) {
    return;
  }
  open_ = true;
  ++core_.eventSockets;
  core_.events.emplace(this, weak_from_this());
  Greet();
  Read();
}

void EventSocket::Greet() {
  std::vector<std::string> greeting;
  try {
    greeting = core_.handler.EventSocketOpened();
  } catch (const std::exception&) {
    Close();
    return;
  }
  for (auto& text : greeting) {
    Send(std::make_shared<const std::string>(std::move(text)));
  }
}

void EventSocket::Send(const std::shared_ptr<const std::string>& text) {
  if (!open_) {
    return;
  }
  if (queue_.size() >= core_.limits.maxQueuedEvents) {
    Close();
    return;
  }
  queue_.push_back(text);
  if (!writing_) {
    WriteNext();
  }
}

void EventSocket::Close() {
  Finish();
  beast::get_lowest_layer(ws_).close();
}

void EventSocket::Read() {
  ws_.async_read(incoming_, [self = shared_from_this()](beast::error_code ec, std::size_t) {
    if (ec) {
      self->Close();
      return;
    }
    self->incoming_.consume(self->incoming_.size());
    self->Read();
  });
}

void EventSocket::WriteNext() {
  writing_ = true;
  ws_.text(true);
  // The handler holds the text too: closing clears the queue while the write may still run.
  const auto& text = queue_.front();
  ws_.async_write(asio::buffer(*text),
                  [self = shared_from_this(), text](beast::error_code ec, std::size_t) {
                    self->writing_ = false;
                    if (ec || !self->open_) {
                      self->Close();
                      return;
                    }
                    self->queue_.pop_front();
                    if (!self->queue_.empty()) {
                      self->WriteNext();
                    }
                  });
}

void EventSocket::Finish() {
  if (!open_) {
    return;
  }
  open_ = false;
  --core_.eventSockets;
  core_.events.erase(this);
  queue_.clear();
  slot_.reset();
}

}  // namespace quintara::server::transport
