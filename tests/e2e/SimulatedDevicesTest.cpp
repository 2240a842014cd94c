// The controller against the simulated devices: what a search finds, and what arrives on the
// device side of the wire, byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "core/Controller.h"
#include "core/TaskQueue.h"
#include "core/viewer/panel/MultiviewerPresenter.h"
#include "support/Bytes.h"
#include "support/SimulatedLan.h"
#include "support/TestLink.h"

namespace quintara {
namespace {

using test::Bytes;
using test::SimulatedLan;

class SimulatedDevices : public ::testing::Test {
 protected:
  SimulatedDevices() : controller(lan.link, test::ShortSearchTiming(), clock, prompter, observer) {}

  // Searches and selects the device at this address.
  void Select(const Ipv4Address& address) {
    controller.SearchNetwork();
    const DeviceTable& table = controller.Devices().Table();
    for (std::size_t i = 0; i < table.Count(); ++i) {
      if (table.Entry(i).AddressText() == address.ToText()) {
        controller.Devices().SetSelectedIndex(static_cast<int>(i));
        return;
      }
    }
    FAIL() << address.ToText() << " did not answer";
  }

  // Sends an unlocked SetLock and waits for it: everything sent before it has arrived too.
  void Flush(sim::SimDevice& device) {
    const std::size_t before = device.ReceivedFrames(CommandCode::SetLock).size();
    controller.Session().SetLock(0);
    ASSERT_TRUE(device.WaitForFrames(CommandCode::SetLock, before + 1, test::kPatience));
  }

  SimulatedLan lan;
  SystemClock clock;
  test::RecordingPrompter prompter;
  test::RecordingObserver observer;
  Controller controller;
};

TEST_F(SimulatedDevices, SearchFindsAllThreeDevices) {
  controller.SearchNetwork();
  const DeviceDirectory& link = controller.Devices();
  std::vector<std::string> lines = link.Lines();
  std::ranges::sort(lines);
  EXPECT_EQ(lines, (std::vector<std::string>{"KVT2208Z_127.0.0.31", "MATRIX16_127.0.0.33",
                                             "MATRIX8_127.0.0.32"}));
  EXPECT_EQ(link.StatusText(), "Connected - 3");
  for (std::size_t i = 0; i < link.Table().Count(); ++i) {
    const DeviceEntry& entry = link.Table().Entry(i);
    const bool isMultiviewer = entry.AddressText() == "127.0.0.31";
    EXPECT_EQ(entry.ModelMatch, isMultiviewer ? 1 : 0);
    EXPECT_EQ(entry.DeviceAddress, 0x01);
    EXPECT_EQ(entry.DeviceIdentity[0], 0x51);
    const std::uint8_t type = isMultiviewer                         ? 0xA1
                              : entry.AddressText() == "127.0.0.32" ? 0x82
                                                                    : 0x83;
    EXPECT_EQ(entry.DeviceType, type);
  }
}

TEST_F(SimulatedDevices, LockAndNameFramesArriveByteExact) {
  Select(SimulatedLan::kMultiviewer);
  ASSERT_TRUE(controller.Session().SetLock(1));
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(CommandCode::SetLock, 1, test::kPatience));
  EXPECT_EQ(lan.multiviewer->ReceivedFrames(CommandCode::SetLock)[0],
            Bytes("A5 6C 15 00 A1 01 01 00 00 00 00 00 00 00 00 00 50 01 1A 02 AE"));

  EXPECT_FALSE(controller.Session().SendDeviceName(u"Studio A"));  // locked: nothing leaves
  ASSERT_TRUE(controller.Session().ToggleLock());
  ASSERT_TRUE(controller.Session().SendDeviceName(u"abc"));
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(CommandCode::SetDeviceName, 1, test::kPatience));
  Flush(*lan.multiviewer);
  const auto names = lan.multiviewer->ReceivedFrames(CommandCode::SetDeviceName);
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0], Bytes("A5 6C 1A 00 A1 01 01 00 00 00 00 00 00 00 00 00 0F "
                            "61 00 62 00 63 00 03 03 AE"));
  EXPECT_EQ(lan.multiviewer->ReceivedFrames(CommandCode::SetLock)[1],
            Bytes("A5 6C 15 00 A1 01 01 00 00 00 00 00 00 00 00 00 50 00 19 02 AE"));
  EXPECT_EQ(observer.calls.back(), "LockStateChanged 0");
}

TEST_F(SimulatedDevices, LockCarriesTheSelectedDevicesOwnType) {
  Select(SimulatedLan::kMatrix8);
  ASSERT_TRUE(controller.Session().SetLock(1));
  ASSERT_TRUE(lan.matrix8->WaitForFrames(CommandCode::SetLock, 1, test::kPatience));
  EXPECT_EQ(lan.matrix8->ReceivedFrames(CommandCode::SetLock)[0][4], 0x82);
  EXPECT_TRUE(lan.multiviewer->ReceivedFrames(CommandCode::SetLock).empty());
}

TEST_F(SimulatedDevices, NetworkSettingsFollowTheAddressingRules) {
  Select(SimulatedLan::kMultiviewer);
  EXPECT_FALSE(controller.Session().ChooseAddressMode(kDhcp));  // already DHCP: nothing is sent
  EXPECT_FALSE(controller.Session().ApplyStaticAddress({{192, 168, 1, 50}}));  // refused while DHCP
  EXPECT_FALSE(
      controller.Session().ChooseAddressMode(kStaticAddress));  // waits for the apply button
  EXPECT_FALSE(controller.Session().ApplyStaticAddress(Ipv4Address::Any()));
  EXPECT_EQ(prompter.errors, std::vector<std::string>{"Please input the IP"});

  ASSERT_TRUE(controller.Session().ApplyStaticAddress({{192, 168, 1, 50}}));
  ASSERT_TRUE(controller.Session().ChooseAddressMode(kDhcp));
  ASSERT_TRUE(lan.multiviewer->WaitForFrames(CommandCode::SetNetwork, 2, test::kPatience));
  Flush(*lan.multiviewer);
  const auto frames = lan.multiviewer->ReceivedFrames(CommandCode::SetNetwork);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0], Bytes("A5 6C 21 00 A1 01 01 00 00 00 00 00 00 00 00 00 05 C0 A8 01 32 "
                             "00 00 00 00 00 00 00 00 00 75 03 AE"));
  EXPECT_EQ(frames[1], Bytes("A5 6C 21 00 A1 01 01 00 00 00 00 00 00 00 00 00 05 "
                             "00 00 00 00 00 00 00 00 00 00 00 00 01 DB 01 AE"));
}

TEST_F(SimulatedDevices, NothingIsSentWithoutASelectedDevice) {
  EXPECT_FALSE(controller.Session().SetLock(1));
  EXPECT_TRUE(observer.calls.empty()) << "a lock that never left leaves the picture as it was";
  EXPECT_EQ(controller.Session().LockState(), 0);
  EXPECT_FALSE(controller.Session().ChooseAddressMode(kStaticAddress));
  EXPECT_FALSE(controller.Session().ChooseAddressMode(kDhcp));
  EXPECT_EQ(controller.Session().AddressMode(), kDhcp);
  EXPECT_EQ(prompter.errors,
            (std::vector<std::string>{"Please choose a device", "Please choose a device"}));
}

// Every device reports to the one status port: the socket needs no device, the panel does.
TEST_F(SimulatedDevices, StatusSocketListensOnTheStatusPortAndAPanelWantsADevice) {
  TaskQueue tasks;
  MultiviewerPresenter unchosen(controller.Session(), controller.Network(), tasks);
  EXPECT_FALSE(unchosen.StartListener());
  EXPECT_EQ(prompter.errors, std::vector<std::string>{"Please choose a device"});
  const std::optional<UdpSocket> status = controller.Network().OpenStatusSocket();
  ASSERT_TRUE(status);
  EXPECT_EQ(status->LocalEndpoint(), (UdpEndpoint{lan.link.bindAddress, lan.link.statusPort}));
}

TEST_F(SimulatedDevices, SerialLinkWithoutAnOpenPortSendsNothingSilently) {
  Select(SimulatedLan::kMultiviewer);
  controller.SetLinkKind(LinkKind::Serial);
  EXPECT_FALSE(controller.Session().SetLock(1));
  EXPECT_FALSE(controller.Session().SendDhcpConfig());
  EXPECT_TRUE(prompter.errors.empty());
  controller.SetLinkKind(LinkKind::Lan);
  Flush(*lan.multiviewer);
  EXPECT_EQ(lan.multiviewer->ReceivedFrames(CommandCode::SetLock).size(), 1u);
  EXPECT_TRUE(lan.multiviewer->ReceivedFrames(CommandCode::SetNetwork).empty());
}

}  // namespace
}  // namespace quintara
