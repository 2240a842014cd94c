#include "sim/SimSerialServer.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace quintara::sim {

SimSerialServer::~SimSerialServer() {
  Stop();
  for (const auto& line : lines_) {
    close(line->master);
    close(line->keepOpen);
  }
}

std::string SimSerialServer::Add(std::shared_ptr<SimDevice> device, std::string& error) {
  auto line = std::make_unique<Line>();
  line->device = std::move(device);
  line->master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  const char* path = nullptr;
  if (line->master < 0 || grantpt(line->master) != 0 || unlockpt(line->master) != 0 ||
      (path = ptsname(line->master)) == nullptr) {
    error = "cannot create a pseudo-terminal: " + std::string(std::strerror(errno));
    if (line->master >= 0) {
      close(line->master);
    }
    return {};
  }
  const std::string slave = path;
  line->keepOpen = open(slave.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  termios raw{};
  if (line->keepOpen < 0 || tcgetattr(line->keepOpen, &raw) != 0) {
    error = "cannot open " + slave + ": " + std::string(std::strerror(errno));
    close(line->master);
    return {};
  }
  // Raw from the start, so nothing is echoed back before the controller configures the line.
  cfmakeraw(&raw);
  tcsetattr(line->keepOpen, TCSANOW, &raw);
  lines_.push_back(std::move(line));
  return slave;
}

void SimSerialServer::Start() {
  std::vector<int> descriptors;
  for (const auto& line : lines_) {
    descriptors.push_back(line->master);
  }
  loop_.Start(std::move(descriptors), [this](std::size_t index) { ServeOne(*lines_[index]); });
}

void SimSerialServer::Stop() {
  loop_.Stop();
}

void SimSerialServer::ServeOne(Line& line) {
  std::array<std::uint8_t, 4096> chunk{};
  const ssize_t n = read(line.master, chunk.data(), chunk.size());
  if (n <= 0) {
    return;
  }
  line.framer.Append(std::span(chunk).first(static_cast<std::size_t>(n)));
  while (const std::optional<std::vector<std::uint8_t>> message = line.framer.Next()) {
    const std::vector<OutgoingMessage> replies = line.device->Receive(*message, {});
    if (hook_) {
      hook_(*line.device, {*message, {}});
    }
    for (const OutgoingMessage& reply : replies) {
      std::size_t sent = 0;
      while (sent < reply.bytes.size()) {
        const ssize_t w = write(line.master, reply.bytes.data() + sent, reply.bytes.size() - sent);
        if (w <= 0) {
          break;
        }
        sent += static_cast<std::size_t>(w);
      }
    }
  }
}

}  // namespace quintara::sim
