#include "cli/CliSession.h"

#include <cstdio>

#include "cli/Json.h"

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

void PrintDevicesText(const DeviceDirectory& devices, std::ostream& out) {
  for (std::size_t i = 0; i < devices.Table().Count(); ++i) {
    const DeviceEntry& entry = devices.Table().Entry(i);
    const std::string address = entry.AddressText();
    out << devices.Lines()[i] << "  address " << (address.empty() ? "(serial line)" : address)
        << "  DeviceType " << Hex2(entry.DeviceType) << "  DeviceAddress "
        << Hex2(entry.DeviceAddress) << "  DeviceIdentity " << IdentityText(entry)
        << "  ModelMatch " << static_cast<int>(entry.ModelMatch) << "\n";
  }
  out << devices.StatusText() << "\n";
}

void PrintDevicesJson(const DeviceDirectory& devices, std::ostream& out) {
  out << "{\"devices\":[";
  for (std::size_t i = 0; i < devices.Table().Count(); ++i) {
    const DeviceEntry& entry = devices.Table().Entry(i);
    out << (i > 0 ? "," : "") << "{\"line\":" << JsonString(devices.Lines()[i])
        << ",\"address\":" << JsonString(entry.AddressText())
        << ",\"DeviceType\":" << static_cast<int>(entry.DeviceType)
        << ",\"DeviceAddress\":" << static_cast<int>(entry.DeviceAddress)
        << ",\"DeviceIdentity\":[";
    for (std::size_t k = 0; k < entry.DeviceIdentity.size(); ++k) {
      out << (k > 0 ? "," : "") << static_cast<int>(entry.DeviceIdentity[k]);
    }
    out << "],\"ModelMatch\":" << static_cast<int>(entry.ModelMatch) << "}";
  }
  out << "],\"status\":" << JsonString(devices.StatusText()) << "}\n";
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

CliSession::CliSession(const GlobalOptions& options, const LinkTiming& timing, std::ostream& out,
                       std::ostream& err, ControllerObserver& observer)
    : options_(options),
      out_(out),
      err_(err),
      prompter_(err),
      controller_(LinkFor(options), timing, clock_, prompter_, observer) {
  controller_.SetDiagnostics(err);  // standard output carries the results
  StartSocketLibrary(prompter_);
}

int CliSession::Discover() {
  if (!OpenLink()) {
    return kExitNoDevice;
  }
  controller_.Search({options_.device});
  if (prompter_.ErrorShown()) {
    return kExitNoDevice;
  }
  const DeviceDirectory& devices = controller_.Devices();
  options_.json ? PrintDevicesJson(devices, out_) : PrintDevicesText(devices, out_);
  if (options_.device && !FindDevice()) {
    err_ << "no answer from " << Where() << "\n";
    return kExitNoDevice;
  }
  return kExitSuccess;
}

int CliSession::Connect() {
  if (!OpenLink()) {
    return kExitNoDevice;
  }
  controller_.Search({options_.device});
  const std::optional<int> index = FindDevice();
  if (!index) {
    if (!prompter_.ErrorShown()) {
      err_ << "no answer from " << Where() << "\n";
    }
    return kExitNoDevice;
  }
  controller_.Devices().SetSelectedIndex(*index);
  return kExitSuccess;
}

int CliSession::ReportSent(std::string_view commandName, bool sent) {
  if (!sent) {
    return prompter_.ErrorShown() ? kExitUsage : kExitNoDevice;
  }
  if (options_.json) {
    out_ << "{\"sent\":" << JsonString(commandName) << ",\"device\":" << JsonString(SelectedLine())
         << "}\n";
  } else {
    out_ << commandName << " sent to " << SelectedLine() << "\n";
  }
  return kExitSuccess;
}

bool CliSession::OpenLink() {
  if (!options_.serialPort) {
    return true;
  }
  controller_.SetLinkKind(LinkKind::Serial);
  if (!controller_.OpenSelectedPort(*options_.serialPort, options_.baud)) {
    err_ << "cannot open serial port " << *options_.serialPort << "\n";
    return false;
  }
  return true;
}

std::string CliSession::Where() const {
  return options_.serialPort ? "the serial line " + *options_.serialPort
                             : options_.device->ToText();
}

std::optional<int> CliSession::FindDevice() const {
  const DeviceDirectory& devices = controller_.Devices();
  if (options_.serialPort) {
    return devices.FoundCount() > 0 ? std::optional<int>(0) : std::nullopt;
  }
  const DeviceTable& table = devices.Table();
  for (std::size_t i = 0; i < table.Count(); ++i) {
    if (table.Entry(i).AddressText() == options_.device->ToText()) {
      return static_cast<int>(i);
    }
  }
  return std::nullopt;
}

std::string CliSession::SelectedLine() const {
  const std::vector<std::string>& lines = controller_.Devices().Lines();
  const auto index = static_cast<std::size_t>(controller_.Devices().SelectedIndex());
  return index < lines.size() ? lines[index] : Where();
}

}  // namespace quintara::cli
