// The serial search's scanner fed with the byte stream as it arrives: each pass rescans all
// that was collected, and what it finds (a device, a state image) stands in the stream.
#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

#include "core/link/SerialSearch.h"
#include "core/text/TextCodec.h"
#include "core/viewer/state/ViewerState.h"
#include "fuzz/ControllerRig.h"
#include "fuzz/Feeds.h"
#include "fuzz/FuzzCheck.h"

namespace quintara::fuzz {
namespace {

constexpr std::uint8_t kStateImageCode = 0x32;

bool IsHeaderAt(const Message& stream, std::size_t start) {
  return start + 1 < stream.size() && stream[start] == frame::kStart &&
         stream[start + 1] == frame::kTag;
}

// Some frame start in the stream carries the device's type and address, and a name pattern
// behind its byte 18 spells the listed name.
bool StreamNamesDevice(const Message& stream, const DeviceEntry& entry, const std::string& line) {
  for (std::size_t start = 0; start + 5 < stream.size(); ++start) {
    if (!IsHeaderAt(stream, start) || stream[start + 4] != entry.DeviceType ||
        stream[start + 5] != entry.DeviceAddress) {
      continue;
    }
    const std::size_t nameAt = start + frame::kValuesOffset;
    for (std::size_t p = nameAt; p + 2 < stream.size(); ++p) {
      const auto name = std::span(stream).subspan(nameAt, p - nameAt);
      if (stream[p] == '-' && stream[p + 2] == '-' && Latin1ToUtf8(name) == line) {
        return true;
      }
    }
  }
  return false;
}

// Some frame start with the state image code carries these bytes from its byte 18.
bool StreamCarriesImage(const Message& stream, const StateImageBytes& image) {
  for (std::size_t start = 0; start + frame::kValuesOffset + image.size() <= stream.size();
       ++start) {
    if (IsHeaderAt(stream, start) && stream[start + frame::kCommandCodeOffset] == kStateImageCode &&
        std::equal(image.begin(), image.end(),
                   stream.begin() + static_cast<std::ptrdiff_t>(start + frame::kValuesOffset))) {
      return true;
    }
  }
  return false;
}

}  // namespace

void FeedSerialScan(Input input) {
  DeviceDirectory devices;
  StateImageBytes image{};
  LinkTiming timing;
  StillClock clock;
  DeviceListView view;
  SerialSearch search(image.size(), timing, clock);

  Message collected;
  int found = 0;
  for (const Message& chunk : SplitMessages(input)) {
    // The line keeps what fits its input; the rest is dropped.
    const std::size_t room = SerialSearch::kSerialInputSize - collected.size();
    collected.insert(collected.end(), chunk.begin(),
                     chunk.begin() + static_cast<std::ptrdiff_t>(std::min(room, chunk.size())));
    const Message pass = collected;  // exactly what arrived, so an overread is caught
    found = search.ScanSerialReply(pass);
    QUINTARA_FUZZ_CHECK(found == 0 || found == 1);
    if (found == 1) {
      SerialSearch::Conclude(search.Found(), devices, image, view);
      break;
    }
  }

  const bool listed = !devices.Lines().empty();
  const bool imaged = image != StateImageBytes{};
  if (found == 0) {
    QUINTARA_FUZZ_CHECK(!listed && !imaged);
    return;
  }
  QUINTARA_FUZZ_CHECK(devices.Lines().size() <= 1);
  QUINTARA_FUZZ_CHECK(devices.Table().Count() == devices.Lines().size());
  if (listed) {
    const DeviceEntry& entry = devices.Table().Entry(0);
    constexpr std::array<std::uint8_t, 4> kNoIdentity{};
    QUINTARA_FUZZ_CHECK(entry.AddressText().empty() && entry.DeviceIdentity == kNoIdentity);
    QUINTARA_FUZZ_CHECK(entry.ModelMatch == (devices.Lines()[0] == kMatchedModelName ? 1 : 0));
    QUINTARA_FUZZ_CHECK(StreamNamesDevice(collected, entry, devices.Lines()[0]));
  }
  if (imaged) {
    QUINTARA_FUZZ_CHECK(StreamCarriesImage(collected, image));
  }
}

}  // namespace quintara::fuzz
