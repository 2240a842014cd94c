#include "cli/ViewerCli.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>

#include "cli/Arguments.h"
#include "cli/Json.h"
#include "cli/SettingsCli.h"
#include "cli/TerminalText.h"
#include "core/TaskQueue.h"
#include "core/text/TextCodec.h"
#include "core/viewer/protocol/ReadBack.h"
#include "core/viewer/protocol/StatusListener.h"
#include "core/viewer/protocol/StatusReports.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "core/viewer/state/LayoutGeometry.h"
#include "core/viewer/state/ViewerRefresh.h"
#include "core/viewer/state/ViewerTables.h"

namespace quintara::cli {
namespace {

constexpr std::size_t kUmdLabelLimit = 11;
constexpr int kDefaultWatchSeconds = 10;

using Args = std::vector<std::string>;

std::uint8_t Byte(const std::string& text, int low, int high, const std::string& what) {
  return static_cast<std::uint8_t>(BoundedNumber(text, low, high, what));
}

std::uint8_t OnOff(const std::string& text) {
  if (text != "on" && text != "off") {
    throw UsageError{"expected on or off, not '" + text + "'"};
  }
  return text == "on" ? 1 : 0;
}

// "all" or 0 for every input or window, else 1-16.
std::uint8_t Item(const std::string& text) {
  return text == "all" ? 0 : Byte(text, 0, 16, "the item");
}

std::uint8_t Colour(const std::string& text) {
  for (std::size_t i = 0; i < kPalette.size(); ++i) {
    if (std::ranges::equal(text, kPalette[i].name,
                           [](char a, char b) { return std::tolower(a) == std::tolower(b); })) {
      return static_cast<std::uint8_t>(i);
    }
  }
  return Byte(text, 0, 15, "the colour (a number or a palette name such as Red)");
}

std::uint8_t OutputFormatCode(const std::string& text) {
  for (const OutputFormatEntry& entry : kOutputFormats) {
    if (text == entry.text) {
      return entry.code;
    }
  }
  const std::uint8_t code = Byte(text, 0, 15, "output-format (a code or a name such as 1080p60)");
  if (!OutputFormatItem(code)) {
    throw UsageError{"output-format " + text + " is not one of the device's output formats"};
  }
  return code;
}

// One sender call with the values taken from the arguments.
struct ViewerSend {
  std::string name;
  std::function<CommandResult(ViewerCommands&)> send;
};

void NeedArgs(const Args& a, std::size_t low, std::size_t high) {
  if (a.size() - 2 < low || a.size() - 2 > high) {
    throw UsageError{"mv " + a[1] + ": wrong number of arguments; see 'quintara-cli mv help'"};
  }
}

ViewerSend ColourSend(const Args& a, const std::string& name,
                      CommandResult (ViewerCommands::*sender)(std::uint8_t, std::uint8_t)) {
  NeedArgs(a, 2, 2);
  const std::uint8_t item = Item(a[2]);
  const std::uint8_t colour = Colour(a[3]);
  return {name, [=](ViewerCommands& c) { return (c.*sender)(item, colour); }};
}

ViewerSend FlagSend(const Args& a, const std::string& name,
                    CommandResult (ViewerCommands::*sender)(std::uint8_t)) {
  NeedArgs(a, 1, 1);
  const std::uint8_t on = OnOff(a[2]);
  return {name, [=](ViewerCommands& c) { return (c.*sender)(on); }};
}

ViewerSend ParseSend(const Args& a) {
  const std::string& verb = a[1];
  if (verb == "layout") {
    NeedArgs(a, 1, 1);
    const std::uint8_t code = Byte(a[2], 0, 255, "layout");
    if (!IsKnownLayout(code)) {
      throw UsageError{"layout " + a[2] + " is not a layout of the multiviewer"};
    }
    return {"SetLayout", [=](ViewerCommands& c) { return c.SetLayout(code); }};
  }
  if (verb == "source" || verb == "route") {
    NeedArgs(a, 2, 2);
    const std::uint8_t window = Byte(a[2], 1, 16, verb == "source" ? "the window" : "the output");
    const std::uint8_t input = Byte(a[3], 1, 16, "the input");
    if (verb == "route") {
      return {"SetWindowSource",
              [=](ViewerCommands& c) { return c.SetSwitcherRoute(window, input); }};
    }
    return {"SetWindowSource", [=](ViewerCommands& c) { return c.SetWindowSource(window, input); }};
  }
  if (verb == "switcher-mode") {
    NeedArgs(a, 1, 1);
    const std::uint8_t on = OnOff(a[2]);
    return {"SetSwitcherMode", [=](ViewerCommands& c) { return c.SetSwitcherMode(on); }};
  }
  if (verb == "one-to-one") {
    NeedArgs(a, 0, 0);
    return {"SetOneToOne", [](ViewerCommands& c) { return c.SetOneToOne(); }};
  }
  if (verb == "umd") {
    NeedArgs(a, 1, 2);
    const std::uint8_t on = OnOff(a[2]);
    const std::uint8_t input = a.size() == 4 ? Byte(a[3], 1, 16, "the input") : 0;
    return {input == 0 ? "SetAllUmd" : "SetUmdOn",
            [=](ViewerCommands& c) { return c.SetUmdOn(input, on); }};
  }
  if (verb == "umd-text") {
    NeedArgs(a, 2, 2);
    const std::uint8_t input = Byte(a[2], 1, 16, "the input");
    const std::optional<std::u16string> text = Utf8ToUtf16(a[3]);
    if (!text || text->size() > kUmdLabelLimit) {
      throw UsageError{"a UMD label is UTF-8 text of at most 11 characters"};
    }
    return {"SetUmdText", [=](ViewerCommands& c) { return c.SetUmdText(input, *text); }};
  }
  static const std::map<std::string, std::pair<std::string, CommandResult (ViewerCommands::*)(
                                                                std::uint8_t, std::uint8_t)>>
      colours{{"umd-text-colour", {"SetUmdTextColour", &ViewerCommands::SetUmdTextColour}},
              {"umd-back-colour", {"SetUmdBackColour", &ViewerCommands::SetUmdBackColour}},
              {"format-text-colour", {"SetFormatTextColour", &ViewerCommands::SetFormatTextColour}},
              {"format-back-colour", {"SetFormatBackColour", &ViewerCommands::SetFormatBackColour}},
              {"timecode-text-colour",
               {"SetTimecodeTextColour", &ViewerCommands::SetTimecodeTextColour}},
              {"timecode-back-colour",
               {"SetTimecodeBackColour", &ViewerCommands::SetTimecodeBackColour}}};
  if (const auto found = colours.find(verb); found != colours.end()) {
    return ColourSend(a, found->second.first, found->second.second);
  }
  static const std::map<std::string,
                        std::pair<std::string, CommandResult (ViewerCommands::*)(std::uint8_t)>>
      flags{{"border", {"SetBorder", &ViewerCommands::SetBorder}},
            {"format-status", {"SetFormatStatus", &ViewerCommands::SetFormatStatus}},
            {"timecode", {"SetTimecode", &ViewerCommands::SetTimecode}},
            {"audio-alarm", {"SetAudioAlarm", &ViewerCommands::SetAudioAlarm}}};
  if (const auto found = flags.find(verb); found != flags.end()) {
    return FlagSend(a, found->second.first, found->second.second);
  }
  if (verb == "meter") {
    NeedArgs(a, 1, 2);
    const std::uint8_t on = OnOff(a[2]);
    const std::uint8_t index = a.size() == 4
                                   ? static_cast<std::uint8_t>(Byte(a[3], 1, 16, "the window") - 1)
                                   : kAllMetersIndex;
    return {index == kAllMetersIndex ? "SetAllMeters" : "SetMeterOn",
            [=](ViewerCommands& c) { return c.SetMeterOn(index, on); }};
  }
  if (verb == "meter-channels") {
    NeedArgs(a, 2, 2);
    const std::uint8_t index = static_cast<std::uint8_t>(Byte(a[2], 1, 16, "the window") - 1);
    const std::uint8_t pair = Byte(a[3], 0, 7, "the channel pair");
    return {"SetMeterChannels", [=](ViewerCommands& c) { return c.SetMeterChannels(index, pair); }};
  }
  if (verb == "audio-source") {
    NeedArgs(a, 1, 1);
    // 0 is off, as settings files write it.
    const std::uint8_t source = a[2] == "off" ? 0 : Byte(a[2], 0, 16, "audio-source");
    return {"SetAudioSource", [=](ViewerCommands& c) { return c.SetAudioSource(source); }};
  }
  if (verb == "output-format") {
    NeedArgs(a, 1, 1);
    const std::uint8_t code = OutputFormatCode(a[2]);
    return {"SetOutputFormat", [=](ViewerCommands& c) { return c.SetOutputFormat(code); }};
  }
  if (verb == "defaults") {
    NeedArgs(a, 0, 0);
    return {"LoadDefaults", [](ViewerCommands& c) { return c.LoadDefaults(); }};
  }
  if (verb == "save" || verb == "load") {
    NeedArgs(a, 1, 1);
    const std::uint8_t memory = Byte(a[2], 1, 2, "the memory");
    const std::uint8_t code = verb == "save" ? ViewerCode::SaveCustom : ViewerCode::LoadCustom;
    return {verb == "save" ? "SaveCustom" : "LoadCustom",
            [=](ViewerCommands& c) { return c.SendCustomMemory(code, memory); }};
  }
  throw UsageError{"unknown multiviewer command '" + verb + "'; see 'quintara-cli mv help'"};
}

std::string Utf8(const std::u16string& text) {
  return Utf16ToUtf8(text);
}

// Device text in the text output: control characters escaped.
std::string Shown(const std::u16string& text) {
  return TerminalText(Utf16ToUtf8(text));
}

template <typename Values>
Json Numbers(const Values& values) {
  Json list = Json::array();
  for (const auto value : values) {
    list.push_back(static_cast<int>(value));
  }
  return list;
}

template <typename Texts>
Json Utf8Texts(const Texts& texts) {
  Json list = Json::array();
  for (const std::u16string& text : texts) {
    list.push_back(Utf8(text));
  }
  return list;
}

}  // namespace

Json ViewerStateDocument(const DeviceSession& device, const std::u16string& shownName) {
  const ViewerState& v = device.Viewer();
  PerWindow<int> present{};
  PerWindow<int> formatCode{};
  for (std::size_t w = 0; w < kWindowCount; ++w) {
    present[w] = v.WindowSignal[w].present;
    formatCode[w] = v.WindowSignal[w].formatCode;
  }
  return {{"name", Utf8(device.NameText())},
          {"nameShown", Utf8(shownName)},
          {"AddressMode", device.AddressMode()},
          {"LayoutCode", v.LayoutCode},
          {"OutputFormat", v.OutputFormat},
          {"SwitcherMode", v.SwitcherMode},
          {"AllUmdOn", v.AllUmdOn},
          {"FormatStatusOn", v.FormatStatusOn},
          {"TimecodeOn", v.TimecodeOn},
          {"AudioAlarmOn", v.AudioAlarmOn},
          {"BorderOn", v.BorderOn},
          {"AllMetersOn", v.AllMetersOn},
          {"AudioSource", v.AudioSource},
          {"WindowSource", Numbers(v.WindowSource)},
          {"SwitcherSource", Numbers(v.SwitcherSource)},
          {"UmdText", Utf8Texts(v.UmdText)},
          {"UmdOn", Numbers(v.UmdOn)},
          {"UmdTextColour", Numbers(v.UmdTextColour)},
          {"UmdBackColour", Numbers(v.UmdBackColour)},
          {"WindowFormatText", Utf8Texts(v.WindowFormatText)},
          {"WindowSignalPresent", Numbers(present)},
          {"WindowFormatCode", Numbers(formatCode)},
          {"FormatTextColour", Numbers(v.FormatTextColour)},
          {"FormatBackColour", Numbers(v.FormatBackColour)},
          {"MeterOn", Numbers(v.MeterOn)},
          {"MeterChannels", Numbers(v.MeterChannels)},
          {"TimecodeTextColour", Numbers(v.TimecodeTextColour)},
          {"TimecodeBackColour", Numbers(v.TimecodeBackColour)}};
}

Json ReportDocument(std::span<const std::uint8_t> report, bool applied) {
  const ReportSummary summary = SummariseReport(report);
  char hex[8];
  std::snprintf(hex, sizeof hex, "0x%02X", summary.code);
  return {{"code", summary.code},
          {"codeHex", hex},
          {"report", summary.what},
          {"values", summary.values},
          {"applied", applied}};
}

namespace {

// A column of a table: the text left-aligned to the width, in characters rather than bytes.
std::string Cell(const std::string& text, std::size_t width) {
  const auto characters = static_cast<std::size_t>(std::ranges::count_if(
      text, [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
  return text + std::string(width > characters ? width - characters : 0, ' ') + "  ";
}

std::string Cell(int number, std::size_t width) {
  return Cell(std::to_string(number), width);
}

std::string Pair(std::uint8_t first, std::uint8_t second) {
  return std::to_string(first) + "/" + std::to_string(second);
}

void PrintStateText(const DeviceSession& device, const std::u16string& shownName,
                    std::ostream& out) {
  const ViewerState& v = device.Viewer();
  const auto n = [](std::uint8_t value) { return static_cast<int>(value); };
  out << "name " << Shown(shownName) << "  AddressMode "
      << (device.AddressMode() == 1 ? "DHCP" : "Static") << "\n"
      << "LayoutCode " << n(v.LayoutCode) << "  OutputFormat " << n(v.OutputFormat)
      << "  SwitcherMode " << n(v.SwitcherMode) << "\n"
      << "AllUmdOn " << n(v.AllUmdOn) << "  FormatStatusOn " << n(v.FormatStatusOn)
      << "  TimecodeOn " << n(v.TimecodeOn) << "  AudioAlarmOn " << n(v.AudioAlarmOn)
      << "  BorderOn " << n(v.BorderOn) << "  AllMetersOn " << n(v.AllMetersOn) << "  AudioSource "
      << n(v.AudioSource) << "\n\n";
  out << Cell("input", 5) << Cell("UmdText", 17) << Cell("UmdOn", 5) << "text/back colour\n";
  for (std::size_t i = 0; i < kInputCount; ++i) {
    out << Cell(static_cast<int>(i + 1), 5) << Cell(Shown(v.UmdText[i]), 17)
        << Cell(n(v.UmdOn[i]), 5) << Pair(v.UmdTextColour[i], v.UmdBackColour[i]) << "\n";
  }
  out << "\n"
      << Cell("window", 6) << Cell("source", 6) << Cell("switcher", 8) << Cell("format", 14)
      << Cell("signal", 6) << Cell("code", 4) << Cell("format colours", 14) << Cell("meter", 5)
      << Cell("channels", 8) << "timecode colours\n";
  for (std::size_t w = 0; w < kWindowCount; ++w) {
    out << Cell(static_cast<int>(w + 1), 6) << Cell(n(v.WindowSource[w]), 6)
        << Cell(n(v.SwitcherSource[w]), 8) << Cell(Shown(v.WindowFormatText[w]), 14)
        << Cell(n(v.WindowSignal[w].present), 6) << Cell(n(v.WindowSignal[w].formatCode), 4)
        << Cell(Pair(v.FormatTextColour[w], v.FormatBackColour[w]), 14) << Cell(n(v.MeterOn[w]), 5)
        << Cell(n(v.MeterChannels[w]), 8) << Pair(v.TimecodeTextColour[w], v.TimecodeBackColour[w])
        << "\n";
  }
}

int ShowState(CommandContext& session, const NameFieldRecorder& names) {
  DeviceSession& device = session.Device();
  if (ReadBack(device) != ExchangeOutcome::Answered) {
    // The window would decode the last image again; a script must not take that for the state.
    return session.Unanswered("no state reply from " + session.SelectedLine() +
                              ": the read-back went unanswered");
  }
  RefreshSwitcherGrid(device.Viewer());
  RefreshAll(device.Viewer());
  if (session.Options().json) {
    PrintJson(session.Out(), ViewerStateDocument(device, names.name));
  } else {
    PrintStateText(device, names.name, session.Out());
  }
  return kExitSuccess;
}

// One report as a line of text, or as one JSON document a line.
void PrintReport(std::ostream& out, bool json, std::span<const std::uint8_t> report, bool applied) {
  if (!json) {
    out << DescribeReport(report) << (applied ? "" : " (dropped)") << std::endl;
    return;
  }
  PrintJson(out, ReportDocument(report, applied));
}

// On stderr, what the watch could not show: the reports lost while its output fell behind (the
// oldest went, or they still waited at the end) and the count of those refused as corrupt.
void ReportWhatWasNotShown(std::ostream& err, const StatusListener::HandOver& counts) {
  const std::uint64_t notShown = counts.accepted - counts.applied - counts.dropped;
  if (notShown > 0) {
    err << "reports not shown, the output fell behind: " << notShown << "\n";
  }
  if (counts.rejected > 0) {
    err << "reports dropped as corrupt or not from a multiviewer: " << counts.rejected << "\n";
  }
}

int Watch(CommandContext& session) {
  Controller& controller = session.GetController();
  std::optional<UdpSocket> socket = controller.Network().OpenStatusSocket();
  if (!socket) {
    return session.Unanswered("cannot listen for status reports on port " +
                              std::to_string(controller.Network().Config().statusPort));
  }
  TaskQueue tasks;
  std::ostream& out = session.Out();
  const bool json = session.Options().json;
  StatusListener listener(session.Device(), std::move(*socket), tasks);
  listener.SetReportHook([&out, json](std::span<const std::uint8_t> report, bool applied) {
    PrintReport(out, json, report, applied);
  });
  listener.SetReReadAfterOverflow(false);  // the mirror is not shown
  listener.Start();
  const int seconds = session.Options().seconds.value_or(kDefaultWatchSeconds);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  // However much still waits: a reader that fell behind does not keep the watch running.
  while (std::chrono::steady_clock::now() < deadline && tasks.RunOne(deadline)) {
  }
  listener.Stop();
  ReportWhatWasNotShown(session.Err(), *listener.Counts());
  return kExitSuccess;
}

}  // namespace

void CheckViewerCommand(const std::vector<std::string>& arguments) {
  if (arguments.size() < 2) {
    throw UsageError{"mv needs a command; see 'quintara-cli mv help'"};
  }
  const std::string& verb = arguments[1];
  if (verb == "state" || verb == "watch") {
    NeedArgs(arguments, 0, 0);
    return;
  }
  if (verb == "export" || verb == "import") {
    NeedArgs(arguments, verb == "import" ? 1 : 0, 1);
    return;
  }
  ParseSend(arguments);
}

int RunViewerCommand(CommandContext& session, const NameFieldRecorder& names,
                     const std::vector<std::string>& arguments) {
  const std::string& verb = arguments[1];
  if (verb == "export") {
    return ExportSettings(session, arguments);
  }
  if (verb == "import") {  // checks its file before it connects
    return ImportSettings(session, arguments);
  }
  if (const int status = session.Connect(); status != kExitSuccess) {
    return status;
  }
  if (verb == "state") {
    return ShowState(session, names);
  }
  if (verb == "watch") {
    return Watch(session);
  }
  const ViewerSend command = ParseSend(arguments);
  ViewerCommands commands(session.Device());
  return session.ReportSent(command.name, command.send(commands));
}

std::string ViewerUsage() {
  return R"(Multiviewer commands (quintara-cli [options] mv COMMAND):
  state                          read the whole state back and print it (--json); exit 1
                                 when the device does not answer
  watch                          print each report the device sends (--seconds N, default 10);
                                 with --json one document a line; a report whose values
                                 the rules drop is marked (dropped), or applied false
  export [FILE]                  read the state back and write the settings file (JSON;
                                 to stdout without FILE)
  import FILE                    send what differs from the settings file, read the state
                                 back and list any field that still differs (exit 4);
                                 --dry-run prints the frames instead; a file that fails
                                 its checks sends nothing (exit 2)
  layout CODE                    1-16, 40-42, 60, 61, 80-83, 90-93, 100-102, 111, 121, 160, 161
  source WINDOW INPUT            the input a window shows
  switcher-mode on|off
  route OUTPUT INPUT             switcher mode: route an input to an output
  one-to-one                     switcher mode: input n to output n
  umd on|off [INPUT]             UMD labels, all or of one input
  umd-text INPUT TEXT            a UMD label, at most 11 characters
  umd-text-colour ITEM COLOUR    ITEM: all or 1-16; COLOUR: 0-15 or a name such as Red
  umd-back-colour ITEM COLOUR
  format-text-colour ITEM COLOUR
  format-back-colour ITEM COLOUR
  timecode-text-colour ITEM COLOUR
  timecode-back-colour ITEM COLOUR
  border on|off
  format-status on|off
  timecode on|off
  audio-alarm on|off
  meter on|off [WINDOW]          audio meters, all or of one window
  meter-channels WINDOW PAIR     PAIR 0-7: CH 01 & 02 ... CH 15 & 16
  audio-source off|0|WINDOW      off (or 0), or the window 1-16 whose audio is output
  output-format CODE|NAME        1080p60, 1080p50, 1080i60, 1080i50, 1080p30, 1080p25,
                                 1080p24, 720p60, 720p50
  defaults                       load the device's defaults
  save 1|2                       store the settings in a custom memory
  load 1|2                       recall a custom memory
)";
}

}  // namespace quintara::cli
