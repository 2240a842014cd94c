#include "cli/Cli.h"

#include <cstdio>
#include <optional>

#include "cli/CliSession.h"
#include "cli/CommandGroups.h"
#include "cli/EachDevice.h"
#include "cli/Json.h"
#include "cli/PresetCli.h"
#include "cli/SettingsFiles.h"
#include "core/CommandLine.h"
#include "core/Controller.h"
#include "core/link/SerialPortList.h"
#include "core/text/TextCodec.h"

namespace quintara::cli {
namespace {

int PrintSerialPorts(const GlobalOptions& options, std::ostream& out, std::ostream& err) {
  const std::optional<std::vector<std::string>> ports = ListSerialPorts();
  if (!ports) {
    err << "cannot read the list of serial devices\n";
    return kExitLinkSetup;
  }
  if (options.json) {
    Json list = Json::array();
    for (const std::string& port : *ports) {
      list.push_back({{"name", port}, {"path", SerialDevicePath(port)}});
    }
    PrintJson(out, {{"ports", list}});
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

// A settings file that cannot be applied is said once, before any device is searched for.
std::optional<int> RefusedImportFile(const CommandGroup& group, const std::string& file,
                                     std::ostream& err) {
  const SettingsFileCommands* files = SettingsFilesOf(group.word);
  if (const std::optional<std::string> problem = files ? files->checkFile(file) : std::nullopt) {
    err << "quintara-cli: " << file << ": " << *problem << "\nnothing was sent\n";
    return kExitUsage;
  }
  return std::nullopt;
}

int RunGroupCommand(const CommandGroup& group, const GlobalOptions& options,
                    const LinkTiming& timing, std::ostream& out, std::ostream& err,
                    const std::vector<std::string>& arguments) {
  if (arguments.size() == 2 && arguments[1] == "help") {
    out << group.usage();
    return kExitSuccess;
  }
  group.check(arguments);
  if (!options.device && !options.serialPort) {
    throw UsageError{std::string(group.word) + " needs --device ADDR or --serial PORT"};
  }
  const DeviceRun run = [&](const GlobalOptions& one, std::ostream& oneOut, std::ostream& oneErr) {
    NameFieldRecorder observer;
    CliSession session(one, timing, oneOut, oneErr, observer);
    return RunDeviceCommandWords(session, observer, arguments);
  };
  if (options.devices.size() < 2) {
    return run(options, out, err);
  }
  if (arguments[1] != "import") {
    throw UsageError{"several --device go with mv import and matrix import only"};
  }
  if (const std::optional<int> refused = RefusedImportFile(group, arguments[2], err)) {
    return *refused;
  }
  return RunOnEachDevice(options, out, err, run);
}

int RunPresetCommand(const GlobalOptions& options, const LinkTiming& timing, std::ostream& out,
                     std::ostream& err, const std::vector<std::string>& arguments) {
  CheckPresetCommand(arguments);
  const std::string& verb = arguments[1];
  if (verb == "help") {
    out << PresetUsage();
    return kExitSuccess;
  }
  const std::optional<PresetStore> store = PresetsOf(options, err);
  if (!store) {
    return kExitUsage;
  }
  if (verb == "list") {
    return ListPresets(*store, options.json, out, err);
  }
  const std::string& name = arguments[2];
  if (verb == "delete") {
    return DeletePreset(*store, name, options.json, out, err);
  }
  if (!options.device && !options.serialPort) {
    throw UsageError{"preset " + verb + " needs --device ADDR or --serial PORT"};
  }
  const DeviceRun run = [&](const GlobalOptions& one, std::ostream& oneOut, std::ostream& oneErr) {
    ControllerObserver observer;
    CliSession session(one, timing, oneOut, oneErr, observer);
    return verb == "save" ? SavePreset(session, *store, name) : RecallPreset(session, *store, name);
  };
  if (options.devices.size() < 2) {
    return run(options, out, err);
  }
  if (verb != "recall") {
    throw UsageError{"preset save goes to one device: --device is given " +
                     std::to_string(options.devices.size()) + " times"};
  }
  std::string problem;
  if (!store->KindOf(name, problem)) {
    err << "quintara-cli: " << problem << "\nnothing was sent\n";
    return kExitUsage;
  }
  return RunOnEachDevice(options, out, err, run);
}

bool Send(DeviceSession& device, const DeviceCommand& command) {
  if (command.name == "SetLock") {
    return device.SetLock(command.lockState);
  }
  if (command.name == "SetDeviceName") {
    return device.SendDeviceName(command.deviceName);
  }
  if (!command.staticAddress) {
    return device.SendDhcpConfig();
  }
  device.ChooseAddressMode(kStaticAddress);
  return device.ApplyStaticAddress(*command.staticAddress);
}

// The window refuses 0.0.0.0 before it sends anything; so does the command line, before the search.
bool RefusedAddress(const DeviceCommand& command, std::ostream& err) {
  if (!command.staticAddress || !command.staticAddress->IsZero()) {
    return false;
  }
  ConsolePrompter(err).ShowError(kInputIpError);
  return true;
}

}  // namespace

int RunDeviceCommandWords(CommandContext& session, const NameFieldRecorder& names,
                          const std::vector<std::string>& arguments) {
  if (const CommandGroup* group = FindCommandGroup(arguments.at(0))) {
    group->check(arguments);
    session.ExpectDevicesOf(group->word, group->deviceNoun);
    return group->run(session, names, arguments);
  }
  const DeviceCommand command = ParseDeviceCommand(arguments);
  if (RefusedAddress(command, session.Err())) {
    return kExitUsage;
  }
  if (const int status = session.Connect(); status != kExitSuccess) {
    return status;
  }
  return session.ReportSent(command.name, Send(session.Device(), command));
}

std::string CliUsage() {
  return "Usage: quintara-cli [options] COMMAND\n"
         "Searches for Quintara devices and sends them commands.\n\n"
         "Commands:\n"
         "  discover                  search and list every device that answers\n"
         "  ports                     list the machine's serial ports and their device paths\n"
         "  lock on|off               lock or unlock the device\n"
         "  name TEXT                 rename the device, at most 16 characters\n"
         "  network static A.B.C.D    give the device a static address\n"
         "  network dhcp              let the device take its address by DHCP\n"
         "  mv ...                    multiviewer commands; 'quintara-cli mv help' lists them\n"
         "  matrix ...                matrix switcher commands; 'quintara-cli matrix help'\n"
         "  preset ...                named presets: list, save, recall, delete; 'quintara-cli\n"
         "                            preset help'\n"
         "The device commands go to the device at --device ADDR, or to the one found on the\n"
         "serial line with --serial PORT. mv import, matrix import and preset recall take\n"
         "several --device and apply to each in turn: one result line per device (--json:\n"
         "{\"devices\": [...]}), exit status the highest of theirs.\n\n" +
         GlobalOptionsHelp() +
         "\nExit status: 0 success; 1 no device answered, or the device did not answer;\n"
         "2 bad usage, no command sent (a settings file that cannot be read or applied, an\n"
         "export FILE that is no regular file included; the search goes first when the\n"
         "device's kind decides, as for an input beyond an eight-channel switcher); 3 this\n"
         "machine's end of the link could not be set up (a local port held by another\n"
         "program, no socket, a serial port that cannot be opened); 4 the device's settings\n"
         "and the file disagree (mv or matrix import: the device is locked, or the state\n"
         "read back differs; mv or matrix export: the device holds a value no file\n"
         "carries); 5 the command succeeded, but its results could not be written\n"
         "(standard output, an export FILE).\n";
}

namespace {

// Every result a command printed reaches standard output, or the run fails: a backup written to
// a full disk must not pass for a good one.
int CheckOutput(int status, std::ostream& out, std::ostream& err) {
  if (out.flush()) {
    return status;
  }
  err << "quintara-cli: cannot write the results to standard output\n";
  return status == kExitSuccess ? kExitOutputFailed : status;
}

bool TakesDryRun(const std::vector<std::string>& arguments) {
  if (arguments.size() < 2) {
    return false;
  }
  return ((arguments[0] == "mv" || arguments[0] == "matrix") && arguments[1] == "import") ||
         (arguments[0] == "preset" && arguments[1] == "recall");
}

int RunCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err,
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
    // Plain text even with --json, as --help and 'mv help' are.
    if (options.version) {
      out << VersionLine("quintara-cli");
      return kExitSuccess;
    }
    if (options.device && options.serialPort) {
      throw UsageError{"--device names a device on the network; it does not go with --serial"};
    }
    if (arguments.empty()) {
      throw UsageError{"no command given"};
    }
    if (options.dryRun && !TakesDryRun(arguments)) {
      throw UsageError{"--dry-run goes with mv import, matrix import and preset recall only"};
    }
    if (arguments[0] == "ports") {
      if (arguments.size() != 1) {
        throw UsageError{"ports takes no arguments"};
      }
      return PrintSerialPorts(options, out, err);
    }
    if (const CommandGroup* group = FindCommandGroup(arguments[0])) {
      return RunGroupCommand(*group, options, timing, out, err, arguments);
    }
    if (arguments[0] == "preset") {
      return RunPresetCommand(options, timing, out, err, arguments);
    }
    if (arguments[0] == "discover") {
      if (arguments.size() != 1) {
        throw UsageError{"discover takes no arguments"};
      }
      ControllerObserver observer;
      return CliSession(options, timing, out, err, observer).Discover();
    }
    const DeviceCommand command = ParseDeviceCommand(arguments);
    if (options.devices.size() > 1) {
      throw UsageError{arguments[0] + " goes to one device: --device is given " +
                       std::to_string(options.devices.size()) + " times"};
    }
    if (!options.device && !options.serialPort) {
      throw UsageError{arguments[0] + " needs --device ADDR or --serial PORT"};
    }
    if (RefusedAddress(command, err)) {
      return kExitUsage;
    }
    NameFieldRecorder observer;
    CliSession session(options, timing, out, err, observer);
    return RunDeviceCommandWords(session, observer, arguments);
  } catch (const UsageError& error) {
    err << "quintara-cli: " << error.message << "\nTry 'quintara-cli --help'.\n";
    return kExitUsage;
  }
}

}  // namespace

int RunCli(std::span<const std::string> args, std::ostream& out, std::ostream& err,
           const LinkTiming& timing) {
  return CheckOutput(RunCommand(args, out, err, timing), out, err);
}

}  // namespace quintara::cli
