#include "support/Patience.h"

#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace quintara::test {
namespace {

// True when a line of this socket table (/proc/net/udp or udp6) has the port as its local
// port: the second field, "address:port" with the port in hex.
bool TableHasLocalPort(const char* table, std::uint16_t port) {
  std::ifstream lines(table);
  std::string line;
  std::getline(lines, line);  // the heading
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string slot;
    std::string local;
    fields >> slot >> local;
    const std::size_t colon = local.rfind(':');
    if (colon != std::string::npos && std::stoul(local.substr(colon + 1), nullptr, 16) == port) {
      return true;
    }
  }
  return false;
}

}  // namespace

bool AwaitCondition(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

bool AwaitUdpPortBound(std::uint16_t port, std::chrono::milliseconds timeout) {
  return AwaitCondition(
      [port] {
        return TableHasLocalPort("/proc/net/udp", port) ||
               TableHasLocalPort("/proc/net/udp6", port);
      },
      timeout);
}

}  // namespace quintara::test
