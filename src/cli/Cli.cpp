#include "cli/Cli.h"

#include <cstdio>
#include <optional>

#include "cli/Json.h"
#include "core/CommandLine.h"
#include "core/Controller.h"
#include "core/link/SerialPortList.h"
#include "core/text/TextCodec.h"

namespace quintara::cli {
namespace {

// Operator messages go to stderr, exactly as the boxes would show them.
class ConsolePrompter final : public Prompter {
 public:
  explicit ConsolePrompter(std::ostream& err) : err_(err) {}
  void ShowError(std::string_view message) override {
    err_ << message << "\n";
    errorShown_ = true;
  }
  bool Confirm(std::string_view message) override {
    err_ << kWarningCaption << ": " << message << " (not confirmed)\n";
    return false;
  }
  bool ErrorShown() const { return errorShown_; }

 private:
  std::ostream& err_;
  bool errorShown_ = false;
};

struct UsageError {
  std::string message;
};

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

int PrintSerialPorts(const GlobalOptions& options, std::ostream& out, std::ostream& err) {
  const std::optional<std::vector<std::string>> ports = ListSerialPorts();
  if (!ports) {
    err << "cannot read the list of serial devices\n";
    return kExitNoDevice;
  }
  if (options.json) {
    out << "{\"ports\":[";
    for (std::size_t i = 0; i < ports->size(); ++i) {
      out << (i > 0 ? "," : "") << "{\"name\":" << JsonString((*ports)[i])
          << ",\"path\":" << JsonString(SerialDevicePath((*ports)[i])) << "}";
    }
    out << "]}\n";
    return kExitSuccess;
  }
  for (const std::string& port : *ports) {
    out << port << "  " << SerialDevicePath(port) << "\n";
  }
  return kExitSuccess;
}

// One device command, checked before anything is sent.
struct DeviceCommand {
  std::string name;  // SetLock, SetDeviceName, SetNetwork
  std::uint8_t lockState = 0;
  std::u16string deviceName;
  std::optional<Ipv4Address> staticAddress;  // none: DHCP
};

DeviceCommand ParseDeviceCommand(const std::vector<std::string>& arguments) {
  const std::string& verb = arguments[0];
  const std::size_t count = arguments.size();
  DeviceCommand command;
  if (verb == "lock" && count == 2 && (arguments[1] == "on" || arguments[1] == "off")) {
    command.name = "SetLock";
    command.lockState = arguments[1] == "on" ? 1 : 0;
  } else if (verb == "name" && count == 2) {
    const std::optional<std::u16string> name = Utf8ToUtf16(arguments[1]);
    if (!name) {
      throw UsageError{"the name is not valid UTF-8"};
    }
    if (name->size() > kDeviceNameMaxCharacters) {
      throw UsageError{"a device name has at most 16 characters"};
    }
    command.name = "SetDeviceName";
    command.deviceName = *name;
  } else if (verb == "network" && count == 3 && arguments[1] == "static") {
    command.staticAddress = Ipv4Address::Parse(arguments[2]);
    if (!command.staticAddress) {
      throw UsageError{"network static takes an IPv4 address, not '" + arguments[2] + "'"};
    }
    command.name = "SetNetwork";
  } else if (verb == "network" && count == 2 && arguments[1] == "dhcp") {
    command.name = "SetNetwork";
  } else {
    throw UsageError{"usage: lock on|off, name TEXT, network static A.B.C.D or network dhcp"};
  }
  return command;
}

class CliSession {
 public:
  CliSession(const GlobalOptions& options, const LinkTiming& timing, std::ostream& out,
             std::ostream& err)
      : options_(options),
        out_(out),
        err_(err),
        prompter_(err),
        controller_(LinkFor(options), timing, clock_, prompter_, observer_) {
    StartSocketLibrary(prompter_);
  }

  int Discover() {
    if (!OpenLink()) {
      return kExitNoDevice;
    }
    controller_.Search(StopFor(options_));
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

  int Run(const DeviceCommand& command) {
    if (!OpenLink()) {
      return kExitNoDevice;
    }
    controller_.Search(StopFor(options_));
    const std::optional<int> index = FindDevice();
    if (!index) {
      if (!prompter_.ErrorShown()) {
        err_ << "no answer from " << Where() << "\n";
      }
      return kExitNoDevice;
    }
    controller_.Devices().SetSelectedIndex(*index);
    if (!Send(command)) {
      return prompter_.ErrorShown() ? kExitUsage : kExitNoDevice;
    }
    const std::vector<std::string>& lines = controller_.Devices().Lines();
    const auto position = static_cast<std::size_t>(*index);
    const std::string device = position < lines.size() ? lines[position] : Where();
    if (options_.json) {
      out_ << "{\"sent\":" << JsonString(command.name) << ",\"device\":" << JsonString(device)
           << "}\n";
    } else {
      out_ << command.name << " sent to " << device << "\n";
    }
    return kExitSuccess;
  }

 private:
  bool OpenLink() {
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

  std::string Where() const {
    return options_.serialPort ? "the serial line " + *options_.serialPort
                               : options_.device->ToText();
  }

  static LinkConfig LinkFor(const GlobalOptions& options) {
    LinkConfig link = options.link;
    if (options.device) {
      link.searchTargets = {*options.device};
    }
    return link;
  }

  static SearchStop StopFor(const GlobalOptions& options) { return {options.device}; }

  // The device commands go to: the one on the serial line, or the one at --device.
  std::optional<int> FindDevice() const {
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

  bool Send(const DeviceCommand& command) {
    if (command.name == "SetLock") {
      return controller_.SetLock(command.lockState);
    }
    if (command.name == "SetDeviceName") {
      return controller_.SendDeviceName(command.deviceName);
    }
    if (!command.staticAddress) {
      return controller_.SendDhcpConfig();
    }
    controller_.ChooseAddressMode(kStaticAddress);
    return controller_.ApplyStaticAddress(*command.staticAddress);
  }

  const GlobalOptions& options_;
  std::ostream& out_;
  std::ostream& err_;
  SystemClock clock_;
  ConsolePrompter prompter_;
  ControllerObserver observer_;
  Controller controller_;
};

}  // namespace

std::string CliUsage() {
  return "Usage: quintara-cli [options] COMMAND\n"
         "Searches for Quintara devices and sends them commands.\n\n"
         "Commands:\n"
         "  discover                  search and list every device that answers\n"
         "  ports                     list the machine's serial ports and their device paths\n"
         "  lock on|off               lock or unlock the device (needs --device)\n"
         "  name TEXT                 rename the device, at most 16 characters (needs --device)\n"
         "  network static A.B.C.D    give the device a static address (needs --device)\n"
         "  network dhcp              let the device take its address by DHCP (needs "
         "--device)\n\n" +
         GlobalOptionsHelp() +
         "\nExit status: 0 success, 1 the device did not answer or could not be reached,\n"
         "2 bad usage.\n";
}

int RunCli(std::span<const std::string> args, std::ostream& out, std::ostream& err,
           const LinkTiming& timing) {
  const CommandLine commandLine = ParseCommandLine(args);
  const GlobalOptions& options = commandLine.options;
  const std::vector<std::string>& arguments = commandLine.arguments;
  try {
    if (!commandLine.error.empty()) {
      throw UsageError{commandLine.error};
    }
    if (options.help) {
      out << CliUsage();
      return kExitSuccess;
    }
    if (options.device && options.serialPort) {
      throw UsageError{"--device names a device on the network; it does not go with --serial"};
    }
    if (arguments.empty()) {
      throw UsageError{"no command given"};
    }
    if (arguments[0] == "ports") {
      if (arguments.size() != 1) {
        throw UsageError{"ports takes no arguments"};
      }
      return PrintSerialPorts(options, out, err);
    }
    if (arguments[0] == "discover") {
      if (arguments.size() != 1) {
        throw UsageError{"discover takes no arguments"};
      }
      return CliSession(options, timing, out, err).Discover();
    }
    const DeviceCommand command = ParseDeviceCommand(arguments);
    if (!options.device && !options.serialPort) {
      throw UsageError{arguments[0] + " needs --device ADDR or --serial PORT"};
    }
    return CliSession(options, timing, out, err).Run(command);
  } catch (const UsageError& error) {
    err << "quintara-cli: " << error.message << "\nTry 'quintara-cli --help'.\n";
    return kExitUsage;
  }
}

}  // namespace quintara::cli
