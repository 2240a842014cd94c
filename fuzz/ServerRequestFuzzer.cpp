// A command request as a client of quintara-server may send one: byte 0 picks the device (bits
// 0-1: its kind; bit 2: locked), the rest is the request's body. A body or words that cannot be
// used send nothing; whatever runs ends with one of the command line's exit statuses.
#include <string_view>
#include <vector>

#include "cli/Cli.h"
#include "core/session/DeviceKinds.h"
#include "fuzz/ControllerRig.h"
#include "fuzz/Feeds.h"
#include "fuzz/FuzzCheck.h"
#include "server/api/ApiService.h"
#include "server/hub/DeviceHub.h"

namespace quintara::fuzz {
namespace {

std::shared_ptr<DeviceSession> DeviceOf(std::uint8_t choice, Controller& controller) {
  DeviceEntry entry;
  entry.DeviceType = kDeviceKinds[choice % kDeviceKinds.size()].deviceType;
  entry.DeviceAddress = 0x01;
  entry.DeviceIdentity = {0x51, 0x54, 0x00, 0x01};
  entry.SetAddressText("127.0.0.1");
  auto device = std::make_shared<DeviceSession>(entry, "KVT2208Z_127.0.0.1", controller);
  device->SetLockState((choice & 4) != 0 ? 1 : 0);
  return device;
}

}  // namespace

void FeedServerRequest(Input input) {
  if (input.empty()) {
    return;
  }
  const std::string_view body(reinterpret_cast<const char*>(input.data()) + 1, input.size() - 1);
  std::string problem;
  const std::optional<std::vector<std::string>> words = server::ParseCommandBody(body, problem);
  if (!words) {
    QUINTARA_FUZZ_CHECK(!problem.empty());
    return;
  }
  ControllerRig rig(LinkKind::Lan);
  const std::shared_ptr<DeviceSession> device = DeviceOf(input[0], rig.controller);
  const std::optional<std::vector<std::string>> full =
      server::CommandLineWords(*device, *words, problem);
  if (!full) {
    QUINTARA_FUZZ_CHECK(!problem.empty());
    return;
  }
  GlobalOptions options;
  options.json = true;
  server::RequestPrompter prompter;
  server::RequestContext context(options, rig.controller, *device, prompter);
  const cli::NameFieldRecorder names;
  int status = cli::kExitUsage;
  try {
    status = cli::RunDeviceCommandWords(context, names, *full);
  } catch (const cli::UsageError& error) {
    QUINTARA_FUZZ_CHECK(!error.message.empty());
    QUINTARA_FUZZ_CHECK(rig.link.FramesSent() == 0);
    return;
  }
  QUINTARA_FUZZ_CHECK(status >= cli::kExitSuccess && status <= cli::kExitOutputFailed);
  if (context.LastResult() == CommandResult::RefusedLocked) {
    QUINTARA_FUZZ_CHECK(status != cli::kExitSuccess && rig.link.FramesSent() == 0);
  }
}

}  // namespace quintara::fuzz
