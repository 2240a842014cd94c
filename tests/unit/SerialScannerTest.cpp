#include <gtest/gtest.h>

#include "core/link/SerialSearch.h"
#include "core/viewer/state/ViewerState.h"
#include "support/CraftedDevice.h"
#include "support/TestLink.h"

namespace quintara {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The scanner on its own: no port is opened.
class SerialScanner : public ::testing::Test {
 protected:
  SerialScanner() : search(image.size(), timing, clock) {}

  // What a pass found reaches the table and the image as it would at the end of a search.
  int Scan(const Bytes& bytes) {
    const int found = search.ScanSerialReply(bytes);
    if (found == 1) {
      SerialSearch::Conclude(search.Found(), devices, image, view);
    }
    return found;
  }

  static Bytes Answer(const std::string& name) {
    return test::DiscoverAnswer(0xA1, 0x05, test::NameAndIdentity(name, {1, 2, 3, 4}));
  }
  // A 0x32 frame of the given Length.
  static Bytes StateFrame(std::size_t length) {
    Bytes payload(length - frame::kOverhead, 0x5A);
    payload[0] = 0x00;  // byte 17
    return BuildFrame(0xA1, 0x01, LinkKind::Serial, 0x32, payload);
  }

  DeviceDirectory devices;
  DeviceListView view;
  StateImageBytes image{};
  LinkTiming timing;
  SystemClock clock;
  SerialSearch search;
};

TEST_F(SerialScanner, FindsAnAnswerBehindNoiseAndListsItsNameAlone) {
  Bytes bytes{0x00, 0x6C, 0xA5, 0x00, 0xAE};
  const Bytes answer = Answer("KVT2208Z");
  bytes.insert(bytes.end(), answer.begin(), answer.end());
  EXPECT_EQ(Scan(bytes), 1);
  EXPECT_EQ(devices.Lines(), std::vector<std::string>{"KVT2208Z"});
  const DeviceEntry& entry = devices.Table().Entry(0);
  EXPECT_EQ(entry.DeviceType, 0xA1);
  EXPECT_EQ(entry.DeviceAddress, 0x05);
  EXPECT_EQ(entry.ModelMatch, 1);
  EXPECT_EQ(entry.AddressText(), "");
  EXPECT_EQ(entry.DeviceIdentity, (std::array<std::uint8_t, 4>{}));
}

TEST_F(SerialScanner, MissesFramesTheStateMachineSkipsOver) {
  // A5 A5 6C: the second 0xA5 is spent as a failed tag.
  Bytes doubled{0xA5};
  const Bytes answer = Answer("KVT2208Z");
  doubled.insert(doubled.end(), answer.begin(), answer.end());
  EXPECT_EQ(Scan(doubled), 0);

  // A candidate whose trailer test fails resumes at its offset 6: a frame at offset 4 is lost,
  // one at offset 6 is found.
  Bytes falseStart{0xA5, 0x6C, 0x08, 0x00};
  Bytes atFour = falseStart;
  atFour.insert(atFour.end(), answer.begin(), answer.end());
  EXPECT_EQ(Scan(atFour), 0);
  Bytes atSix = falseStart;
  atSix.insert(atSix.end(), {0x00, 0x00});
  atSix.insert(atSix.end(), answer.begin(), answer.end());
  EXPECT_EQ(Scan(atSix), 1);
  EXPECT_FALSE(devices.Lines().empty());
}

TEST_F(SerialScanner, StateImageNeedsALengthOf809) {
  EXPECT_EQ(Scan(StateFrame(808)), 0);
  EXPECT_EQ(image, StateImageBytes{});
  const Bytes full = StateFrame(809);
  EXPECT_EQ(Scan(full), 1);
  EXPECT_TRUE(std::ranges::equal(image, std::span(full).subspan(18, kStateImageSize)));
  EXPECT_TRUE(devices.Lines().empty());
}

TEST_F(SerialScanner, NeverReadsPastWhatArrived) {
  const Bytes answer = Answer("KVT2208Z");
  for (std::size_t cut = 0; cut < answer.size(); ++cut) {
    EXPECT_EQ(Scan(Bytes(answer.begin(), answer.begin() + static_cast<std::ptrdiff_t>(cut))), 0);
  }
  // A Length that could never fit what a search collects is noise, not a frame to wait for.
  Bytes noise{0xA5, 0x6C, 0xFF, 0xFF, 0xA1, 0x01};
  noise.insert(noise.end(), answer.begin(), answer.end());
  EXPECT_EQ(Scan(noise), 1);
  // An answer without the name pattern ends the search with nothing listed.
  EXPECT_EQ(Scan(test::DiscoverAnswer(0xA1, 0x01, {'K', 'V', 'T'})), 1);
}

TEST_F(SerialScanner, AFalseStartThatNeverCompletesHidesNoAnswerBehindIt) {
  const Bytes answer = Answer("KVT2208Z");
  // Each Length fits what a search collects, but its trailer never arrives.
  for (const Bytes& falseStart :
       {Bytes{0xA5, 0x6C, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00}, Bytes{0xA5, 0x6C, 0xFF, 0x03}}) {
    Bytes bytes = falseStart;
    bytes.insert(bytes.end(), answer.begin(), answer.end());
    ASSERT_EQ(Scan(bytes), 1) << "false start of " << falseStart.size() << " bytes";
    // The type and address are the answer's, not the false start's.
    EXPECT_EQ(devices.Table().Entry(0).DeviceType, 0xA1);
    EXPECT_EQ(devices.Table().Entry(0).DeviceAddress, 0x05);
    EXPECT_EQ(devices.Lines().front(), "KVT2208Z");
  }

  // An answer still arriving behind a false start is found once it is complete.
  Bytes bytes{0xA5, 0x6C, 0x00, 0x02, 0x00, 0x00};
  bytes.insert(bytes.end(), answer.begin(), answer.end() - 1);
  EXPECT_EQ(Scan(bytes), 0);
  bytes.push_back(answer.back());
  EXPECT_EQ(Scan(bytes), 1);

  // A state image behind a false start fills the image as it would alone.
  Bytes imageBytes{0xA5, 0x6C, 0x00, 0x04};
  const Bytes full = StateFrame(809);
  imageBytes.insert(imageBytes.end(), full.begin(), full.end());
  EXPECT_EQ(Scan(imageBytes), 1);
  EXPECT_TRUE(std::ranges::equal(image, std::span(full).subspan(18, kStateImageSize)));
}

}  // namespace
}  // namespace quintara
