#include "sim/FrontPanelCommands.h"

#include <poll.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <iostream>
#include <optional>
#include <span>
#include <sstream>
#include <vector>

#include "sim/SimOptions.h"

namespace quintara::sim {
namespace {

struct ColourKind {
  std::string_view name;
  std::uint8_t code;
};

// How long the reader waits for input before it looks at the stop flag again.
constexpr int kPollMs = 100;
constexpr std::size_t kLongestLine = 4096;

constexpr ColourKind kColourKinds[] = {
    {"umd-text", ViewerCode::SetUmdTextColour},
    {"umd-back", ViewerCode::SetUmdBackColour},
    {"format-text", ViewerCode::SetFormatTextColour},
    {"format-back", ViewerCode::SetFormatBackColour},
    {"timecode-text", ViewerCode::SetTimecodeTextColour},
    {"timecode-back", ViewerCode::SetTimecodeBackColour},
};

// A byte, decimal or hexadecimal after "0x".
std::optional<std::uint8_t> ParseByte(std::string_view text) {
  const std::optional<unsigned> value = ParseNumber(text, 255);
  if (!value) {
    return std::nullopt;
  }
  return static_cast<std::uint8_t>(*value);
}

}  // namespace

std::string RunFrontPanelCommand(SimMultiviewer& device, std::string_view line) {
  std::istringstream in{std::string(line)};
  std::string command;
  if (!(in >> command)) {
    return {};
  }
  std::vector<std::string> words;
  for (std::string word; in >> word;) {
    words.push_back(word);
  }
  std::vector<std::uint8_t> n;
  for (const std::string& word : words) {
    const std::optional<std::uint8_t> byte = ParseByte(word);
    if (!byte && !(command == "colour" && n.empty())) {
      return "not a number from 0 to 255: " + word;
    }
    n.push_back(byte.value_or(0));
  }
  const auto takes = [&](std::size_t count) { return n.size() == count; };
  bool done = false;
  if (command == "layout" && takes(1)) {
    done = device.SetLayout(n[0]);
  } else if (command == "source" && takes(2)) {
    done = device.SetWindowSource(n[0], n[1]);
  } else if (command == "umd" && takes(2)) {
    done = device.SetUmdOn(n[0], n[1] != 0);
  } else if (command == "all-umd" && takes(1)) {
    done = device.SetAllUmd(n[0] != 0);
  } else if (command == "colour" && takes(3)) {
    for (const ColourKind& kind : kColourKinds) {
      if (kind.name == words[0]) {
        done = device.SetColour(kind.code, n[1], n[2]);
      }
    }
  } else if (command == "output-format" && takes(1)) {
    done = device.SetOutputFormat(n[0]);
  } else if (command == "signal" && takes(3)) {
    done = device.SetSignal(n[0], n[1] != 0, n[2]);
  } else if (command == "all-meters" && takes(1)) {
    done = device.SetAllMeters(n[0] != 0);
  } else if (command == "switcher-mode" && takes(1)) {
    done = device.SetSwitcherMode(n[0]);
  } else if (command == "device-wide" && takes(0)) {
    done = device.SetSwitcherMode(device.State().SwitcherMode == 0 ? 1 : 0);
  } else if (command == "defaults" && takes(0)) {
    done = device.FrontPanel(ViewerCode::LoadDefaults, std::array<std::uint8_t, 1>{0});
  } else if ((command == "save" || command == "load") && takes(1)) {
    const std::uint8_t code = command == "save" ? ViewerCode::SaveCustom : ViewerCode::LoadCustom;
    done = device.FrontPanel(code, n);
  } else if (command == "raw" && !n.empty()) {
    done = device.FrontPanel(n[0], std::span(n).subspan(1));
  } else {
    return "unknown front-panel command: " + std::string(line);
  }
  return done ? std::string() : "out of range: " + std::string(line);
}

std::string FrontPanelUsage() {
  return R"(Front panel of the first multiviewer, one command a line on standard input (each change
is reported to the status port of the last address that sent the multiviewer a frame):
  layout CODE                 e.g. 40 for four windows
  source WINDOW INPUT         window (or switcher output in switcher mode) 1-16, input 1-16
  umd INPUT 0|1               one input's UMD label off or on
  all-umd 0|1                 every UMD label off or on
  all-meters 0|1              every audio meter off or on
  colour KIND ITEM COLOUR     KIND umd-text, umd-back, format-text, format-back,
                              timecode-text or timecode-back; ITEM 0 for all, else 1-16
  output-format CODE          e.g. 7 for 1080p60
  signal WINDOW PRESENT CODE  window 1-16, present 0|1, input format code (31 is 1080p60)
  switcher-mode 0|1           leave or enter switcher mode
  device-wide                 toggle switcher mode, a change to the whole device
  defaults                    load the defaults
  save 1|2                    store the settings in a custom memory
  load 1|2                    recall a custom memory
  raw CODE BYTE...            any command code with its payload bytes
)";
}

FrontPanelConsole::FrontPanelConsole(std::shared_ptr<SimMultiviewer> device, int input)
    : device_(std::move(device)), input_(input), reader_([this] { Run(); }) {}

FrontPanelConsole::~FrontPanelConsole() {
  Stop();
}

void FrontPanelConsole::Stop() {
  stopping_ = true;
  if (reader_.joinable()) {
    reader_.join();
  }
}

void FrontPanelConsole::Run() {
  // Polled rather than blocking, so Stop never waits on a terminal nobody types into.
  std::string pending;
  std::array<char, 512> chunk{};
  while (!stopping_) {
    pollfd watched{input_, POLLIN, 0};
    const int ready = poll(&watched, 1, kPollMs);
    if (ready < 0 && errno != EINTR) {
      return;
    }
    if (ready <= 0) {
      continue;
    }
    const ssize_t n = read(input_, chunk.data(), chunk.size());
    if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) {
      return;
    }
    if (n < 0) {
      continue;
    }
    pending.append(chunk.data(), static_cast<std::size_t>(n));
    if (pending.size() > kLongestLine && pending.find('\n') == std::string::npos) {
      pending.clear();  // no command is this long; do not let it grow
    }
    for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
      const std::string error = RunFrontPanelCommand(*device_, pending.substr(0, end));
      pending.erase(0, end + 1);
      if (!error.empty()) {
        std::cerr << "quintara-sim: " << error << std::endl;
      }
    }
  }
}

}  // namespace quintara::sim
