#include "cli/EachDevice.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CommandContext.h"
#include "cli/Json.h"

namespace quintara::cli {
namespace {

struct DeviceOutcome {
  std::string address;
  int status = kExitSuccess;
  std::string out;
  std::string err;
};

// The last thing the device's run said on stderr, without the program's name: its reason.
std::string Reason(const std::string& err) {
  std::string last;
  std::istringstream lines(err);
  for (std::string line; std::getline(lines, line);) {
    constexpr std::string_view kProgram = "quintara-cli: ";
    if (line.starts_with(kProgram)) {
      line.erase(0, kProgram.size());
    }
    if (!line.empty() && line != "nothing was sent") {
      last = line;
    }
  }
  return last;
}

void PrintText(const std::vector<DeviceOutcome>& outcomes, std::ostream& out) {
  for (const DeviceOutcome& outcome : outcomes) {
    out << outcome.address;
    if (outcome.status == kExitSuccess) {
      out << "  ok\n";
    } else {
      out << "  exit " << outcome.status << ": " << Reason(outcome.err) << "\n";
    }
  }
}

void PrintJsonSummary(const std::vector<DeviceOutcome>& outcomes, std::ostream& out) {
  Json devices = Json::array();
  for (const DeviceOutcome& outcome : outcomes) {
    Json entry{{"address", outcome.address}, {"exit", outcome.status}};
    const Json result = Json::parse(outcome.out, nullptr, false);
    if (!result.is_discarded()) {
      entry["result"] = result;
    }
    if (outcome.status != kExitSuccess) {
      entry["error"] = Reason(outcome.err);
    }
    devices.push_back(std::move(entry));
  }
  PrintJson(out, {{"devices", std::move(devices)}});
}

}  // namespace

int RunOnEachDevice(const GlobalOptions& options, std::ostream& out, std::ostream& err,
                    const DeviceRun& run) {
  if (options.devices.empty()) {
    return kExitUsage;
  }
  std::vector<DeviceOutcome> outcomes;
  for (const Ipv4Address& address : options.devices) {
    GlobalOptions one = options;
    one.device = address;
    one.devices = {address};
    std::ostringstream deviceOut;
    std::ostringstream deviceErr;
    const int status = run(one, deviceOut, deviceErr);
    DeviceOutcome outcome{address.ToText(), status, deviceOut.str(), deviceErr.str()};
    if (!options.json) {
      out << outcome.out << std::flush;
    }
    std::istringstream lines(outcome.err);
    for (std::string line; std::getline(lines, line);) {
      err << outcome.address << ": " << line << "\n";
    }
    outcomes.push_back(std::move(outcome));
  }
  if (options.json) {
    PrintJsonSummary(outcomes, out);
  } else {
    PrintText(outcomes, out);
  }
  return std::ranges::max(outcomes, {}, &DeviceOutcome::status).status;
}

}  // namespace quintara::cli
