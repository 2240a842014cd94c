// The entry of every fuzz target; the build names the feed (QUINTARA_FUZZ_FEED).
#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz/Feeds.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quintara::fuzz::QUINTARA_FUZZ_FEED(std::span(data, size));
  return 0;
}
