#include "support/JunkDatagrams.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>

#include "core/link/ControlFrame.h"
#include "core/platform/UdpSocket.h"
#include "core/viewer/protocol/ReadBack.h"
#include "core/viewer/protocol/StatusReports.h"
#include "core/viewer/protocol/ViewerCommands.h"

namespace quintara::test {

using namespace std::chrono_literals;

Junk::Junk(const std::array<std::uint8_t, 4>& identity, std::uint32_t seed)
    : identity_(identity), random_(seed) {
  bytes_.reserve(kLongest);
}

std::span<const std::uint8_t> Junk::Next() {
  switch (Below(4)) {
    case 0:
      RandomBytes();
      break;
    case 1:
      CutReport();
      break;
    case 2:
      NoReport();
      break;
    default:
      NoSuchTarget();
      break;
  }
  if (IsStateReply(bytes_)) {
    bytes_[frame::kCommandCodeOffset] = 0;
  }
  return bytes_;
}

void Junk::RandomBytes() {
  bytes_.resize(Below(8) == 0 ? Below(kLongest + 1) : Below(300));
  for (std::size_t i = 0; i < bytes_.size(); i += sizeof(std::uint64_t)) {
    const std::uint64_t word = random_();
    std::memcpy(bytes_.data() + i, &word, std::min(sizeof word, bytes_.size() - i));
  }
}

void Junk::Craft(std::uint8_t code, std::uint8_t v, std::uint8_t u, std::size_t size) {
  bytes_.assign(size, 0);
  const std::uint8_t header[] = {
      frame::kStart, frame::kTag, static_cast<std::uint8_t>(size), 0, kMultiviewerType,
      0x01,          0x01};
  std::memcpy(bytes_.data(), header, std::min(sizeof header, size));
  for (std::size_t i = 0; i < identity_.size() && frame::kIdentityOffset + i < size; ++i) {
    bytes_[frame::kIdentityOffset + i] = identity_[i];
  }
  const std::pair<std::size_t, std::uint8_t> fields[] = {{frame::kCommandCodeOffset, code},
                                                         {frame::kValuesOffset, v},
                                                         {frame::kValuesOffset + 1, u}};
  for (const auto& [offset, value] : fields) {
    if (offset < size) {
      bytes_[offset] = value;
    }
  }
}

void Junk::CutReport() {
  constexpr std::uint8_t kCodes[] = {ViewerCode::SetLayout, ViewerCode::SetWindowSource,
                                     ViewerCode::SetUmdTextColour, ViewerCode::WindowSignalReport,
                                     ViewerCode::SetMeterOn};
  const std::uint8_t code = kCodes[Below(std::size(kCodes))];
  const std::size_t size = Below(ReportBytesNeeded(code));
  Craft(code, 1, 1, size);
  refused_ += size > frame::kCommandCodeOffset ? 1 : 0;
}

void Junk::NoReport() {
  std::uint8_t code = 0;
  do {
    code = static_cast<std::uint8_t>(Below(256));
  } while (ReportBytesNeeded(code) != 0);
  Craft(code, static_cast<std::uint8_t>(Below(256)), static_cast<std::uint8_t>(Below(256)),
        frame::kValuesOffset + Below(48));
}

void Junk::NoSuchTarget() {
  // Window or input 0, or beyond the sixteen.
  const auto outside = static_cast<std::uint8_t>(Below(2) == 0 ? 0 : 17 + Below(239));
  const auto any = static_cast<std::uint8_t>(Below(256));
  const std::size_t size = ReportBytesNeeded(ViewerCode::SetWindowSource) + Below(8);
  if (Below(2) == 0) {
    Craft(ViewerCode::SetWindowSource, any, outside, size);
  } else {
    Craft(ViewerCode::SetUmdOn, outside, any, size);
  }
  ++refused_;
}

JunkSender::JunkSender(const std::array<std::uint8_t, 4>& identity, const UdpEndpoint& to,
                       int limit)
    : thread_([this, identity, to, limit] {
        Junk junk(identity, 7);
        std::optional<UdpSocket> socket = UdpSocket::Create();
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        while (!stop_ && sent_ < limit && std::chrono::steady_clock::now() < deadline) {
          if (sent_ >= allowed_) {
            std::this_thread::sleep_for(100us);
            continue;
          }
          socket->SendTo(junk.Next(), to);
          ++sent_;
        }
      }) {}

JunkSender::~JunkSender() {
  stop_ = true;
  Finish();
}

int JunkSender::Finish() {
  if (thread_.joinable()) {
    thread_.join();
  }
  return sent_;
}

std::size_t ResidentKiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("VmRSS:")) {
      return std::stoul(line.substr(6));
    }
  }
  return 0;
}

}  // namespace quintara::test
