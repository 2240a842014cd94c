// The simulator's serial line framer fed with the byte stream in chunks: every message it cuts
// is a frame as its Length says or a text up to its '.', taken from the stream in order.
#include <algorithm>

#include "core/link/ControlFrame.h"
#include "fuzz/Feeds.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/MessageScript.h"
#include "sim/SerialFramer.h"

namespace quintara::fuzz {
namespace {

void CheckShape(const Message& message) {
  QUINTARA_FUZZ_CHECK(!message.empty());
  if (message.front() == frame::kStart) {
    QUINTARA_FUZZ_CHECK(message.size() >= frame::kOverhead && message.size() <= 4096);
    QUINTARA_FUZZ_CHECK(message[1] == frame::kTag && message.back() == frame::kTrailer);
    QUINTARA_FUZZ_CHECK((message[2] | (message[3] << 8)) == static_cast<int>(message.size()));
  } else {
    QUINTARA_FUZZ_CHECK(message.back() == '.');
    QUINTARA_FUZZ_CHECK(std::ranges::count(message, '.') == 1);
    QUINTARA_FUZZ_CHECK(std::ranges::find(message, frame::kStart) == message.end());
  }
}

}  // namespace

void FeedSimSerialFramer(Input input) {
  sim::SerialFramer framer;
  Message stream;
  std::size_t searchFrom = 0;  // messages come from the stream in order, never overlapping
  for (const Message& chunk : SplitMessages(input)) {
    stream.insert(stream.end(), chunk.begin(), chunk.end());
    framer.Append(chunk);
    while (const std::optional<Message> message = framer.Next()) {
      CheckShape(*message);
      const auto from = stream.begin() + static_cast<std::ptrdiff_t>(searchFrom);
      const auto found = std::search(from, stream.end(), message->begin(), message->end());
      QUINTARA_FUZZ_CHECK(found != stream.end());
      searchFrom = static_cast<std::size_t>(found - stream.begin()) + message->size();
    }
  }
}

}  // namespace quintara::fuzz
