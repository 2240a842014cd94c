#include "core/link/SerialSearch.h"

#include <algorithm>
#include <optional>

#include "core/text/TextCodec.h"

namespace quintara {
namespace {

constexpr std::size_t kReadChunkSize = 512;
constexpr std::size_t kLargestRead = 256;
constexpr std::size_t kNameOffset = 18;
constexpr std::size_t kStateImageOffset = 18;
constexpr std::uint8_t kStateImageCode = 0x32;
constexpr std::uint8_t kSeparator = '-';

}  // namespace

SerialSearch::SerialSearch(CnComm& port, DeviceDirectory& devices, StateImageBytes& stateImage,
                           const LinkTiming& timing, Clock& clock, Prompter& prompter)
    : port_(port),
      devices_(devices),
      stateImage_(stateImage),
      timing_(timing),
      clock_(clock),
      prompter_(prompter) {}

void SerialSearch::SearchSerial(LinkKind link, ControllerObserver& observer) {
  if (!port_.IsOpen()) {
    prompter_.ShowError(kOpenSerialPortError);
    return;
  }
  observer.CloseDevicePanel();
  devices_.BeginSearch(observer);
  const std::int64_t start = clock_.NowMs();
  savedType_ = 0;
  savedAddress_ = 0;
  serialInput_.fill(0);
  collectedCount_ = 0;

  const Frame discover = BuildDiscoverFrame(link, clock_.LocalNow());
  DiscardInput(port_);
  port_.SerialWrite(discover);

  std::array<std::uint8_t, kReadChunkSize> chunk{};
  int result = 0;
  for (std::int64_t elapsed = 0; elapsed <= timing_.serialSearchWindowMs;
       elapsed = clock_.NowMs() - start) {
    const int queued = port_.QueuedInput();
    clock_.SleepMs(timing_.serialPollMs);
    if (queued > 0) {
      const std::size_t wanted =
          std::min<std::size_t>(static_cast<std::size_t>(queued), kLargestRead);
      CollectInput(std::span(chunk).first(BufferedRead(port_, std::span(chunk).first(wanted))));
    }
    result = ScanSerialReply(SerialInput());
    devices_.SetSelectedIndex(result);
    if (result == 1) {
      break;
    }
    clock_.SleepMs(timing_.serialScanPauseMs);
  }
  if (result == 1) {
    devices_.ConcludeFound(1, observer);
  } else {
    devices_.ConcludeNoneFound(result, observer);
  }
}

void SerialSearch::CollectInput(std::span<const std::uint8_t> chunk) {
  // A device that keeps talking cannot overflow the input: what comes after it is full is
  // dropped, the answer to the Discover being at the front.
  const std::size_t room = serialInput_.size() - collectedCount_;
  const std::size_t kept = std::min(room, chunk.size());
  std::copy_n(chunk.begin(), kept,
              serialInput_.begin() + static_cast<std::ptrdiff_t>(collectedCount_));
  collectedCount_ += kept;
}

int SerialSearch::ScanSerialReply(std::span<const std::uint8_t> bytes) {
  const std::size_t count = bytes.size();
  int state = 0;
  std::size_t i = 0;
  std::size_t start = 0;   // offset of the candidate frame's 0xA5
  std::size_t length = 0;  // its Length field
  while (i < count) {
    const std::uint8_t byte = bytes[i];
    switch (state) {
      case 0:
        if (byte == frame::kStart) {
          start = i;
          state = 1;
        }
        ++i;
        break;
      case 1:
        state = byte == frame::kTag ? 2 : 0;
        ++i;
        break;
      case 2:
        length = byte;
        state = 3;
        ++i;
        break;
      case 3:
        if (i + 2 >= count) {
          return 0;  // the header has not fully arrived
        }
        length += 256u * byte;
        savedType_ = bytes[i + 1];
        savedAddress_ = bytes[i + 2];
        i += 2;
        state = 4;
        break;
      case 4: {
        // The trailer stands at the candidate's offset Length - 1, never before its start.
        const bool trailerBeforeStart = length == 0;
        const std::size_t trailer = start + length - 1;
        if (!trailerBeforeStart && trailer >= count && start + length <= serialInput_.size()) {
          return 0;  // not complete yet: the next pass scans again with more bytes
        }
        // A Length that cannot fit what the search collects is a false start: skip it.
        if (!trailerBeforeStart && trailer < count && bytes[trailer] == frame::kTrailer) {
          state = 5;
          i += 11;
        } else {
          state = 0;
          ++i;
        }
        break;
      }
      case 5: {
        if (const std::optional<int> result = ActOnFrame(bytes, start, length)) {
          return *result;
        }
        state = 0;
        ++i;
        break;
      }
    }
  }
  return 0;
}

std::optional<int> SerialSearch::ActOnFrame(std::span<const std::uint8_t> bytes, std::size_t start,
                                            std::size_t length) {
  const std::uint8_t code = bytes[start + frame::kCommandCodeOffset];
  if (code == CommandCode::Discover) {
    const std::size_t last = start + length - 1;
    for (std::size_t p = start + kNameOffset; p <= last && p + 2 < bytes.size(); ++p) {
      if (bytes[p] != kSeparator || bytes[p + 2] != kSeparator) {
        continue;
      }
      const auto name = bytes.subspan(start + kNameOffset, p - start - kNameOffset);
      DeviceEntry entry;
      entry.DeviceType = savedType_;
      entry.DeviceAddress = savedAddress_;
      entry.ModelMatch = IsMatchedModelName(name);
      devices_.RecordSerialDevice(entry, Latin1ToUtf8(name));
      return 1;
    }
    return 1;  // an answer without a name pattern still ends the search
  }
  if (code == kStateImageCode) {
    if (length < frame::kOverhead + kStateImageSize) {
      return 0;
    }
    const auto image = bytes.subspan(start + kStateImageOffset, kStateImageSize);
    std::ranges::copy(image, stateImage_.begin());
    return 1;
  }
  return std::nullopt;
}

}  // namespace quintara
