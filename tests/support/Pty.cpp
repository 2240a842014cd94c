#include "support/Pty.h"

#include <poll.h>

namespace quintara::test {

std::vector<std::uint8_t> PtyPair::Receive(int timeoutMs) const {
  std::vector<std::uint8_t> bytes;
  pollfd entry{master_, POLLIN, 0};
  while (poll(&entry, 1, bytes.empty() ? timeoutMs : 50) > 0) {
    std::uint8_t chunk[1024];
    const ssize_t n = read(master_, chunk, sizeof chunk);
    if (n <= 0) {
      break;
    }
    bytes.insert(bytes.end(), chunk, chunk + n);
  }
  return bytes;
}

}  // namespace quintara::test
