// The search over real UDP sockets on loopback, against answers written byte by byte.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <thread>
#include <utility>

#include "core/Controller.h"
#include "core/platform/UdpSocket.h"
#include "support/Bytes.h"
#include "support/CraftedDevice.h"
#include "support/JunkDatagrams.h"
#include "support/TestLink.h"

namespace quintara {
namespace {

using namespace std::chrono_literals;
using test::CraftedPeer;
using test::DiscoverAnswer;
using test::NameAndIdentity;

const Ipv4Address kPeerA{{127, 0, 0, 21}};
const Ipv4Address kPeerB{{127, 0, 0, 22}};

class NetworkSearch : public ::testing::Test {
 protected:
  NetworkSearch()
      : link(test::LoopbackLink({kPeerA, kPeerB}, test::FreeUdpPort())),
        controller(link, test::ShortSearchTiming(), clock, prompter, observer) {}

  UdpEndpoint At(const Ipv4Address& address) const { return {address, link.devicePort}; }
  const DeviceDirectory& Devices() const { return controller.Devices(); }

  void ExpectNoDeviceFound() const {
    EXPECT_EQ(Devices().Lines(), std::vector<std::string>{"No Device Found"});
    EXPECT_EQ(Devices().StatusText(), "No Device Connected");
    EXPECT_EQ(Devices().SelectedIndex(), -1);
    EXPECT_EQ(Devices().Table().Count(), 0u);
  }

  LinkConfig link;
  SystemClock clock;
  test::RecordingPrompter prompter;
  test::RecordingObserver observer;
  Controller controller;
};

TEST_F(NetworkSearch, WellFormedAnswerBecomesTheSelectedDevice) {
  CraftedPeer peer(
      At(kPeerA),
      {DiscoverAnswer(0xA1, 0x01, NameAndIdentity("KVT2208Z", {0x11, 0x22, 0x33, 0x44}))});
  controller.SearchNetwork();

  ASSERT_EQ(Devices().Table().Count(), 1u);
  const DeviceEntry& entry = Devices().Table().Entry(0);
  EXPECT_EQ(entry.AddressText(), "127.0.0.21");
  EXPECT_EQ(entry.DeviceType, 0xA1);
  EXPECT_EQ(entry.DeviceAddress, 0x01);
  EXPECT_EQ(entry.DeviceIdentity, (std::array<std::uint8_t, 4>{0x11, 0x22, 0x33, 0x44}));
  EXPECT_EQ(entry.ModelMatch, 1);
  EXPECT_EQ(Devices().Lines(), std::vector<std::string>{"KVT2208Z_127.0.0.21"});
  EXPECT_EQ(Devices().StatusText(), "Connected - 1");
  EXPECT_EQ(Devices().SelectedIndex(), 0);
  EXPECT_EQ(observer.calls,
            (std::vector<std::string>{"CloseDevicePanel", "DeviceListChanged", "StatusTextChanged",
                                      "DeviceListSelectionChanged 0"}));
  EXPECT_EQ(observer.statusText, "Connected - 1");
  EXPECT_TRUE(prompter.errors.empty());

  const auto discovers = peer.device->ReceivedFrames(CommandCode::Discover);
  ASSERT_EQ(discovers.size(), 1u);
  EXPECT_EQ(std::vector<std::uint8_t>(discovers[0].begin(), discovers[0].begin() + 17),
            test::Bytes("A5 6C 1B 00 FF FF 01 00 00 00 00 00 00 00 00 00 FF"));
}

TEST_F(NetworkSearch, TwoDevicesAreListedInArrivalOrderAndNamesCompareExactly) {
  CraftedPeer first(At(kPeerB),
                    {DiscoverAnswer(0x82, 0x02, NameAndIdentity("kvt2208z", {1, 1, 1, 1}))});
  CraftedPeer second(
      At(kPeerA), {DiscoverAnswer(0xA1, 0x03, NameAndIdentity("KVT2208Z", {2, 2, 2, 2}))}, 100ms);
  controller.SearchNetwork();

  EXPECT_EQ(Devices().Lines(),
            (std::vector<std::string>{"kvt2208z_127.0.0.22", "KVT2208Z_127.0.0.21"}));
  EXPECT_EQ(Devices().Table().Entry(0).ModelMatch, 0);
  EXPECT_EQ(Devices().Table().Entry(1).ModelMatch, 1);
  EXPECT_EQ(Devices().Table().Entry(1).DeviceAddress, 0x03);
  EXPECT_EQ(Devices().StatusText(), "Connected - 2");
}

TEST_F(NetworkSearch, AnswersThatMustBeIgnoredAddNothing) {
  std::vector<std::uint8_t> ownSearch =
      DiscoverAnswer(0xFF, 0xFF, NameAndIdentity("ECHO", {1, 2, 3, 4}));
  std::vector<std::uint8_t> twentyOneBytes = DiscoverAnswer(0xA1, 0x01, {});
  ASSERT_EQ(twentyOneBytes.size(), 21u);
  std::vector<std::uint8_t> noSeparator = DiscoverAnswer(0xA1, 0x01, {'K', 'V', 'T', 1, 2, 3, 4});
  std::vector<std::uint8_t> notFrameShaped = NameAndIdentity("RAW", {1, 2, 3, 4});
  std::vector<std::uint8_t> oversized =
      DiscoverAnswer(0xA1, 0x01, NameAndIdentity(std::string(120, 'L'), {1, 2, 3, 4}));
  ASSERT_GT(oversized.size(), 128u);
  CraftedPeer peer(At(kPeerA), {ownSearch, twentyOneBytes, noSeparator, notFrameShaped, oversized});
  controller.SearchNetwork();

  ExpectNoDeviceFound();
  EXPECT_EQ(observer.deviceList, std::vector<std::string>{"No Device Found"});
  EXPECT_EQ(observer.calls.back(), "DeviceListSelectionChanged 0");
}

// Datagrams that are not frame-shaped cost the search no pause: four devices, each answering
// after 250 of them, are all found within the protocol's window.
TEST_F(NetworkSearch, EveryDeviceIsFoundThroughAThousandJunkDatagrams) {
  const std::vector<Ipv4Address> peers{kPeerA, kPeerB, {{127, 0, 0, 23}}, {{127, 0, 0, 24}}};
  const LinkConfig wide = test::LoopbackLink(peers, test::FreeUdpPort());
  Controller searching(wide, LinkTiming{}, clock, prompter, observer);
  test::Junk junk({}, 12);
  std::vector<std::unique_ptr<CraftedPeer>> devices;
  for (std::uint8_t d = 0; d < peers.size(); ++d) {
    std::vector<std::vector<std::uint8_t>> answers;
    while (answers.size() < 250) {
      const std::span<const std::uint8_t> next = junk.Next();
      if (!next.empty() && next.size() <= 128 && !IsFrameShaped(next)) {
        answers.emplace_back(next.begin(), next.end());
      }
    }
    answers.push_back(DiscoverAnswer(0xA1, d, NameAndIdentity("KVT2208Z", {d, d, d, d})));
    devices.push_back(std::make_unique<CraftedPeer>(UdpEndpoint{peers[d], wide.devicePort}, answers,
                                                    std::chrono::milliseconds(100 * d)));
  }
  searching.SearchNetwork();
  EXPECT_EQ(searching.Devices().Table().Count(), peers.size());
  EXPECT_EQ(searching.Devices().StatusText(), "Connected - 4");
}

TEST_F(NetworkSearch, NoAnswerWithinTheWindow) {
  const std::int64_t start = clock.NowMs();
  controller.SearchNetwork();
  EXPECT_GE(clock.NowMs() - start, test::ShortSearchTiming().searchWindowMs);
  ExpectNoDeviceFound();
  EXPECT_TRUE(prompter.errors.empty());
}

TEST_F(NetworkSearch, TwoSeparatorPatternsInOneAnswerGiveTwoEntries) {
  CraftedPeer peer(
      At(kPeerA),
      {DiscoverAnswer(0xA1, 0x01, {'A', '-', 'x', '-', 'B', 'B', '-', 'y', '-', 5, 6, 7, 8})});
  controller.SearchNetwork();
  EXPECT_EQ(Devices().Lines(), (std::vector<std::string>{"A_127.0.0.21", "A-x-BB_127.0.0.21"}));
  EXPECT_EQ(Devices().StatusText(), "Connected - 2");
}

TEST_F(NetworkSearch, MissingIdentityBytesAreZeroNotLeftoversOfAnEarlierAnswer) {
  const auto full = DiscoverAnswer(0xA1, 0x01, NameAndIdentity("LONGNAME", {9, 9, 9, 9}));
  const auto cut = DiscoverAnswer(0xA1, 0x01, {'M', 'V', '-', 0x00, '-'});
  CraftedPeer peer(At(kPeerA), {full, cut});
  controller.SearchNetwork();

  ASSERT_EQ(Devices().Table().Count(), 2u);
  const std::size_t size = cut.size();
  EXPECT_EQ(Devices().Table().Entry(1).DeviceIdentity,
            (std::array<std::uint8_t, 4>{cut[size - 3], cut[size - 2], cut[size - 1], 0}));
}

TEST_F(NetworkSearch, MoreThan256DevicesKeepTheFirst256AndATrueCount) {
  // Every position of a dash-filled answer is a separator pattern: about a hundred devices each.
  std::vector<std::uint8_t> crowded =
      DiscoverAnswer(0xA1, 0x01, std::vector<std::uint8_t>(107, '-'));
  ASSERT_EQ(crowded.size(), 128u);
  CraftedPeer peer(At(kPeerA), {crowded, crowded, crowded});
  controller.SearchNetwork();

  EXPECT_EQ(Devices().Table().Count(), 256u);
  EXPECT_EQ(Devices().Lines().size(), 256u);
  EXPECT_EQ(Devices().StatusText(), "Connected - 256");
  EXPECT_EQ(Devices().Table().Entry(255).AddressText(), "127.0.0.21");
}

TEST_F(NetworkSearch, ANewSearchEmptiesTheListAndTableFirst) {
  {
    CraftedPeer peer(At(kPeerA),
                     {DiscoverAnswer(0xA1, 0x01, NameAndIdentity("KVT2208Z", {1, 2, 3, 4}))});
    controller.SearchNetwork();
    ASSERT_EQ(Devices().Table().Count(), 1u);
  }
  observer.calls.clear();
  controller.SearchNetwork();
  ExpectNoDeviceFound();
  EXPECT_EQ(Devices().Table().Entry(0), DeviceEntry{});
  EXPECT_EQ(observer.calls.at(1), "DeviceListChanged");
}

// Keeps what is started on it, for the test to run its wire part and apply it when it chooses.
struct HeldRunner final : ExchangeRunner {
  void Start(std::string_view, WireWork work) override { held = std::move(work); }
  WireWork held;
};

// Started as the window starts it, the search keeps what it hears (and that it could not send)
// to itself until it is applied: meanwhile only the emptied list shows, and the window's next
// step comes after the table and the prompt.
TEST_F(NetworkSearch, AStartedSearchShowsOnlyTheEmptiedListUntilWhatItFoundIsApplied) {
  CraftedPeer peer(At(kPeerA),
                   {DiscoverAnswer(0xA1, 0x01, NameAndIdentity("KVT2208Z", {1, 2, 3, 4}))});
  HeldRunner runner;
  controller.SetRunner(runner);
  DeviceDirectory& devices = controller.Devices();
  for (const bool portTaken : {false, true}) {
    SCOPED_TRACE(portTaken ? "no search socket" : "answered");
    devices.BeginSearch();
    ASSERT_TRUE(devices.Record({{}, "EARLIER_127.0.0.99"}));
    observer.calls.clear();
    std::optional<UdpSocket> squatter = UdpSocket::Create();
    ASSERT_TRUE(!portTaken || squatter->Bind({link.bindAddress, link.localPort}));
    bool nextStep = false;
    controller.StartSearch([&nextStep] { nextStep = true; });
    Continuation apply;
    std::thread([&] { apply = runner.held(); }).join();
    EXPECT_EQ(observer.calls, (std::vector<std::string>{"CloseDevicePanel", "DeviceListChanged"}));
    EXPECT_EQ(devices.Lines(), std::vector<std::string>{"EARLIER_127.0.0.99"});
    EXPECT_TRUE(prompter.errors.empty());
    EXPECT_FALSE(nextStep);

    apply();
    EXPECT_EQ(devices.Lines(), portTaken ? std::vector<std::string>{}
                                         : std::vector<std::string>{"KVT2208Z_127.0.0.21"});
    EXPECT_EQ(prompter.errors.size(), portTaken ? 1u : 0u);
    EXPECT_TRUE(nextStep);
  }
}

TEST_F(NetworkSearch, PortInUseReportsCreateSocketErr) {
  std::optional<UdpSocket> squatter = UdpSocket::Create();
  ASSERT_TRUE(squatter && squatter->Bind({link.bindAddress, link.localPort}));
  controller.SearchNetwork();
  EXPECT_EQ(prompter.errors, std::vector<std::string>{"Create socket err"});
  EXPECT_TRUE(Devices().Lines().empty());
  EXPECT_EQ(Devices().StatusText(), "No Device Connected");
}

// Runs a search with no file descriptor left for a new socket.
void SearchWithoutDescriptors(Controller& controller) {
  rlimit saved{};
  getrlimit(RLIMIT_NOFILE, &saved);
  const int next = dup(0);
  close(next);
  rlimit starved = saved;
  starved.rlim_cur = static_cast<rlim_t>(next);
  setrlimit(RLIMIT_NOFILE, &starved);
  controller.SearchNetwork();
  setrlimit(RLIMIT_NOFILE, &saved);
}

TEST_F(NetworkSearch, FailedSocketCreationDoesNotDisableLaterSearches) {
#if defined(__SANITIZE_ADDRESS__)
  // The sanitizers' runtime opens descriptors of its own to check calls, and fails without them.
  GTEST_SKIP() << "runs in the build without sanitizers";
#endif
  CraftedPeer peer(At(kPeerA),
                   {DiscoverAnswer(0xA1, 0x01, NameAndIdentity("KVT2208Z", {1, 2, 3, 4}))});
  controller.SearchNetwork();
  ASSERT_EQ(Devices().StatusText(), "Connected - 1");

  SearchWithoutDescriptors(controller);
  EXPECT_EQ(prompter.errors, std::vector<std::string>{"Create socket err"});
  EXPECT_TRUE(Devices().Lines().empty());
  EXPECT_EQ(Devices().StatusText(), "Connected - 1");  // the status keeps its old text

  controller.SearchNetwork();
  EXPECT_EQ(Devices().Lines(), std::vector<std::string>{"KVT2208Z_127.0.0.21"});
  EXPECT_EQ(prompter.errors.size(), 1u);
}

}  // namespace
}  // namespace quintara
