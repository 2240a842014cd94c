#include "cli/MatrixCli.h"

#include <span>

#include "cli/Arguments.h"
#include "cli/Json.h"
#include "cli/MatrixSettingsCli.h"
#include "cli/TerminalText.h"
#include "core/matrix/MatrixCommands.h"
#include "core/matrix/MatrixState.h"
#include "core/text/TextCodec.h"

namespace quintara::cli {
namespace {

using Args = std::vector<std::string>;

void NeedArgs(const Args& a, std::size_t fewest, std::size_t most) {
  if (a.size() - 2 < fewest || a.size() - 2 > most) {
    throw UsageError{"matrix " + a[1] +
                     ": wrong number of arguments; see 'quintara-cli matrix help'"};
  }
}

// Every comma-separated item is an output 1-16: an empty list or item is refused rather than
// read as fewer outputs.
std::vector<int> Outputs(const std::string& list) {
  std::vector<int> outputs;
  for (std::size_t start = 0;;) {
    const std::size_t comma = list.find(',', start);
    outputs.push_back(BoundedNumber(list.substr(start, comma - start), 1, 16, "an output"));
    if (comma == std::string::npos) {
      return outputs;
    }
    start = comma + 1;
  }
}

std::uint8_t BacklightTime(const std::string& text) {
  for (std::size_t i = 0; i < kBacklightTimeTexts.size(); ++i) {
    if (text == kBacklightTimeTexts[i]) {
      return static_cast<std::uint8_t>(i);
    }
  }
  return static_cast<std::uint8_t>(BoundedNumber(text, 0, 4, "backlight-time"));
}

std::uint8_t FormatIndex(const std::string& text) {
  for (std::size_t i = 0; i < MatrixFormatTable.size(); ++i) {
    if (text == MatrixFormatTable[i].text) {
      return static_cast<std::uint8_t>(i);
    }
  }
  throw UsageError{"output-format takes a format name such as 1080p60, not '" + text + "'"};
}

void Check(const Args& a) {
  const std::string& verb = a[1];
  if (verb == "status" || verb == "one-to-one" || verb == "backlight") {
    NeedArgs(a, 0, 0);
  } else if (verb == "export" || verb == "import") {
    NeedArgs(a, verb == "import" ? 1 : 0, 1);
  } else if (verb == "route") {
    NeedArgs(a, 2, 2);
    BoundedNumber(a[2], 1, 16, "the input");
    Outputs(a[3]);
  } else if (verb == "all") {
    NeedArgs(a, 1, 1);
    BoundedNumber(a[2], 1, 16, "the input");
  } else if (verb == "backlight-time") {
    NeedArgs(a, 1, 1);
    BacklightTime(a[2]);
  } else if (verb == "brightness") {
    NeedArgs(a, 1, 1);
    BoundedNumber(a[2], 0, kMaxBrightness, "brightness");
  } else if (verb == "output-format") {
    NeedArgs(a, 1, 1);
    FormatIndex(a[2]);
  } else {
    throw UsageError{"unknown matrix command '" + verb + "'; see 'quintara-cli matrix help'"};
  }
}

void PrintStatus(CommandContext& session, const MatrixCommands& commands,
                 const std::u16string& name) {
  DeviceSession& device = session.Device();
  const MatrixState& matrix = device.Matrix();
  std::ostream& out = session.Out();
  const bool sixteen = commands.Outputs() == 16;
  const std::string format(sixteen ? MatrixFormatTable[matrix.outputFormatIndex].text : "");
  const auto routes = std::span(matrix.statusTable).first(commands.Outputs());
  if (session.Options().json) {
    Json status = {{"statusTable", routes},
                   {"LockState", device.LockState()},
                   {"AddressMode", device.AddressMode()},
                   {"name", Utf16ToUtf8(name)}};
    if (sixteen) {
      status["outputFormat"] = format;
    }
    PrintJson(out, status);
    return;
  }
  for (std::size_t o = 0; o < routes.size(); ++o) {
    out << "output " << (o + 1) << " <- input " << static_cast<int>(routes[o]) << "\n";
  }
  out << "LockState " << static_cast<int>(device.LockState()) << "  AddressMode "
      << (device.AddressMode() == 1 ? "DHCP" : "Static") << "  name "
      << TerminalText(Utf16ToUtf8(name)) << "\n";
  if (sixteen) {
    out << "output format " << format << "\n";
  }
}

void PrintBacklight(CommandContext& session, const MatrixState& matrix) {
  const std::uint8_t time = matrix.backlightTime;
  const std::string timeText(time < kBacklightTimeTexts.size() ? kBacklightTimeTexts[time] : "?");
  if (session.Options().json) {
    PrintJson(session.Out(), {{"backlightTime", time},
                              {"backlightTimeText", timeText},
                              {"brightness", matrix.backlightBrightness}});
    return;
  }
  session.Out() << "backlight time " << timeText << " (" << static_cast<int>(time)
                << ")  brightness " << static_cast<int>(matrix.backlightBrightness) << "\n";
}

// The input of a route, refused when the switcher has fewer inputs.
std::uint8_t RouteInput(const std::string& text, const MatrixCommands& commands) {
  const int input = BoundedNumber(text, 1, 16, "the input");
  if (static_cast<std::size_t>(input) > commands.Outputs()) {
    throw UsageError{"input " + text + " is beyond this switcher"};
  }
  return static_cast<std::uint8_t>(input);
}

}  // namespace

void CheckMatrixCommand(const std::vector<std::string>& arguments) {
  if (arguments.size() < 2) {
    throw UsageError{"matrix needs a command; see 'quintara-cli matrix help'"};
  }
  Check(arguments);
}

int RunMatrixCommand(CommandContext& session, const NameFieldRecorder& names,
                     const std::vector<std::string>& arguments) {
  if (arguments[1] == "export") {
    return ExportMatrixSettings(session, arguments);
  }
  if (arguments[1] == "import") {  // checks its file before it connects
    return ImportMatrixSettings(session, arguments);
  }
  if (const int status = session.Connect(); status != kExitSuccess) {
    return status;
  }
  DeviceSession& device = session.Device();
  const std::uint8_t type = device.Entry().DeviceType;
  MatrixCommands commands(device, type);
  const MatrixState& matrix = device.Matrix();
  const std::string& verb = arguments[1];
  if (verb == "status") {
    if (!commands.ReadMatrixStatus()) {
      return session.Unanswered("no status reply from " + session.SelectedLine() +
                                ": the query went unanswered");
    }
    PrintStatus(session, commands, names.name);
    return kExitSuccess;
  }
  if (verb == "backlight") {
    if (!commands.ReadBacklight()) {
      return session.Unanswered("no backlight reply from " + session.SelectedLine() +
                                ": the query went unanswered");
    }
    PrintBacklight(session, matrix);
    return kExitSuccess;
  }
  if (verb == "route") {
    const std::uint8_t input = RouteInput(arguments[2], commands);
    MatrixOutputs targets;
    for (const int output : Outputs(arguments[3])) {
      if (static_cast<std::size_t>(output) > commands.Outputs()) {
        throw UsageError{"output " + std::to_string(output) + " is beyond this switcher"};
      }
      targets.set(static_cast<std::size_t>(output - 1));
    }
    return session.ReportSent("RouteToOutputs", commands.RouteToOutputs(input, targets));
  }
  if (verb == "all") {
    const std::uint8_t input = RouteInput(arguments[2], commands);
    return session.ReportSent("RouteToAll", commands.RouteToAll(input));
  }
  if (verb == "one-to-one") {
    return session.ReportSent("RouteOneToOne", commands.RouteOneToOne());
  }
  if (verb == "backlight-time") {
    return session.ReportSent("SetBacklightTime",
                              commands.SetBacklightTime(BacklightTime(arguments[2])));
  }
  if (verb == "brightness") {
    const auto brightness =
        static_cast<std::uint8_t>(BoundedNumber(arguments[2], 0, kMaxBrightness, "brightness"));
    return session.ReportSent("SetBacklightBrightness",
                              commands.SetBacklightBrightness(brightness));
  }
  if (type != kSixteenChannelType) {
    session.Err() << "only the sixteen-channel switcher has an output format\n";
    return kExitUsage;
  }
  return session.ReportSent("SetMatrixOutputFormat",
                            commands.SetMatrixOutputFormat(FormatIndex(arguments[2])));
}

std::string MatrixUsage() {
  return R"(Matrix switcher commands (quintara-cli [options] matrix COMMAND):
  status                       read the routes, lock, addressing mode, name (and format)
  route INPUT OUTPUT[,OUTPUT]  route an input to the listed outputs
  all INPUT                    route an input to every output
  one-to-one                   input n to output n
  backlight                    read the backlight time and brightness
  backlight-time N|TEXT        0 "15s Dim", 1 "60s Dim", 2 "15s Off", 3 "60s Off", 4 "Always On"
  brightness N                 0-100
  output-format NAME           sixteen channels: 1080p60, 1080p59.94, ... 525i59.94
  export [FILE]                read the routes, backlight (and format) and write the settings
                               file (JSON; to stdout without FILE)
  import FILE                  send what differs from the settings file, read the switcher
                               again and list any field that still differs (exit 4, as for a
                               locked switcher); --dry-run prints the commands instead; a
                               file that fails its checks, or is for the other kind of
                               switcher, sends nothing (exit 2)
)";
}

}  // namespace quintara::cli
