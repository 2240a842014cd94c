#include <atomic>
#include <exception>
#include <string_view>

#include "server/http/Transport.h"

namespace quintara::server::transport {
namespace {

constexpr const char* kServerName = "quintara-server";
// Bytes read and dropped after a closing answer, so that the client's unread request does not
// turn the close into a reset that could lose the answer on its way.
constexpr std::size_t kLingerBytes = 1024 * 1024;

std::string Text(beast::string_view view) {
  return std::string(view.data(), view.size());
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

// %XX escapes decoded (and '+' as a space in a query); nothing for a broken escape.
std::optional<std::string> PercentDecoded(std::string_view text, bool plusIsSpace) {
  std::string decoded;
  decoded.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%') {
      const int high = i + 2 < text.size() ? HexDigit(text[i + 1]) : -1;
      const int low = high >= 0 ? HexDigit(text[i + 2]) : -1;
      if (low < 0) {
        return std::nullopt;
      }
      decoded.push_back(static_cast<char>(high * 16 + low));
      i += 2;
    } else if (text[i] == '+' && plusIsSpace) {
      decoded.push_back(' ');
    } else {
      decoded.push_back(text[i]);
    }
  }
  return decoded;
}

// "a=1&b=x": each pair decoded, the last of a name wins; a name without '=' has an empty value.
bool DecodeQuery(std::string_view text, std::map<std::string, std::string>& query) {
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('&'), text.size());
    const std::string_view pair = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (pair.empty()) {
      continue;
    }
    const std::size_t equals = std::min(pair.find('='), pair.size());
    auto name = PercentDecoded(pair.substr(0, equals), true);
    auto value = PercentDecoded(pair.substr(std::min(equals + 1, pair.size())), true);
    if (!name || !value) {
      return false;
    }
    query.insert_or_assign(std::move(*name), std::move(*value));
  }
  return true;
}

// The target in origin form ("/path?query"); false for anything else or a broken escape.
bool DecodeTarget(std::string_view target, HttpRequest& request) {
  if (target.empty() || target.front() != '/') {
    return false;
  }
  const std::size_t mark = std::min(target.find('?'), target.size());
  auto path = PercentDecoded(target.substr(0, mark), false);
  if (!path) {
    return false;
  }
  request.path = std::move(*path);
  return DecodeQuery(target.substr(std::min(mark + 1, target.size())), request.query);
}

bool IsQuietEnd(beast::error_code ec) {
  return ec == http::error::end_of_stream || ec == http::error::partial_message ||
         ec.category() != http::make_error_code(http::error::bad_target).category();
}

std::string PeerOf(const tcp::socket& socket) {
  beast::error_code ec;
  const auto peer = socket.remote_endpoint(ec);
  if (ec) {
    return "unknown";
  }
  const auto address = peer.address();
  const std::string host = address.is_v6() ? "[" + address.to_string() + "]" : address.to_string();
  return host + ":" + std::to_string(peer.port());
}

// Hands the handler's answer to the I/O thread once; an answer never given is a 500.
class OwedAnswer {
 public:
  OwedAnswer(std::weak_ptr<HttpConnection> connection, std::shared_ptr<Lifeline> lifeline,
             std::uint64_t serial)
      : connection_(std::move(connection)), lifeline_(std::move(lifeline)), serial_(serial) {}
  OwedAnswer(const OwedAnswer&) = delete;
  OwedAnswer& operator=(const OwedAnswer&) = delete;
  ~OwedAnswer() { Give(ErrorAnswer(500, "no answer")); }

  void Give(HttpAnswer answer) {
    if (given_.exchange(true)) {
      return;
    }
    lifeline_->Post(
        [connection = connection_, serial = serial_, answer = std::move(answer)]() mutable {
          if (auto open = connection.lock()) {
            open->Answer(serial, std::move(answer));
          }
        });
  }

 private:
  std::weak_ptr<HttpConnection> connection_;
  std::shared_ptr<Lifeline> lifeline_;
  std::uint64_t serial_;
  std::atomic<bool> given_{false};
};

}  // namespace

HttpAnswer ErrorAnswer(int status, const std::string& problem) {
  return {status, "application/json", "{\"error\": \"" + problem + "\"}", {}};
}

std::optional<ClientSlot> ClientSlot::Take(std::atomic<std::size_t>& count, std::size_t limit) {
  if (count >= limit) {
    return std::nullopt;
  }
  ++count;
  return ClientSlot(count);
}

ClientSlot::~ClientSlot() {
  if (count_ != nullptr) {
    --*count_;
  }
}

HttpConnection::HttpConnection(ServiceCore& core, tcp::socket socket,
                               std::optional<ClientSlot> slot)
    : core_(core), stream_(std::move(socket)), slot_(std::move(slot)) {
  peer_ = PeerOf(stream_.socket());
}

HttpConnection::~HttpConnection() {
  core_.connections.erase(this);
}

void HttpConnection::Start() {
  core_.connections.emplace(this, weak_from_this());
  if (!slot_) {
    Refuse(503, "server busy");
    return;
  }
  ReadHeader();
}

void HttpConnection::Close() {
  awaited_ = 0;
  waiting_.reset();
  stream_.close();
}

void HttpConnection::ReadHeader() {
  parser_.emplace();
  parser_->header_limit(
      static_cast<std::uint32_t>(std::min<std::size_t>(core_.limits.maxHeaderBytes, UINT32_MAX)));
  parser_->body_limit(core_.limits.maxBodyBytes);
  stream_.expires_after(core_.limits.idleTimeout);
  http::async_read_header(
      stream_, buffer_, *parser_,
      [self = shared_from_this()](beast::error_code ec, std::size_t) { self->OnHeader(ec); });
}

void HttpConnection::OnHeader(beast::error_code ec) {
  if (ec) {
    OnReadFailed(ec);
    return;
  }
  if (parser_->is_done()) {
    OnRequest({});
    return;
  }
  // A client that asks first (curl does for larger bodies) would otherwise wait a second.
  if (beast::iequals(parser_->get()[http::field::expect], "100-continue")) {
    static constexpr std::string_view kContinue = "HTTP/1.1 100 Continue\r\n\r\n";
    asio::async_write(stream_, asio::buffer(kContinue.data(), kContinue.size()),
                      [self = shared_from_this()](beast::error_code written, std::size_t) {
                        if (!written) {
                          self->ReadBody();
                        }
                      });
    return;
  }
  ReadBody();
}

void HttpConnection::ReadBody() {
  stream_.expires_after(core_.limits.idleTimeout);
  http::async_read(
      stream_, buffer_, *parser_,
      [self = shared_from_this()](beast::error_code ec, std::size_t) { self->OnRequest(ec); });
}

void HttpConnection::OnRequest(beast::error_code ec) {
  if (ec) {
    OnReadFailed(ec);
    return;
  }
  version_ = parser_->get().version();
  ++served_;
  keepAlive_ = parser_->get().keep_alive() && (core_.limits.maxRequestsPerConnection == 0 ||
                                               served_ < core_.limits.maxRequestsPerConnection);
  auto request = Decoded();
  if (!request) {
    Refuse(400, "bad request target");
  } else if (websocket::is_upgrade(parser_->get())) {
    Upgrade(*request);
  } else {
    Dispatch(std::move(*request));
  }
}

void HttpConnection::OnReadFailed(beast::error_code ec) {
  if (ec == http::error::body_limit) {
    Refuse(413, "request body too large");
  } else if (ec == http::error::header_limit) {
    Refuse(431, "request header too large");
  } else if (!IsQuietEnd(ec)) {
    Refuse(400, "bad request");
  }
  // Otherwise the client left or stayed silent too long: nothing to answer.
}

std::optional<HttpRequest> HttpConnection::Decoded() {
  auto& message = parser_->get();
  HttpRequest request;
  if (!DecodeTarget({message.target().data(), message.target().size()}, request)) {
    return std::nullopt;
  }
  request.method = Text(message.method_string());
  request.authorization = Text(message[http::field::authorization]);
  request.contentType = Text(message[http::field::content_type]);
  request.body = std::move(message.body());
  request.peer = peer_;
  return request;
}

void HttpConnection::Dispatch(HttpRequest request) {
  awaited_ = ++serial_;
  waiting_ = shared_from_this();
  auto owed = std::make_shared<OwedAnswer>(weak_from_this(), core_.lifeline, awaited_);
  try {
    core_.handler.Handle(std::move(request),
                         [owed](HttpAnswer answer) { owed->Give(std::move(answer)); });
  } catch (const std::exception&) {
    owed->Give(ErrorAnswer(500, "internal error"));
  }
}

void HttpConnection::Answer(std::uint64_t serial, HttpAnswer answer) {
  if (serial != awaited_) {
    return;
  }
  awaited_ = 0;
  const auto self = std::move(waiting_);
  Write(std::move(answer));
}

void HttpConnection::Upgrade(const HttpRequest& request) {
  std::optional<HttpAnswer> refusal;
  try {
    refusal = core_.handler.CheckUpgrade(request);
  } catch (const std::exception&) {
    refusal = ErrorAnswer(500, "internal error");
  }
  if (refusal) {
    Write(std::move(*refusal));
    return;
  }
  // From here Beast's WebSocket timeouts watch the connection.
  stream_.expires_never();
  std::make_shared<EventSocket>(core_, std::move(stream_), parser_->release(), std::move(*slot_))
      ->Start();
}

void HttpConnection::Refuse(int status, const std::string& problem) {
  keepAlive_ = false;
  Write(ErrorAnswer(status, problem));
}

void HttpConnection::Write(HttpAnswer answer) {
  response_ = {};
  response_.version(version_);
  const bool known = answer.status >= 100 && answer.status <= 599;
  response_.result(static_cast<unsigned>(known ? answer.status : 500));
  response_.set(http::field::server, kServerName);
  if (!answer.contentType.empty()) {
    response_.set(http::field::content_type, answer.contentType);
  }
  for (const auto& [name, value] : answer.headers) {
    response_.insert(name, value);
  }
  response_.body() = std::move(answer.body);
  response_.keep_alive(keepAlive_);
  response_.prepare_payload();
  stream_.expires_after(core_.limits.idleTimeout);
  http::async_write(
      stream_, response_,
      [self = shared_from_this()](beast::error_code ec, std::size_t) { self->OnWritten(ec); });
}

void HttpConnection::OnWritten(beast::error_code ec) {
  if (ec) {
    return;
  }
  if (keepAlive_) {
    ReadHeader();
  } else {
    Linger();
  }
}

void HttpConnection::Linger() {
  beast::error_code ignored;
  stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
  drained_ = 0;
  Drain();
}

void HttpConnection::Drain() {
  stream_.expires_after(core_.limits.idleTimeout);
  stream_.async_read_some(asio::buffer(drain_),
                          [self = shared_from_this()](beast::error_code ec, std::size_t size) {
                            self->drained_ += size;
                            if (!ec && self->drained_ < kLingerBytes) {
                              self->Drain();
                            }
                          });
}

}  // namespace quintara::server::transport
