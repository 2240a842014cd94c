// The simulated multiviewer over real UDP on loopback: its read-back reply checked byte by byte
// against the state image table, and the status reports of remote and front-panel changes.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>

#include "core/link/ControlFrame.h"
#include "core/platform/UdpSocket.h"
#include "core/viewer/protocol/ReportCodes.h"
#include "core/viewer/protocol/StatusReports.h"
#include "sim/FrontPanelCommands.h"
#include "sim/SimMultiviewer.h"
#include "sim/SimUdpServer.h"
#include "support/TestLink.h"

namespace quintara {
namespace {

namespace vc = ViewerCode;
using Bytes = std::vector<std::uint8_t>;

const Ipv4Address kViewer{{127, 0, 0, 41}};
constexpr std::array<std::uint8_t, 4> kIdentity{0x51, 0x54, 0x4D, 0x56};
constexpr std::uint8_t kAddressByte = 0x07;

Bytes Utf16Le(std::u16string_view text) {
  Bytes bytes;
  for (const char16_t c : text) {
    bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return bytes;
}

UdpSocket BoundSocket() {
  std::optional<UdpSocket> socket = UdpSocket::Create();
  if (!socket || !socket->Bind({Ipv4Address::Loopback(), 0})) {
    throw std::runtime_error("no loopback socket");
  }
  return std::move(*socket);
}

class SimMultiviewerTest : public ::testing::Test {
 protected:
  SimMultiviewerTest() : status(BoundSocket()), commander(BoundSocket()) {
    sim::SimDeviceConfig config = sim::SimDeviceConfig::Of(sim::DeviceKind::Multiviewer,
                                                           {kViewer, test::FreeUdpPort(kViewer)});
    config.DeviceAddress = kAddressByte;
    config.DeviceIdentity = kIdentity;
    config.statusPort = status.LocalEndpoint()->port;
    device = std::make_shared<sim::SimMultiviewer>(config);
    if (const std::string error = server.Add(device); !error.empty()) {
      throw std::runtime_error(error);
    }
    server.Start();
  }

  void Send(const Frame& frame) { commander.SendTo(frame, device->Config().listen); }
  void Command(std::uint8_t code, const Bytes& payload = {}) {
    Send(BuildFrame(0xA1, kAddressByte, LinkKind::Lan, code, payload));
  }

  static Bytes Next(UdpSocket& socket) {
    Bytes buffer(2048);
    if (!socket.WaitReadable(2000)) {
      return {};
    }
    const std::optional<ReceivedDatagram> datagram = socket.ReceiveFrom(buffer);
    buffer.resize(datagram ? datagram->size : 0);
    return buffer;
  }

  // The next report: identity, code and the values from byte 18 on.
  void ExpectReport(std::uint8_t code, const Bytes& values) {
    const Bytes report = Next(status);
    ASSERT_EQ(report.size(), frame::kOverhead + 1 + values.size()) << "code " << int{code};
    EXPECT_EQ(report[4], 0xA1);
    EXPECT_EQ(Bytes(report.begin() + 10, report.begin() + 14),
              Bytes(kIdentity.begin(), kIdentity.end()));
    EXPECT_EQ(report[16], code);
    EXPECT_EQ(Bytes(report.begin() + 18, report.end() - 3), values) << "code " << int{code};
  }

  Bytes ReadState() {
    Command(vc::ReadState);
    return Next(commander);
  }

  UdpSocket status;
  UdpSocket commander;
  std::shared_ptr<sim::SimMultiviewer> device;
  sim::SimUdpServer server;
};

TEST_F(SimMultiviewerTest, ReadStateReplyFollowsTheImageTable) {
  Send(BuildDeviceNameFrame(0xA1, kAddressByte, LinkKind::Lan, Utf16Le(u"Studio monitor Ω")));
  Send(BuildLabelFrame(0xA1, kAddressByte, LinkKind::Lan, 3, Utf16Le(u"Cam A")));
  Command(vc::SetTimecode, {1});
  device->SetColour(vc::SetUmdTextColour, 2, 9);
  device->SetSignal(5, false, 0);

  const Bytes reply = ReadState();
  ASSERT_EQ(reply.size(), 809u);
  EXPECT_EQ(reply[4], 0xA1);
  EXPECT_EQ(reply[5], kAddressByte);
  EXPECT_EQ(Bytes(reply.begin() + 10, reply.begin() + 14),
            Bytes(kIdentity.begin(), kIdentity.end()));
  EXPECT_EQ(reply[16], 0x0A);
  EXPECT_EQ(reply[808], 0xAE);
  EXPECT_EQ(FrameSum(std::span(reply).first(806)), reply[806] | (reply[807] << 8));

  EXPECT_EQ(reply[18], 40);     // layout
  EXPECT_EQ(reply[19], 7);      // output format 1080p60
  EXPECT_EQ(reply[20], 0x81);   // all meters, audio source 1
  EXPECT_EQ(reply[21], 0x57);   // all UMD, format status, time code, border, DHCP
  EXPECT_EQ(reply[23], 2);      // window 2 shows input 2
  EXPECT_EQ(reply[53], 16);     // switcher output 16
  EXPECT_EQ(reply[56], 0x13);   // input 2: UMD on, text colour 9
  EXPECT_EQ(reply[57], 14);     // input 2: background Trans
  EXPECT_EQ(reply[87], 0x5F);   // window 1: present, 1080p60
  EXPECT_EQ(reply[119], 0x00);  // window 5: no signal
  EXPECT_EQ(reply[214], 12);    // "Umd_01"
  EXPECT_EQ(reply[215], 'U');
  EXPECT_EQ(reply[284], 10);  // input 3: "Cam A"
  EXPECT_EQ(Bytes(reply.begin() + 285, reply.begin() + 295), Utf16Le(u"Cam A"));
  EXPECT_EQ(reply[774], 32);  // sixteen characters of name: its last byte is reply byte 806
  EXPECT_EQ(Bytes(reply.begin() + 775, reply.begin() + 807), Utf16Le(u"Studio monitor Ω"));

  const std::vector<sim::OutgoingMessage> serial =
      device->Receive(BuildFrame(0xA1, kAddressByte, LinkKind::Serial, vc::ReadState), {});
  ASSERT_EQ(serial.size(), 1u);
  ASSERT_EQ(serial[0].bytes.size(), 809u);
  EXPECT_EQ(serial[0].bytes[6], 0);
  EXPECT_EQ(Bytes(serial[0].bytes.begin() + 18, serial[0].bytes.begin() + 807),
            Bytes(reply.begin() + 18, reply.begin() + 807));
}

TEST_F(SimMultiviewerTest, CommandsChangeStateAndAreReportedUnlessLocked) {
  Command(vc::SetLayout, {60});
  ExpectReport(0x33, {60});
  EXPECT_EQ(device->State().LayoutCode, 60);
  Command(vc::SetWindowSource, {9, 2});
  ExpectReport(0x34, {9, 2});
  EXPECT_EQ(device->State().WindowSource[1], 9);
  Command(vc::SetOutputFormat, {0, 14});
  ExpectReport(0x19, {0, 14});

  Command(CommandCode::SetLock, {1});
  Command(vc::SetLayout, {41});
  Command(CommandCode::SetLock, {0});
  Command(vc::SetBorder, {0});
  ExpectReport(0x3F, {0});  // the refused layout left no report before it
  EXPECT_EQ(device->State().LayoutCode, 60);

  Command(vc::SetSwitcherMode, {1});
  ExpectReport(0x38, {1});
  Command(vc::SetWindowSource, {5, 1});  // now a switcher route
  ExpectReport(0x34, {5, 1});
  EXPECT_EQ(device->State().SwitcherSource[0], 5);
  EXPECT_EQ(device->State().WindowSource[0], 1);
  Command(vc::SetOneToOne);
  for (std::uint8_t k = 1; k <= 16; ++k) {
    ExpectReport(0x34, {k, k});
  }
  EXPECT_EQ(device->State().SwitcherSource[0], 1);
}

TEST_F(SimMultiviewerTest, FrontPanelChangesAreReportedOnceACommanderIsKnown) {
  EXPECT_TRUE(device->SetLayout(80));  // nobody to report to yet
  EXPECT_FALSE(device->ReportDestination());
  ASSERT_EQ(ReadState()[18], 80);
  EXPECT_EQ(device->ReportDestination(),
            (UdpEndpoint{Ipv4Address::Loopback(), status.LocalEndpoint()->port}));

  device->SetSignal(3, true, 27);
  ExpectReport(0x51, {2, 1, 27});
  device->SetColour(vc::SetFormatBackColour, 0, 20);
  ExpectReport(0x3E, {0, 20});
  EXPECT_EQ(device->State().FormatBackColour[15], 20);
  device->SetAllMeters(false);
  ExpectReport(0x5B, {0});
  EXPECT_FALSE(device->SetLayout(77));
  EXPECT_EQ(sim::RunFrontPanelCommand(*device, "source 4 11"), "");
  ExpectReport(0x34, {11, 4});
  EXPECT_EQ(sim::RunFrontPanelCommand(*device, "device-wide"), "");
  ExpectReport(0x38, {1});
  EXPECT_NE(sim::RunFrontPanelCommand(*device, "colour umd-text 17 2"), "");
  EXPECT_NE(sim::RunFrontPanelCommand(*device, "layout"), "");
}

TEST_F(SimMultiviewerTest, CustomMemoryOutlivesLoadDefaults) {
  Command(vc::SetLayout, {100});
  Send(BuildLabelFrame(0xA1, kAddressByte, LinkKind::Lan, 1, Utf16Le(u"Desk")));
  Command(vc::SaveCustom, {1});
  Command(vc::LoadDefaults, {0});
  ExpectReport(0x33, {100});
  ExpectReport(0x0B, {0});  // neither the label nor the save is reported
  EXPECT_EQ(device->State().LayoutCode, 40);
  EXPECT_EQ(device->State().UmdText[0], u"Umd_01");

  Command(vc::LoadCustom, {1});
  ExpectReport(0x59, {1});
  const sim::MultiviewerState state = device->State();
  EXPECT_EQ(state.LayoutCode, 100);
  EXPECT_EQ(state.UmdText[0], u"Desk");
  EXPECT_EQ(state.name, u"KVT2208Z");
  EXPECT_EQ(ReadState()[18], 100);
}

// What the device sends and what the listener reads come from one table: each report code's
// change, made in range, comes back as that code, whole and long enough for the values read.
TEST_F(SimMultiviewerTest, EveryReportCodeComesBackWholeForTheListener) {
  for (const ReportCode& entry : kReportCodes) {
    SCOPED_TRACE(entry.what);
    if (entry.code == vc::FormatStatusReport || entry.code == vc::TimecodeReport) {
      continue;  // the device reports these settings under their command codes
    }
    if (entry.code == vc::DeviceWideChange) {
      ASSERT_TRUE(device->SetSwitcherMode(1));
    } else if (entry.code == vc::WindowSignalReport) {
      ASSERT_TRUE(device->SetSignal(1, true, 31));
    } else {
      Command(entry.code, {1, 1, 1});
    }
    const Bytes report = Next(status);
    ASSERT_GT(report.size(), frame::kCommandCodeOffset);
    EXPECT_EQ(report[frame::kCommandCodeOffset], entry.code);
    EXPECT_EQ(CheckReport(report, kIdentity), ReportCheck::Intact);
  }
}

}  // namespace
}  // namespace quintara
