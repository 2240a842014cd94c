// The network search fed with answers: every device pattern of every answer the search takes
// is listed, in arrival order, with fields that come from the answer's own bytes.
#include <algorithm>
#include <string>
#include <vector>

#include "core/link/DeviceTable.h"
#include "core/text/TextCodec.h"
#include "fuzz/ControllerRig.h"
#include "fuzz/Feeds.h"
#include "fuzz/FuzzCheck.h"

namespace quintara::fuzz {
namespace {

constexpr std::size_t kSearchBuffer = 128;
const Ipv4Address kFirstSender{{127, 0, 0, 11}};

// The devices an answer should yield, read straight from its bytes.
void ExpectDevices(const Message& answer, const Ipv4Address& sender,
                   std::vector<DiscoveredDevice>& expected) {
  const bool taken = answer.size() <= kSearchBuffer && IsFrameShaped(answer) &&
                     answer.size() >= 22 && IsAcceptedDeviceType(answer[4]);
  if (!taken) {
    return;
  }
  for (std::size_t p = 18; p + 3 < answer.size(); ++p) {
    if (answer[p] != '-' || answer[p + 2] != '-') {
      continue;
    }
    const std::span<const std::uint8_t> name = std::span(answer).subspan(18, p - 18);
    DiscoveredDevice device;
    device.entry.SetAddressText(sender.ToText());
    device.entry.DeviceType = answer[4];
    device.entry.DeviceAddress = answer[5];
    for (std::size_t k = 0; k < 4; ++k) {
      device.entry.DeviceIdentity[k] = p + 3 + k < answer.size() ? answer[p + 3 + k] : 0;
    }
    device.entry.ModelMatch = IsMatchedModelName(name) ? 1 : 0;
    device.listLine = Latin1ToUtf8(name) + "_" + sender.ToText();
    expected.push_back(device);
  }
}

}  // namespace

void FeedDiscoverAnswers(Input input) {
  ControllerRig rig(LinkKind::Lan, kFirstSender);
  const std::vector<Message> answers = SplitMessages(input);
  for (const Message& answer : answers) {
    rig.link.Add(answer);
  }
  rig.controller.SearchNetwork();

  std::vector<DiscoveredDevice> expected;
  for (std::size_t i = 0; i < answers.size(); ++i) {
    ExpectDevices(answers[i], ScriptedLink::SenderOf(kFirstSender, i), expected);
  }
  const DeviceDirectory& devices = rig.controller.Devices();
  const std::size_t listed = std::min(expected.size(), DeviceTable::kCapacity);
  QUINTARA_FUZZ_CHECK(devices.Table().Count() == listed);
  for (std::size_t i = 0; i < listed; ++i) {
    QUINTARA_FUZZ_CHECK(devices.Table().Entry(i) == expected[i].entry);
    QUINTARA_FUZZ_CHECK(devices.Lines()[i] == expected[i].listLine);
  }
  if (listed > 0) {
    QUINTARA_FUZZ_CHECK(devices.Lines().size() == listed);
    QUINTARA_FUZZ_CHECK(devices.SelectedIndex() == 0);
    QUINTARA_FUZZ_CHECK(rig.face.statusText == "Connected - " + std::to_string(listed));
  } else {
    QUINTARA_FUZZ_CHECK(devices.Lines() == std::vector<std::string>{std::string(kNoDeviceFound)});
    QUINTARA_FUZZ_CHECK(devices.SelectedIndex() == -1);
  }
}

}  // namespace quintara::fuzz
