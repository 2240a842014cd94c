#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <thread>

#include "server/http/HttpService.h"
#include "support/HttpClient.h"
#include "support/Patience.h"

namespace quintara::server {
namespace {

using test::AwaitCondition;
using test::EventClient;
using test::Http;
using test::HttpClient;
using test::HttpHeaders;
using namespace std::chrono_literals;

// Records what reaches it; answers at once with the request count, or holds the answers back.
class RecordingHandler final : public HttpHandler {
 public:
  void Handle(HttpRequest request, Respond respond) override {
    const std::lock_guard lock(mutex_);
    requests_.push_back(std::move(request));
    if (holding_) {
      held_.push_back(std::move(respond));
    } else {
      respond({200,
               "application/json",
               "{\"seen\": " + std::to_string(requests_.size()) + "}",
               {{"X-Path", requests_.back().path}}});
    }
  }
  // Event sockets need "Bearer good"; anything else is refused with 401 and a challenge.
  std::optional<HttpAnswer> CheckUpgrade(const HttpRequest& request) override {
    const std::lock_guard lock(mutex_);
    upgrades_.push_back(request);
    if (request.authorization == "Bearer good") {
      return std::nullopt;
    }
    return HttpAnswer{401, "application/json", "{}", {{"WWW-Authenticate", "Bearer"}}};
  }
  std::vector<std::string> EventSocketOpened() override { return {"hello", "world"}; }

  void Hold() { holding_ = true; }
  std::vector<HttpRequest> Requests() {
    const std::lock_guard lock(mutex_);
    return requests_;
  }
  std::vector<HttpRequest> Upgrades() {
    const std::lock_guard lock(mutex_);
    return upgrades_;
  }
  std::size_t HeldCount() {
    const std::lock_guard lock(mutex_);
    return held_.size();
  }
  Respond TakeHeld() {
    const std::lock_guard lock(mutex_);
    Respond respond = std::move(held_.front());
    held_.erase(held_.begin());
    return respond;
  }

 private:
  std::mutex mutex_;
  std::atomic<bool> holding_{false};
  std::vector<HttpRequest> requests_;
  std::vector<HttpRequest> upgrades_;
  std::vector<Respond> held_;
};

class HttpServiceTest : public ::testing::Test {
 protected:
  void Serve(HttpLimits limits = {}) {
    service_.emplace(handler_, limits);
    std::string error;
    ASSERT_TRUE(service_->Listen("127.0.0.1", 0, error)) << error;
    service_->Start();
  }
  std::uint16_t Port() const { return service_->Port(); }
  bool AwaitClients(std::size_t count) {
    return AwaitCondition([&] { return service_->ClientCount() == count; });
  }
  // Waits until the handler holds a request's answer back.
  bool AwaitHeld() {
    return AwaitCondition([&] { return handler_.HeldCount() == 1; });
  }
  bool AwaitEventSockets(std::size_t count) {
    return AwaitCondition([&] { return service_->EventSocketCount() == count; });
  }

  RecordingHandler handler_;
  std::optional<HttpService> service_;
};

TEST_F(HttpServiceTest, RequestsReachTheHandlerDecoded) {
  struct Case {
    std::string method, target, body;
    HttpHeaders headers;
    std::string path;
    std::map<std::string, std::string> query;
  };
  const std::vector<Case> cases = {
      {"GET", "/api/v1/devices/3", "", {}, "/api/v1/devices/3", {}},
      {"GET",
       "/api/v1/devices?name=MV%2016&x=1&x=2",
       "",
       {},
       "/api/v1/devices",
       {{"name", "MV 16"}, {"x", "2"}}},
      {"GET",
       "/a%20b/c+d?q=a+b&flag&&e=%3D%26",
       "",
       {},
       "/a b/c+d",
       {{"q", "a b"}, {"flag", ""}, {"e", "=&"}}},
      {"POST",
       "/api/v1/devices/3/layout",
       "{\"layout\": 4}",
       {{"Authorization", "Bearer abc"}, {"Content-Type", "application/json"}},
       "/api/v1/devices/3/layout",
       {}},
  };
  Serve();
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    const auto answer = Http(c.method, Port(), c.target, c.body, c.headers);
    EXPECT_EQ(answer.status, 200) << c.target << answer.error;
    EXPECT_EQ(answer.body, "{\"seen\": " + std::to_string(i + 1) + "}");
    EXPECT_EQ(answer.headers.at("server"), "quintara-server");
    EXPECT_EQ(answer.headers.at("x-path"), c.path);
    const HttpRequest seen = handler_.Requests().at(i);
    EXPECT_EQ(seen.method, c.method);
    EXPECT_EQ(seen.path, c.path);
    EXPECT_EQ(seen.query, c.query) << c.target;
    EXPECT_EQ(seen.body, c.body);
    EXPECT_EQ(seen.authorization, c.body.empty() ? "" : "Bearer abc");
    EXPECT_EQ(seen.contentType, c.body.empty() ? "" : "application/json");
    EXPECT_EQ(seen.peer.rfind("127.0.0.1:", 0), 0u) << seen.peer;
  }
}

TEST_F(HttpServiceTest, KeepAliveServesRequestsOnOneConnectionUpToTheLimit) {
  HttpLimits limits;
  limits.maxRequestsPerConnection = 3;
  Serve(limits);
  HttpClient client(Port());
  for (int i = 1; i <= 3; ++i) {
    const auto answer = client.Request("GET", "/n");
    EXPECT_EQ(answer.status, 200) << answer.error;
    EXPECT_EQ(answer.headers.count("connection"), i == 3 ? 1u : 0u);
    EXPECT_EQ(service_->ClientCount(), 1u);
  }
  EXPECT_TRUE(client.AwaitClosed());
  const auto seen = handler_.Requests();
  EXPECT_EQ(seen.front().peer, seen.back().peer);
}

TEST_F(HttpServiceTest, ExpectContinueIsAnsweredBeforeTheBody) {
  Serve();
  HttpClient client(Port());
  client.SendRaw(
      "POST /x HTTP/1.1\r\nHost: h\r\nContent-Length: 5\r\nExpect: 100-continue\r\n\r\n");
  EXPECT_EQ(client.ReadAnswer().status, 100);
  client.SendRaw("hello");
  EXPECT_EQ(client.ReadAnswer().status, 200);
  EXPECT_EQ(handler_.Requests().at(0).body, "hello");
}

TEST_F(HttpServiceTest, AnAnswerGivenLaterFromAnotherThreadReachesTheClient) {
  handler_.Hold();
  Serve();
  auto answer = std::async(std::launch::async, [port = Port()] { return Http("GET", port, "/"); });
  ASSERT_TRUE(AwaitHeld());
  std::thread([respond = handler_.TakeHeld()] {
    respond({202, "text/plain", "later", {}});
  }).join();
  const auto result = answer.get();
  EXPECT_EQ(result.status, 202);
  EXPECT_EQ(result.body, "later");
  EXPECT_EQ(result.headers.at("content-type"), "text/plain");
}

// The handler's answers, whenever and however they come, never crash the service or reach the
// wrong request; one never given (or lost to an exception) is a 500.
TEST_F(HttpServiceTest, LateDoubleAndMissingAnswersAreHandledSoundly) {
  handler_.Hold();
  Serve();
  {
    HttpClient leaving(Port());
    leaving.SendRaw("GET /gone HTTP/1.1\r\nHost: h\r\n\r\n");
    ASSERT_TRUE(AwaitHeld());
  }
  const Respond late = handler_.TakeHeld();
  late({200, "", "for nobody", {}});
  late({200, "", "twice", {}});
  EXPECT_TRUE(AwaitClients(0));

  HttpClient client(Port());
  auto first = std::async(std::launch::async, [&] { return client.Request("GET", "/1"); });
  ASSERT_TRUE(AwaitHeld());
  (void)handler_.TakeHeld();  // dropped without an answer
  const auto dropped = first.get();
  EXPECT_EQ(dropped.status, 500);
  EXPECT_EQ(dropped.body, R"({"error": "no answer"})");

  auto second = std::async(std::launch::async, [&] { return client.Request("GET", "/2"); });
  ASSERT_TRUE(AwaitHeld());
  const Respond afterStop = handler_.TakeHeld();
  service_.reset();
  afterStop({200, "", "after the service", {}});
  EXPECT_EQ(second.get().status, 0);
}

TEST_F(HttpServiceTest, RequestsOutsideTheLimitsAreRefusedAndNeverHandedOn) {
  struct Case {
    std::string name, bytes;
    int status;
    std::string problem;
  };
  const std::string head = "POST /x HTTP/1.1\r\nHost: h\r\n";
  const std::vector<Case> cases = {
      {"body over the limit", head + "Content-Length: 70000\r\n\r\n" + std::string(70000, 'b'), 413,
       "request body too large"},
      {"chunked body over the limit",
       head + "Transfer-Encoding: chunked\r\n\r\n10000\r\n" + std::string(0x10000, 'b') +
           "\r\n10000\r\n" + std::string(0x10000, 'b') + "\r\n0\r\n\r\n",
       413, "request body too large"},
      {"header over the limit", head + "X-Big: " + std::string(9000, 'h') + "\r\n\r\n", 431,
       "request header too large"},
      {"garbage", "HELLO THERE\r\n\r\n", 400, "bad request"},
      {"bad length", head + "Content-Length: ten\r\n\r\n", 400, "bad request"},
      {"broken escape", "GET /a%zz HTTP/1.1\r\nHost: h\r\n\r\n", 400, "bad request target"},
  };
  Serve();
  for (const Case& c : cases) {
    HttpClient client(Port());
    client.SendRaw(c.bytes);
    auto answer = client.ReadAnswer();
    EXPECT_EQ(answer.status, c.status) << c.name << answer.error;
    EXPECT_EQ(answer.body, "{\"error\": \"" + c.problem + "\"}") << c.name;
    EXPECT_EQ(answer.headers["content-type"], "application/json") << c.name;
    EXPECT_EQ(answer.headers["connection"], "close") << c.name;
    EXPECT_TRUE(client.AwaitClosed()) << c.name;
  }
  EXPECT_TRUE(handler_.Requests().empty());
}

TEST_F(HttpServiceTest, OneClientOverTheLimitIsAnswered503UntilAnotherLeaves) {
  HttpLimits limits;
  limits.maxClients = 2;
  Serve(limits);
  HttpClient idle(Port());
  auto events = std::make_unique<EventClient>(Port(), "/events",
                                              HttpHeaders{{"Authorization", "Bearer good"}});
  ASSERT_TRUE(events->Connected());
  ASSERT_TRUE(AwaitClients(2));

  const auto refused = Http("GET", Port(), "/");
  EXPECT_EQ(refused.status, 503);
  EXPECT_EQ(refused.body, R"({"error": "server busy"})");
  EXPECT_EQ(EventClient(Port(), "/events", {{"Authorization", "Bearer good"}}).RefusedStatus(),
            503);
  EXPECT_EQ(service_->EventSocketCount(), 1u);

  events.reset();
  ASSERT_TRUE(AwaitClients(1));
  EXPECT_EQ(Http("GET", Port(), "/").status, 200);
  EXPECT_TRUE(AwaitClients(1));
}

TEST_F(HttpServiceTest, ASilentConnectionIsClosedButNotOneAwaitingItsAnswer) {
  HttpLimits limits;
  limits.idleTimeout = 200ms;
  handler_.Hold();
  Serve(limits);
  HttpClient awaiting(Port());
  awaiting.SendRaw("GET /slow HTTP/1.1\r\nHost: h\r\n\r\n");
  ASSERT_TRUE(AwaitHeld());

  for (const std::string prefix : {"", "GET / HTTP/1.1\r\nHo"}) {
    HttpClient silent(Port());
    silent.SendRaw(prefix);
    EXPECT_TRUE(silent.AwaitClosed()) << prefix;
  }
  EXPECT_TRUE(AwaitClients(1));
  handler_.TakeHeld()({200, "", "worth the wait", {}});
  EXPECT_EQ(awaiting.ReadAnswer().body, "worth the wait");
  EXPECT_TRUE(awaiting.AwaitClosed());  // then silent on keep-alive
  EXPECT_EQ(handler_.Requests().size(), 1u);
}

TEST_F(HttpServiceTest, UpgradesAreAcceptedOnlyWhereTheHandlerLetsThem) {
  struct Case {
    HttpHeaders headers;
    int refusedStatus;
  };
  const std::vector<Case> cases = {
      {{}, 401},
      {{{"Authorization", "Bearer bad"}}, 401},
      {{{"Authorization", "Bearer good"}}, 0},
  };
  Serve();
  for (const Case& c : cases) {
    EventClient client(Port(), "/api/v1/events?since=7", c.headers);
    EXPECT_EQ(client.RefusedStatus(), c.refusedStatus);
    EXPECT_EQ(client.Connected(), c.refusedStatus == 0);
    EXPECT_TRUE(AwaitEventSockets(c.refusedStatus == 0 ? 1 : 0));
  }
  const auto upgrades = handler_.Upgrades();
  ASSERT_EQ(upgrades.size(), cases.size());
  EXPECT_EQ(upgrades.back().path, "/api/v1/events");
  EXPECT_EQ(upgrades.back().query.at("since"), "7");
  EXPECT_TRUE(handler_.Requests().empty());
}

class EventSocketTest : public HttpServiceTest {
 protected:
  std::vector<std::unique_ptr<EventClient>> Connect(std::size_t count) {
    std::vector<std::unique_ptr<EventClient>> clients;
    for (std::size_t i = 0; i < count; ++i) {
      clients.push_back(std::make_unique<EventClient>(
          Port(), "/events", HttpHeaders{{"Authorization", "Bearer good"}}));
    }
    connected_ += count;
    EXPECT_TRUE(AwaitEventSockets(connected_));
    return clients;
  }

  std::size_t connected_ = 0;
};

TEST_F(EventSocketTest, TheGreetingThenEveryBroadcastReachEachClientInOrder) {
  Serve();
  const auto clients = Connect(3);
  std::thread([&] {
    for (int i = 0; i < 50; ++i) {
      service_->Broadcast("event " + std::to_string(i));
    }
  }).join();
  for (const auto& client : clients) {
    EXPECT_EQ(client->Next(test::kPatience), "hello");
    EXPECT_EQ(client->Next(test::kPatience), "world");
    for (int i = 0; i < 50; ++i) {
      ASSERT_EQ(client->Next(test::kPatience), "event " + std::to_string(i));
    }
  }
}

TEST_F(EventSocketTest, AClientThatNeverReadsIsClosedWhileTheOthersKeepReceiving) {
  HttpLimits limits;
  limits.maxQueuedEvents = 4;
  Serve(limits);
  const auto readers = Connect(2);
  const auto stalled = Connect(1);
  for (const auto& reader : readers) {
    ASSERT_EQ(reader->Next(test::kPatience), "hello");
    ASSERT_EQ(reader->Next(test::kPatience), "world");
  }
  // Large events fill the stalled client's socket buffers soon; then its queue overflows.
  const std::string payload(64 * 1024, 'e');
  int sent = 0;
  for (; sent < 2000 && service_->EventSocketCount() == 3; ++sent) {
    service_->Broadcast(std::to_string(sent) + payload);
    for (const auto& reader : readers) {
      ASSERT_EQ(reader->Next(test::kPatience), std::to_string(sent) + payload);
    }
  }
  EXPECT_TRUE(AwaitEventSockets(2)) << sent << " events sent";
  service_->Broadcast("still here");
  for (const auto& reader : readers) {
    EXPECT_EQ(reader->Next(test::kPatience), "still here");
  }
}

TEST_F(EventSocketTest, WhatClientsSendIsDroppedUnlessItIsTooBig) {
  Serve();
  const auto clients = Connect(1);
  clients[0]->Send(std::string(4096, 's'));
  service_->Broadcast("after a small message");
  EXPECT_EQ(clients[0]->Next(test::kPatience), "hello");
  EXPECT_EQ(clients[0]->Next(test::kPatience), "world");
  EXPECT_EQ(clients[0]->Next(test::kPatience), "after a small message");
  clients[0]->Send(std::string(4097, 's'));
  EXPECT_EQ(clients[0]->Next(test::kPatience), std::nullopt);  // the close handshake
  EXPECT_FALSE(clients[0]->Connected());
  EXPECT_TRUE(AwaitEventSockets(0));
  EXPECT_TRUE(AwaitClients(0));
}

TEST_F(EventSocketTest, StopClosesEveryConnectionAndReturns) {
  handler_.Hold();
  Serve();
  const auto clients = Connect(2);
  HttpClient idle(Port());
  HttpClient awaiting(Port());
  awaiting.SendRaw("GET / HTTP/1.1\r\nHost: h\r\n\r\n");
  ASSERT_TRUE(AwaitHeld());
  ASSERT_TRUE(AwaitClients(4));

  auto stopped = std::async(std::launch::async, [&] { service_->Stop(); });
  ASSERT_EQ(stopped.wait_for(test::kPatience), std::future_status::ready);
  EXPECT_EQ(service_->ClientCount(), 0u);
  EXPECT_EQ(service_->EventSocketCount(), 0u);
  EXPECT_TRUE(idle.AwaitClosed());
  EXPECT_TRUE(awaiting.AwaitClosed());
  for (const auto& client : clients) {
    while (client->Next(test::kPatience)) {
    }
    EXPECT_FALSE(client->Connected());
  }
  handler_.TakeHeld()({200, "", "too late", {}});
  service_->Stop();
}

TEST_F(HttpServiceTest, ListenSaysWhyItCannot) {
  Serve();
  HttpService second(handler_, {});
  std::string error;
  EXPECT_FALSE(second.Listen("127.0.0.1", Port(), error));
  EXPECT_NE(error.find("in use"), std::string::npos) << error;
  EXPECT_FALSE(second.Listen("not an address", 0, error));
  EXPECT_NE(error.find("invalid address"), std::string::npos) << error;
}

}  // namespace
}  // namespace quintara::server
