#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/link/SerialPortList.h"

namespace quintara {
namespace {

namespace fs = std::filesystem;

using Ports = std::vector<std::string>;

TEST(SerialPortList, ListsDeviceBackedTtysAndExtrasSortedOnce) {
  const fs::path root = fs::temp_directory_path() / ("quintara-tty-" + std::to_string(getpid()));
  const auto addTty = [&](const char* name, bool device, const char* type) {
    fs::create_directories(root / name);
    if (device) {
      fs::create_directory(root / name / "device");
    }
    if (type != nullptr) {
      std::ofstream(root / name / "type") << type << '\n';  // sysfs ends values with a newline
    }
  };
  addTty("ttyS0", true, "4");
  addTty("ttyS1", true, "0");  // a slot without a UART
  addTty("ttyUSB0", true, nullptr);
  addTty("tty1", false, nullptr);  // a virtual console

  // ttyUSB0 offered again as an extra must not show twice.
  EXPECT_EQ(ListSerialPorts({root, {"ttyUSB0", "/dev/pts/7"}}),
            (Ports{"/dev/pts/7", "ttyS0", "ttyUSB0"}));
  EXPECT_EQ(ListSerialPorts({root, {}}), (Ports{"ttyS0", "ttyUSB0"}));
  fs::remove_all(root);

  EXPECT_EQ(ListSerialPorts({root, {}}), std::nullopt);
  EXPECT_EQ(ListSerialPorts({root, {"/dev/pts/7"}}), (Ports{"/dev/pts/7"}));
}

TEST(SerialPortList, DevicePathsAndBaudTexts) {
  EXPECT_EQ(SerialDevicePath("ttyUSB0"), "/dev/ttyUSB0");
  EXPECT_EQ(SerialDevicePath("/dev/pts/7"), "/dev/pts/7");

  EXPECT_EQ(BaudRateFromText("115200"), 115200);
  for (const std::string_view bad : {"", "96x", "-9600", "+9600", " 9600", "99999999999"}) {
    EXPECT_EQ(BaudRateFromText(bad), 0) << '"' << bad << '"';
  }
}

TEST(SerialPortList, StaleRememberedPositionsFallBackToTheFirstLine) {
  const Ports ports{"ttyS0", "ttyUSB0"};
  auto lists = FillPortAndBaudLists(ports, 1, 4);
  EXPECT_EQ(lists.ports, ports);
  EXPECT_EQ(lists.portSelection, 1);
  EXPECT_EQ(lists.bauds, (Ports{"9600", "19200", "38400", "57600", "115200"}));
  EXPECT_EQ(lists.baudSelection, 4);

  lists = FillPortAndBaudLists(ports, 2, 7);
  EXPECT_EQ(lists.portSelection, 0);
  EXPECT_EQ(lists.baudSelection, 0);

  EXPECT_EQ(FillPortAndBaudLists({}, 0, 0).portSelection, -1);
}

}  // namespace
}  // namespace quintara
