// Writes the seed corpus of every fuzz target, from the protocol's own example frames and the
// simulated devices' answers:  quintara-fuzz-seeds fuzz/corpus
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/link/ControlFrame.h"
#include "core/matrix/MatrixCommands.h"
#include "core/matrix/files/MatrixSettingsFile.h"
#include "core/text/TextCodec.h"
#include "core/viewer/files/SettingsFile.h"
#include "core/viewer/panel/PanelSelections.h"
#include "core/viewer/protocol/ReadBack.h"
#include "core/viewer/protocol/StateImageDecoder.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "fuzz/MessageScript.h"
#include "sim/SimMatrix.h"
#include "sim/SimMultiviewer.h"

namespace quintara::fuzz {
namespace {

namespace fs = std::filesystem;
namespace vc = ViewerCode;

using Bytes = std::vector<std::uint8_t>;

// The worked examples' moment: Friday 15 March 2024, 14:07:09.
constexpr LocalDateTime kExampleTime{2024, 3, 15, 5, 14, 7, 9};
const UdpEndpoint kController{Ipv4Address::Loopback(), 7000};

class SeedFolder {
 public:
  SeedFolder(const fs::path& root, std::string_view target) : folder_(root / target) {
    fs::create_directories(folder_);
  }
  void Write(std::string_view name, const Bytes& bytes) const {
    std::ofstream out(folder_ / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }

 private:
  fs::path folder_;
};

Bytes Script(std::initializer_list<Bytes> messages, std::initializer_list<std::uint8_t> head = {}) {
  Bytes script(head);
  for (const Bytes& message : messages) {
    AppendMessage(script, message);
  }
  return script;
}

Bytes Text(std::string_view text) {
  return {text.begin(), text.end()};
}

Bytes Concatenated(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) {
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

// A frame as a device sends it: its identity in bytes 10-13 and the sum over them.
Bytes DeviceFrame(std::uint8_t type, std::array<std::uint8_t, 4> identity, std::uint8_t code,
                  std::initializer_list<std::uint8_t> payload,
                  std::span<const std::uint8_t> morePayload = {}) {
  Bytes body(payload);
  body.insert(body.end(), morePayload.begin(), morePayload.end());
  Bytes frame = BuildFrame(type, 0x01, LinkKind::Lan, code, body);
  std::copy(identity.begin(), identity.end(), frame.begin() + frame::kIdentityOffset);
  const std::size_t sumAt = frame.size() - 3;
  const std::uint16_t sum = FrameSum(std::span(frame).first(sumAt));
  frame[sumAt] = static_cast<std::uint8_t>(sum & 0xFF);
  frame[sumAt + 1] = static_cast<std::uint8_t>(sum >> 8);
  return frame;
}

Bytes Request(std::uint8_t type, std::uint8_t code, std::initializer_list<std::uint8_t> payload,
              LinkKind link = LinkKind::Lan) {
  return BuildFrame(type, 0x01, link, code, Bytes(payload));
}

sim::SimDeviceConfig Config(sim::DeviceKind kind, std::uint8_t lastOctet, std::uint8_t n) {
  sim::SimDeviceConfig config = sim::SimDeviceConfig::Of(kind, {{{127, 0, 0, lastOctet}}, 7000});
  config.DeviceIdentity = {0x51, 0x54, 0x00, n};
  return config;
}

// The one reply of a simulated device to a request.
Bytes ReplyTo(sim::SimDevice& device, const Bytes& request) {
  return device.Receive(request, kController).at(0).bytes;
}

void WriteDiscoverAnswerSeeds(const fs::path& root) {
  const SeedFolder seeds(root, "DiscoverAnswerFuzzer");
  sim::SimMultiviewer multiviewer(Config(sim::DeviceKind::Multiviewer, 11, 1));
  sim::SimMatrix matrix8(Config(sim::DeviceKind::Matrix8, 12, 2));
  sim::SimMatrix matrix16(Config(sim::DeviceKind::Matrix16, 13, 3));
  const Bytes answer = multiviewer.DiscoverAnswer(LinkKind::Lan);
  seeds.Write("multiviewer-answer", Script({answer}));
  seeds.Write("three-devices-answer", Script({answer, matrix8.DiscoverAnswer(LinkKind::Lan),
                                              matrix16.DiscoverAnswer(LinkKind::Lan)}));
  const std::array<std::uint8_t, 4> identity{0x51, 0x54, 0x00, 0x01};
  seeds.Write(
      "two-separator-patterns",
      Script({DeviceFrame(0xA1, identity, CommandCode::Discover,
                          {0x00, 'K', 'V', '-', 'x', '-', 'T', '-', 0x00, '-', 1, 2, 3, 4})}));
  seeds.Write("name-in-other-case", Script({DeviceFrame(0xA1, identity, CommandCode::Discover,
                                                        {0x00, 'k', 'v', 't', '2', '2', '0', '8',
                                                         'z', '-', 0, '-', 1, 2, 3, 4})}));
  seeds.Write("identity-beyond-the-end",
              Script({DeviceFrame(0x83, identity, CommandCode::Discover,
                                  {0x00, 'M', '1', '6', '-', 0x00, '-'})}));
  // Answers made of separators: more device patterns than the table has entries.
  Bytes dashes(100, '-');
  dashes.front() = 0x00;
  const Bytes crowded =
      DeviceFrame(0xA1, identity, CommandCode::Discover, {}, std::span<const std::uint8_t>(dashes));
  seeds.Write("more-devices-than-the-table-holds", Script({crowded, crowded, crowded}));
  // The search's own request, as a network may hand it back: its type makes it invisible.
  seeds.Write("own-discover-request", Script({BuildDiscoverFrame(LinkKind::Lan, kExampleTime)}));
}

void WriteSerialScanSeeds(const fs::path& root) {
  const SeedFolder seeds(root, "SerialScanFuzzer");
  sim::SimMultiviewer multiviewer(Config(sim::DeviceKind::Multiviewer, 11, 1));
  const Bytes answer = multiviewer.DiscoverAnswer(LinkKind::Serial);
  seeds.Write("multiviewer-answer", Script({answer}));
  // Noise, then a false start: in A5 A5 6C the second A5 is taken as a failed tag.
  const Bytes noise{0x00, 0x2D, 0xA5, 0xA5, 0x6C, 0x14, 0x00};
  seeds.Write("answer-after-noise-in-chunks",
              Script({noise, Bytes(answer.begin(), answer.begin() + 9),
                      Bytes(answer.begin() + 9, answer.end())}));
  // A multiviewer may answer with its state image instead: byte 17, then the 789 image bytes.
  const Bytes reply = ReplyTo(multiviewer, Request(0xA1, vc::ReadState, {}, LinkKind::Serial));
  Bytes image{0x00};
  image.insert(image.end(), reply.begin() + kStateImageOffset,
               reply.begin() + kStateImageOffset + kStateImageSize);
  const Bytes imageFrame = BuildFrame(0xA1, 0x01, LinkKind::Serial, 0x32, image);
  seeds.Write("state-image-frame", Script({Bytes(imageFrame.begin(), imageFrame.begin() + 256),
                                           Bytes(imageFrame.begin() + 256, imageFrame.end())}));
  seeds.Write("short-state-image-frame",
              Script({BuildFrame(0xA1, 0x01, LinkKind::Serial, 0x32, Bytes(40, 0x11)), answer}));
}

void WriteStateImageSeeds(const fs::path& root) {
  const SeedFolder seeds(root, "StateImageFuzzer");
  sim::SimMultiviewer multiviewer(Config(sim::DeviceKind::Multiviewer, 11, 1));
  const Bytes readState = Request(0xA1, vc::ReadState, {});
  const Bytes defaults = ReplyTo(multiviewer, readState);
  seeds.Write("defaults", defaults);
  multiviewer.Receive(Request(0xA1, vc::SetLayout, {60}), kController);
  multiviewer.Receive(Request(0xA1, vc::SetSwitcherMode, {1}), kController);
  multiviewer.Receive(Request(0xA1, vc::SetUmdTextColour, {0, 2}), kController);
  multiviewer.Receive(BuildLabelFrame(0xA1, 0x01, LinkKind::Lan, 3, EncodeUtf16Le(u"Camera three")),
                      kController);
  multiviewer.Receive(BuildDeviceNameFrame(0xA1, 0x01, LinkKind::Lan, EncodeUtf16Le(u"Studio B")),
                      kController);
  seeds.Write("switcher-layout-60", ReplyTo(multiviewer, readState));
  // Flags byte 0x81: switcher mode and all labels on; audio byte 0x85: all meters, source 5.
  Bytes flags = defaults;
  flags[kStateImageOffset + 3] = 0x81;
  flags[kStateImageOffset + 2] = 0x85;
  seeds.Write("flags-0x81-audio-0x85", flags);
  // An unknown layout, and a name length beyond its room.
  Bytes odd = defaults;
  odd[kStateImageOffset] = 200;
  odd[kStateImageOffset + 756] = 40;
  seeds.Write("unknown-layout-long-name", odd);
  Bytes otherType = defaults;
  otherType[frame::kDeviceTypeOffset] = 0xA2;
  seeds.Write("other-device-type", otherType);
}

void WriteStatusReportSeeds(const fs::path& root) {
  const SeedFolder seeds(root, "StatusReportFuzzer");
  sim::SimMultiviewer multiviewer(Config(sim::DeviceKind::Multiviewer, 11, 1));
  std::vector<Bytes> reports;
  multiviewer.SetSender([&reports](const sim::OutgoingMessage& m) { reports.push_back(m.bytes); });
  multiviewer.Receive(Request(0xA1, vc::ReadState, {}), kController);  // now it reports here
  const auto reportsOf = [&](auto&& act) {
    reports.clear();
    act();
    return reports;
  };
  const auto script = [](std::uint8_t page, const std::vector<Bytes>& datagrams) {
    Bytes out{page};
    for (const Bytes& datagram : datagrams) {
      AppendMessage(out, datagram);
    }
    return out;
  };
  const std::vector<Bytes> layout40 = reportsOf([&] { multiviewer.SetLayout(40); });
  seeds.Write("layout-40-on-mode-page", script(ViewerPage::Mode, layout40));
  seeds.Write("layout-40-on-switcher-page", script(ViewerPage::Switcher, layout40));
  seeds.Write("source-7-window-3-on-umd-page",
              script(ViewerPage::Umd, reportsOf([&] { multiviewer.SetWindowSource(3, 7); })));
  const std::array<std::uint8_t, 4> identity{0x51, 0x54, 0x00, 0x01};
  seeds.Write("umd-on-input-0-dropped",
              script(ViewerPage::Umd, {DeviceFrame(0xA1, identity, vc::SetUmdOn, {0, 0, 1})}));
  seeds.Write("umd-text-colour-all-on-colour-page",
              script(ViewerPage::Colour,
                     reportsOf([&] { multiviewer.SetColour(vc::SetUmdTextColour, 0, 2); })));
  seeds.Write("signals-and-meters-on-audio-page",
              script(ViewerPage::Audio, reportsOf([&] {
                       multiviewer.SetSignal(2, true, 27);
                       multiviewer.FrontPanel(vc::SetMeterChannels, Bytes{5, 3});
                       multiviewer.FrontPanel(vc::SetMeterOn, Bytes{5, 0});
                       multiviewer.SetAllMeters(false);
                     })));
  seeds.Write("format-and-switches-on-system-page",
              script(ViewerPage::System, reportsOf([&] {
                       multiviewer.SetOutputFormat(11);
                       multiviewer.FrontPanel(vc::SetTimecode, Bytes{1});
                       multiviewer.FrontPanel(vc::SetAudioAlarm, Bytes{1});
                     })));
  // One-byte messages: the operator moves to the Switcher page and back between reports.
  const std::vector<Bytes> route = reportsOf([&] { multiviewer.SetWindowSource(5, 2); });
  seeds.Write("reports-between-page-switches",
              script(ViewerPage::Mode, {layout40.at(0), Bytes{ViewerPage::Switcher}, route.at(0),
                                        Bytes{ViewerPage::Mode}, route.at(0)}));
  const std::array<std::uint8_t, 4> otherIdentity{0x51, 0x54, 0x00, 0x02};
  seeds.Write("other-device-and-device-wide-change",
              script(ViewerPage::Mode, {DeviceFrame(0xA1, otherIdentity, vc::SetLayout, {0, 60}),
                                        reportsOf([&] { multiviewer.SetSwitcherMode(1); }).at(0)}));
}

void WriteMatrixReplySeeds(const fs::path& root) {
  const SeedFolder seeds(root, "MatrixReplyFuzzer");
  constexpr std::uint8_t kSerial = 0x01;
  constexpr std::uint8_t kSixteen = 0x02;
  const auto answers = [](sim::SimMatrix& matrix, std::uint8_t type, LinkKind link) {
    const Bytes status = ReplyTo(matrix, Request(type, MatrixCode::ReadMatrixStatus, {}, link));
    const Bytes backlight =
        ReplyTo(matrix, Request(kMatrixValueDeviceType, MatrixCode::ReadBacklight, {}, link));
    return std::array<Bytes, 2>{status, backlight};
  };
  sim::SimMatrix matrix8(Config(sim::DeviceKind::Matrix8, 12, 2));
  matrix8.Route(3, 1);
  const auto [status8, backlight8] = answers(matrix8, kEightChannelType, LinkKind::Lan);
  seeds.Write("eight-channels", Script({status8, backlight8, status8}, {0}));
  sim::SimDeviceConfig named = Config(sim::DeviceKind::Matrix16, 13, 3);
  named.name = "KVT2208Z";
  sim::SimMatrix matrix16(named);
  matrix16.Receive(Text("12V9,10,16."), kController);
  const auto [status16, backlight16] = answers(matrix16, kSixteenChannelType, LinkKind::Serial);
  seeds.Write("sixteen-channels-serial",
              Script({status16, backlight16, status16}, {kSerial | kSixteen}));
  // A reply of another query first, which the network look passes over; a name length of 33.
  Bytes longName = status16;
  longName[37] = 33;
  seeds.Write("other-reply-first-long-name",
              Script({backlight16, longName, backlight16, longName}, {kSixteen}));
  // The switcher reports itself locked: the refresh is refused.
  Bytes locked = status8;
  locked[26] = 1;
  seeds.Write("locked-switcher", Script({locked, backlight8}, {0}));
}

void WriteSimSerialFramerSeeds(const fs::path& root) {
  const SeedFolder seeds(root, "SimSerialFramerFuzzer");
  const Bytes discover = BuildDiscoverFrame(LinkKind::Serial, kExampleTime);
  seeds.Write("discover-request", Script({discover}));
  seeds.Write("routing-texts",
              Script({Text("3V1,4.\r\n12V9,10,16."), Text("5All."), Text("\r\nAll#.")}));
  // A frame header whose Length never arrives, then a whole frame: the frame is served.
  const Bytes layout = Request(0xA1, vc::SetLayout, {40}, LinkKind::Serial);
  seeds.Write("false-start-then-frame", Script({Bytes{0xA5, 0x6C, 0xFF, 0x01, 0x00}, layout}));
  seeds.Write("frame-in-pieces",
              Script({Bytes(layout.begin(), layout.begin() + 3),
                      Bytes(layout.begin() + 3, layout.end()), Text("noise 3V1.")}));
}

void WriteSimMultiviewerSeeds(const fs::path& root) {
  const SeedFolder seeds(root, "SimMultiviewerFuzzer");
  constexpr std::uint8_t kUdp = 0;
  constexpr std::uint8_t kSerial = 1;
  const auto requests = [](LinkKind link) {
    return std::vector<Bytes>{
        BuildDiscoverFrame(link, kExampleTime),
        Request(0xA1, vc::SetLayout, {40}, link),
        Request(0xA1, vc::SetWindowSource, {9, 2}, link),
        Request(0xA1, vc::SetUmdTextColour, {0, 2}, link),
        BuildLabelFrame(0xA1, 0x01, link, 4, EncodeUtf16Le(u"Studio")),
        Request(0xA1, vc::SaveCustom, {1}, link),
        Request(0xA1, vc::SetSwitcherMode, {1}, link),
        Request(0xA1, vc::SetOneToOne, {}, link),
        Request(0xA1, vc::LoadCustom, {1}, link),
        Request(0xA1, vc::ReadState, {}, link),
    };
  };
  Bytes udp{kUdp};
  for (const Bytes& request : requests(LinkKind::Lan)) {
    AppendMessage(udp, request);
  }
  seeds.Write("commands-over-udp", udp);
  Bytes serial{kSerial};
  AppendMessage(serial, Concatenated({requests(LinkKind::Serial)[0], requests(LinkKind::Serial)[1],
                                      requests(LinkKind::Serial)[9]}));
  seeds.Write("commands-on-the-serial-line", serial);
  seeds.Write("locked-then-name-and-network",
              Script({Request(0xA1, CommandCode::SetLock, {1}), Request(0xA1, vc::SetLayout, {60}),
                      Request(0xA1, CommandCode::SetLock, {0}),
                      BuildDeviceNameFrame(0xA1, 0x01, LinkKind::Lan, EncodeUtf16Le(u"MV-1-A")),
                      BuildNetworkFrame(0xA1, 0x01, LinkKind::Lan,
                                        std::array<std::uint8_t, 12>{192, 168, 1, 50, 255, 255, 255,
                                                                     0, 192, 168, 1, 1},
                                        0),
                      Request(0xA1, vc::LoadDefaults, {})},
                     {kUdp}));
}

void WriteSimMatrixSeeds(const fs::path& root) {
  const SeedFolder seeds(root, "SimMatrixFuzzer");
  constexpr std::uint8_t kSerial = 0x01;
  constexpr std::uint8_t kSixteen = 0x02;
  seeds.Write(
      "eight-channels-over-udp",
      Script({BuildDiscoverFrame(LinkKind::Lan, kExampleTime),
              Request(kEightChannelType, MatrixCode::ReadMatrixStatus, {}), Text("3V1,4."),
              Request(kMatrixValueDeviceType, MatrixCode::ReadBacklight, {}),
              BuildMatrixValueFrame(0x01, MatrixCode::SetBacklightTime, 4, LinkKind::Lan),
              BuildMatrixValueFrame(0x01, MatrixCode::SetBacklightBrightness, 50, LinkKind::Lan),
              Request(kEightChannelType, MatrixCode::ReadMatrixStatus, {})},
             {0}));
  seeds.Write(
      "sixteen-channels-serial",
      Script({Concatenated({Text("12V9,10,16.\r\n5All."),
                            Request(kSixteenChannelType, MatrixCode::SetMatrixOutputFormat,
                                    {0x00, 7}, LinkKind::Serial),
                            Text("All#."),
                            BuildDeviceNameFrame(kSixteenChannelType, 0x01, LinkKind::Serial,
                                                 EncodeUtf16Le(u"Rack 2")),
                            Request(kSixteenChannelType, MatrixCode::ReadMatrixStatus, {},
                                    LinkKind::Serial)})},
             {kSerial | kSixteen}));
  seeds.Write("locked-refuses-routes",
              Script({Request(kSixteenChannelType, CommandCode::SetLock, {1}), Text("2All."),
                      Request(kSixteenChannelType, MatrixCode::ReadMatrixStatus, {}),
                      Request(kSixteenChannelType, CommandCode::SetLock, {0}), Text("17V1."),
                      Text("2V0,3.")},
                     {kSixteen}));
}

void WriteSettingsFileSeeds(const fs::path& root) {
  const SeedFolder seeds(root, "SettingsFileFuzzer");
  ViewerState viewer;
  viewer.StateImage = sim::EncodeStateImage(sim::MultiviewerState::Defaults(u"KVT2208Z"));
  DecodeStateImage(viewer);
  const ViewerSettings factory = SettingsOf(viewer);
  seeds.Write("factory", Text(WriteSettingsDocument(factory, {u"KVT2208Z", 1, {}, {}})));
  ViewerSettings show = factory;
  show.SwitcherMode = 1;
  show.LayoutCode = 160;
  show.UmdText[0] = u"Kamera 1 – Süd";
  show.UmdBackColour[3] = 31;
  show.MeterChannels[7] = 7;
  seeds.Write("show", Text(WriteSettingsDocument(show, {})));
  // Far deeper than any settings file: its reader must refuse it without recursing as deep.
  const std::size_t depth = 60000;
  seeds.Write("deep-nesting",
              Text("{\"format\": " + std::string(depth, '[') + std::string(depth, ']') + "}"));
  const std::string document = WriteSettingsDocument(factory, {});
  seeds.Write("duplicate-key",
              Text(document.substr(0, document.rfind('}')) + ", \"version\": 1}\n"));
  MatrixSettings matrix;
  matrix.routes = {4, 4, 4, 4, 5, 6, 7, 8};
  seeds.Write("matrix8", Text(WriteMatrixSettingsDocument(matrix, {u"MATRIX8", "127.0.0.12", 1})));
  matrix.kind = DeviceKind::Matrix16;
  matrix.routes = {16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
  matrix.backlightTime = 4;
  matrix.brightness = 80;
  matrix.outputFormat = 30;  // 720p59.94
  seeds.Write("matrix16", Text(WriteMatrixSettingsDocument(matrix, {})));
}

}  // namespace
}  // namespace quintara::fuzz

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quintara-fuzz-seeds CORPUS-FOLDER\n");
    return 2;
  }
  const std::filesystem::path root = argv[1];
  using namespace quintara::fuzz;
  WriteDiscoverAnswerSeeds(root);
  WriteSerialScanSeeds(root);
  WriteStateImageSeeds(root);
  WriteStatusReportSeeds(root);
  WriteMatrixReplySeeds(root);
  WriteSimSerialFramerSeeds(root);
  WriteSimMultiviewerSeeds(root);
  WriteSimMatrixSeeds(root);
  WriteSettingsFileSeeds(root);
  return 0;
}
