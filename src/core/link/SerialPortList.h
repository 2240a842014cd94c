#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quintara {

// Where the serial port list comes from. extraPorts lets tests and the simulator offer
// pseudo-terminals (e.g. "/dev/pts/3") that sysfs never shows.
struct SerialPortSource {
  std::filesystem::path sysClassTty = "/sys/class/tty";
  std::vector<std::string> extraPorts;
};

// The machine's serial device names plus the extra ports, sorted and without duplicates.
// nullopt when sysClassTty cannot be read and there are no extra ports to offer instead.
std::optional<std::vector<std::string>> ListSerialPorts(const SerialPortSource& source = {});

// A listed name as a device path: absolute names stay, others live under /dev.
std::string SerialDevicePath(std::string_view portName);

inline constexpr std::array<std::string_view, 5> kBaudTexts{"9600", "19200", "38400", "57600",
                                                            "115200"};

// The decimal value of text; 0 for anything but plain digits, which the port opener rejects.
int BaudRateFromText(std::string_view text);

// What the link settings dialog shows, without the UI.
struct PortAndBaudLists {
  std::vector<std::string> ports;
  int portSelection = -1;  // -1 only when there are no ports
  std::vector<std::string> bauds;
  int baudSelection = 0;
};

// Remembered positions that no longer fit their list fall back to the first line.
PortAndBaudLists FillPortAndBaudLists(const std::vector<std::string>& ports, std::uint8_t portIndex,
                                      std::uint8_t baudIndex);

}  // namespace quintara
