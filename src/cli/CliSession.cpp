#include "cli/CliSession.h"

#include <cstdio>

#include "cli/Json.h"
#include "cli/TerminalText.h"

namespace quintara::cli {
namespace {

std::string Hex2(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", value & 0xFFu);
  return text;
}

std::string IdentityText(const DeviceEntry& entry) {
  char text[16];
  std::snprintf(text, sizeof text, "%02X %02X %02X %02X", entry.DeviceIdentity[0],
                entry.DeviceIdentity[1], entry.DeviceIdentity[2], entry.DeviceIdentity[3]);
  return text;
}

// The device list as the window shows it, then each device found with its table entry.
void PrintDevicesText(const DeviceDirectory& devices, std::ostream& out) {
  const std::size_t count = devices.Table().Count();
  if (count == 0) {
    for (const std::string& line : devices.Lines()) {
      out << TerminalText(line) << "\n";
    }
  }
  for (std::size_t i = 0; i < count; ++i) {
    const DeviceEntry& entry = devices.Table().Entry(i);
    const std::string address = entry.AddressText();
    out << TerminalText(devices.Lines()[i]) << "  address "
        << (address.empty() ? "(serial line)" : address) << "  DeviceType "
        << Hex2(entry.DeviceType) << "  DeviceAddress " << Hex2(entry.DeviceAddress)
        << "  DeviceIdentity " << IdentityText(entry) << "  ModelMatch "
        << static_cast<int>(entry.ModelMatch) << "\n";
  }
  out << devices.StatusText() << "\n";
}

void PrintDevicesJson(const DeviceDirectory& devices, std::ostream& out) {
  Json found = Json::array();
  for (std::size_t i = 0; i < devices.Table().Count(); ++i) {
    const DeviceEntry& entry = devices.Table().Entry(i);
    found.push_back({{"line", devices.Lines()[i]},
                     {"address", entry.AddressText()},
                     {"DeviceType", entry.DeviceType},
                     {"DeviceAddress", entry.DeviceAddress},
                     {"DeviceIdentity", entry.DeviceIdentity},
                     {"ModelMatch", entry.ModelMatch}});
  }
  PrintJson(out, {{"devices", found}, {"list", devices.Lines()}, {"status", devices.StatusText()}});
}

LinkConfig LinkFor(const GlobalOptions& options) {
  LinkConfig link = options.link;
  if (options.device) {
    link.searchTargets = {*options.device};
  }
  return link;
}

}  // namespace

void ConsolePrompter::ShowError(std::string_view message) {
  err_ << message << "\n";
  errorShown_ = true;
}

bool ConsolePrompter::Confirm(std::string_view message) {
  err_ << kWarningCaption << ": " << message << " (not confirmed)\n";
  return false;
}

void ConsolePrompter::ShowInfo(std::string_view message) {
  err_ << message << "\n";
}

CliSession::CliSession(const GlobalOptions& options, const LinkTiming& timing, std::ostream& out,
                       std::ostream& err, ControllerObserver& observer)
    : CommandContext(options, out, err, "quintara-cli"),
      prompter_(err),
      controller_(LinkFor(options), timing, clock_, prompter_, observer) {
  // Standard output carries the results; the protocol's diagnostic lines go to stderr when asked.
  controller_.SetDiagnostics(options.verbose ? err : unheardDiagnostics_);
  StartSocketLibrary(prompter_);
}

int CliSession::Discover() {
  if (!OpenLink()) {
    return kExitLinkSetup;
  }
  controller_.Search({Options().device});
  if (const std::optional<int> failure = LinkSetupFailure()) {
    return *failure;
  }
  if (prompter_.ErrorShown()) {
    return kExitNoDevice;
  }
  const DeviceDirectory& devices = controller_.Devices();
  Options().json ? PrintDevicesJson(devices, Out()) : PrintDevicesText(devices, Out());
  if (Options().device && !FindDevice()) {
    Err() << "no answer from " << Where() << "\n";
    return kExitNoDevice;
  }
  return devices.FoundCount() > 0 ? kExitSuccess : kExitNoDevice;
}

int CliSession::Connect() {
  // A command that looks at the device before it picks what to run (a preset) connects once.
  if (searched_) {
    return WrongKind().value_or(kExitSuccess);
  }
  if (!OpenLink()) {
    return kExitLinkSetup;
  }
  controller_.Search({Options().device});
  if (const std::optional<int> failure = LinkSetupFailure()) {
    return *failure;
  }
  const std::optional<int> index = FindDevice();
  if (!index) {
    if (!prompter_.ErrorShown()) {
      Err() << "no answer from " << Where() << "\n";
    }
    return kExitNoDevice;
  }
  controller_.Devices().SetSelectedIndex(*index);
  searched_ = true;
  return WrongKind().value_or(kExitSuccess);
}

bool CliSession::OpenLink() {
  if (!Options().serialPort) {
    return true;
  }
  controller_.SetLinkKind(LinkKind::Serial);
  if (!controller_.OpenSelectedPort(*Options().serialPort, Options().baud)) {
    Err() << "cannot open serial port " << *Options().serialPort << "\n";
    return false;
  }
  return true;
}

std::string CliSession::Where() const {
  return Options().serialPort ? "the serial line " + *Options().serialPort
                              : Options().device->ToText();
}

std::optional<int> CliSession::FindDevice() const {
  const DeviceDirectory& devices = controller_.Devices();
  if (Options().serialPort) {
    return devices.FoundCount() > 0 ? std::optional<int>(0) : std::nullopt;
  }
  const DeviceTable& table = devices.Table();
  for (std::size_t i = 0; i < table.Count(); ++i) {
    if (table.Entry(i).AddressText() == Options().device->ToText()) {
      return static_cast<int>(i);
    }
  }
  return std::nullopt;
}

std::string CliSession::SelectedListLine() const {
  const std::vector<std::string>& lines = controller_.Devices().Lines();
  const auto index = static_cast<std::size_t>(controller_.Devices().SelectedIndex());
  return index < lines.size() ? lines[index] : Where();
}

}  // namespace quintara::cli
