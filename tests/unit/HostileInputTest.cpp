// Whatever a network or a serial line delivers, the parsers read only what arrived and keep their
// invariants. The fuzz targets search for hostile input without end; this is their short,
// deterministic pass for every build of this suite (the sanitizer build included): each seed of
// each target, whole, cut short at every length, and with seeded random bytes changed, through
// the targets' own feeds and checks.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "fuzz/Feeds.h"

namespace quintara {
namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<std::uint8_t>;

constexpr int kVariantsPerSeed = 64;

std::vector<Bytes> SeedsOf(std::string_view target) {
  std::vector<Bytes> seeds;
  const fs::path folder = fs::path(QUINTARA_SOURCE_DIR) / "fuzz" / "corpus" / target;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    std::ifstream in(entry.path(), std::ios::binary);
    seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return seeds;
}

// Each call gets a buffer of exactly its input's size, so a read past the end is caught.
void Feed(const fuzz::Target& target, Bytes input) {
  input.shrink_to_fit();
  target.feed(input);
}

// Bytes the frames are made of most often, so changed seeds still get past the first checks.
std::uint8_t HostileByte(std::mt19937& random) {
  constexpr std::array<std::uint8_t, 6> kFrameBytes{0xA5, 0x6C, 0xAE, '-', 0x00, 0xFF};
  const unsigned pick = random() % 8;
  return pick < kFrameBytes.size() ? kFrameBytes[pick] : static_cast<std::uint8_t>(random());
}

TEST(HostileInput, EveryFuzzSeedWholeCutShortAndChanged) {
  std::mt19937 random(20261209);
  for (const fuzz::Target& target : fuzz::kTargets) {
    SCOPED_TRACE(std::string(target.name));
    const std::vector<Bytes> seeds = SeedsOf(target.name);
    ASSERT_FALSE(seeds.empty());
    for (const Bytes& seed : seeds) {
      for (std::size_t length = 0; length <= seed.size(); ++length) {
        Feed(target, Bytes(seed.begin(), seed.begin() + static_cast<std::ptrdiff_t>(length)));
      }
      for (int variant = 0; variant < kVariantsPerSeed && !seed.empty(); ++variant) {
        Bytes changed = seed;
        for (unsigned n = random() % 4 + 1; n > 0; --n) {
          changed[random() % changed.size()] = HostileByte(random);
        }
        Feed(target, changed);
      }
    }
  }
}

}  // namespace
}  // namespace quintara
