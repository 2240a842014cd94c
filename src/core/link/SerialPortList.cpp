#include "core/link/SerialPortList.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <system_error>

namespace quintara {
namespace {

namespace fs = std::filesystem;

// 8250 driver slots without a UART behind them report type 0; every PC has a row of them.
bool IsEmptyUartSlot(const fs::path& entry) {
  std::ifstream typeFile(entry / "type");
  if (!typeFile) {
    return false;
  }
  std::string type;
  typeFile >> type;
  return type == "0";
}

// Only ttys backed by a device (hardware or USB) are serial ports; virtual consoles have none.
bool IsSerialDevice(const fs::path& entry) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(entry / "device", ec)) && !IsEmptyUartSlot(entry);
}

}  // namespace

std::optional<std::vector<std::string>> ListSerialPorts(const SerialPortSource& source) {
  std::vector<std::string> ports;
  std::error_code ec;
  fs::directory_iterator it(source.sysClassTty, ec);
  if (ec && source.extraPorts.empty()) {
    return std::nullopt;
  }
  // A failed step ends the walk (the iterator turns into end); what was read so far still counts.
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    if (IsSerialDevice(it->path())) {
      ports.push_back(it->path().filename().string());
    }
  }
  ports.insert(ports.end(), source.extraPorts.begin(), source.extraPorts.end());
  // Iterator algorithms: clang 14 cannot take the subrange std::ranges::unique returns.
  std::sort(ports.begin(), ports.end());
  ports.erase(std::unique(ports.begin(), ports.end()), ports.end());
  return ports;
}

std::string SerialDevicePath(std::string_view portName) {
  if (portName.starts_with('/')) {
    return std::string(portName);
  }
  return "/dev/" + std::string(portName);
}

int BaudRateFromText(std::string_view text) {
  // from_chars alone would take a sign and ignore trailing junk.
  if (!std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; })) {
    return 0;
  }
  int rate = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), rate);
  return error == std::errc{} ? rate : 0;
}

PortAndBaudLists FillPortAndBaudLists(const std::vector<std::string>& ports, std::uint8_t portIndex,
                                      std::uint8_t baudIndex) {
  PortAndBaudLists lists;
  lists.ports = ports;
  if (!ports.empty()) {
    lists.portSelection = portIndex < ports.size() ? portIndex : 0;
  }
  lists.bauds.assign(kBaudTexts.begin(), kBaudTexts.end());
  lists.baudSelection = baudIndex < kBaudTexts.size() ? baudIndex : 0;
  return lists;
}

}  // namespace quintara
