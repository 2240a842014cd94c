#include "core/link/SerialSearch.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "core/text/TextCodec.h"

namespace quintara {
namespace {

constexpr std::size_t kLargestRead = 256;
constexpr std::uint8_t kStateImageCode = 0x32;
constexpr std::uint8_t kSeparator = '-';

}  // namespace

SerialFind SerialSearch::SearchSerial(Link& link, std::span<const std::uint8_t> discover) {
  savedType_ = 0;
  savedAddress_ = 0;
  found_ = {};  // also what a line that takes no request leaves
  Exchange exchange;
  exchange.request = discover;
  exchange.startMs = clock_.NowMs();
  exchange.windowMs = timing_.serialSearchWindowMs;
  exchange.settleMs = timing_.serialPollMs;
  exchange.gapMs = timing_.serialScanPauseMs;
  exchange.readAtMost = kLargestRead;
  exchange.bufferSize = kSerialInputSize;
  // Every pass rescans what has arrived from the first byte on.
  exchange.judge = [this](const std::optional<Arrival>& arrival) {
    const int result = ScanSerialReply(arrival ? arrival->bytes : std::span<const std::uint8_t>());
    return result == 1 ? Verdict::Accepted : Verdict::KeepWaitingAfterGap;
  };
  static_cast<void>(link.RunExchange(exchange));  // the result tells what was found
  return std::exchange(found_, {});
}

void SerialSearch::Conclude(const SerialFind& found, DeviceDirectory& devices,
                            std::span<std::uint8_t> stateImage, DeviceListView& view) {
  devices.BeginSearch();
  if (found.device) {
    devices.RecordSerialDevice(*found.device, found.name);
  }
  if (!found.stateImage.empty() && found.stateImage.size() == stateImage.size()) {
    std::ranges::copy(found.stateImage, stateImage.begin());
  }
  if (found.result == 1) {
    devices.ConcludeFound(1, view);
  } else {
    devices.ConcludeNoneFound(found.result, view);
  }
}

int SerialSearch::ScanSerialReply(std::span<const std::uint8_t> bytes) {
  found_ = {};
  found_.result = Scan(bytes);
  return found_.result;
}

int SerialSearch::Scan(std::span<const std::uint8_t> bytes) {
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
        if (!trailerBeforeStart && trailer >= count) {
          // The trailer has not arrived: a false start, or a frame still arriving. Either way
          // the scan goes on just after its 0xA5, so a complete frame behind a false start is
          // found; a frame still arriving is found by a later pass, which rescans from the
          // first byte.
          state = 0;
          i = start + 1;
          break;
        }
        if (!trailerBeforeStart && bytes[trailer] == frame::kTrailer) {
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
    for (std::size_t p = start + frame::kValuesOffset; p <= last && p + 2 < bytes.size(); ++p) {
      if (bytes[p] != kSeparator || bytes[p + 2] != kSeparator) {
        continue;
      }
      const auto name =
          bytes.subspan(start + frame::kValuesOffset, p - start - frame::kValuesOffset);
      DeviceEntry& entry = found_.device.emplace();
      entry.DeviceType = savedType_;
      entry.DeviceAddress = savedAddress_;
      entry.ModelMatch = IsMatchedModelName(name);
      found_.name = Latin1ToUtf8(name);
      return 1;
    }
    return 1;  // an answer without a name pattern still ends the search
  }
  if (code == kStateImageCode) {
    if (length < frame::kOverhead + stateImageSize_) {
      return 0;
    }
    const auto image = bytes.subspan(start + frame::kValuesOffset, stateImageSize_);
    found_.stateImage.assign(image.begin(), image.end());
    return 1;
  }
  return std::nullopt;
}

}  // namespace quintara
