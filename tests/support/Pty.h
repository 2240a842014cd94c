#pragma once

#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/Patience.h"

namespace quintara::test {

// A pseudo-terminal whose far end a test opens as a serial port; the test plays the device on
// the near end.
class PtyPair {
 public:
  PtyPair() {
    char name[256] = {};
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
      throw std::runtime_error("openpty failed");
    }
    path_ = name;
    termios raw{};
    tcgetattr(slave_, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave_, TCSANOW, &raw);
  }
  ~PtyPair() {
    CloseMaster();
    close(slave_);
  }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  const std::string& Path() const { return path_; }
  void Send(const std::vector<std::uint8_t>& bytes) const {
    if (write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
      throw std::runtime_error("pty write failed");
    }
  }
  // What the port wrote, waiting up to timeoutMs for the first byte.
  std::vector<std::uint8_t> Receive(int timeoutMs = kPatienceMs) const;
  // The line hangs up, as when a USB adapter is pulled.
  void CloseMaster() {
    if (master_ >= 0) {
      close(master_);
      master_ = -1;
    }
  }

 private:
  int master_ = -1;
  int slave_ = -1;  // kept open so the line stays up while the port under test closes
  std::string path_;
};

}  // namespace quintara::test
