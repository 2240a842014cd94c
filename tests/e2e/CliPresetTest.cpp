// Named presets and files applied to several units, against the simulated devices: a preset
// saved from one multiviewer and recalled on two others, refusals that send nothing, and one
// result per device.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "core/viewer/protocol/ViewerCommands.h"
#include "support/CliRun.h"
#include "support/SimulatedLan.h"
#include "support/TestLink.h"

namespace quintara::cli {
namespace {

using Json = nlohmann::json;
using test::CliRun;
using test::SimulatedLan;

class CliPresets : public ::testing::Test {
 protected:
  CliPresets() { std::filesystem::remove_all(folder); }
  ~CliPresets() override { std::filesystem::remove_all(folder); }

  // quintara-cli with the presets folder and a --device for each address.
  CliRun Run(std::vector<std::string> args, const std::vector<Ipv4Address>& devices = {}) const {
    std::vector<std::string> options{"--preset-dir", folder.string()};
    for (const Ipv4Address& device : devices) {
      options.insert(options.end(), {"--device", device.ToText()});
    }
    args.insert(args.begin(), options.begin(), options.end());
    return test::RunCliOn(lan.link, args, test::ShortSearchTiming());
  }

  // Setter frames a multiviewer received (the search and read-backs left out).
  static std::size_t SettersReceived(const sim::SimMultiviewer& device) {
    return device.ReceivedFrames(ViewerCode::SetLayout).size() +
           device.ReceivedFrames(ViewerCode::SetWindowSource).size();
  }

  SimulatedLan lan{{}, 2};
  // A folder of each test's own: ctest runs the cases side by side.
  const std::filesystem::path folder =
      std::filesystem::path(::testing::TempDir()) /
      ("quintara-presets-" +
       std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
};

TEST_F(CliPresets, APresetSavedFromOneMultiviewerIsRecalledOnTwoOthers) {
  lan.multiviewer->SetLayout(111);
  lan.multiviewer->SetWindowSource(3, 9);
  const CliRun saved = Run({"preset", "save", "Match day"}, {SimulatedLan::kMultiviewer});
  ASSERT_EQ(saved.status, 0) << saved.err;
  EXPECT_TRUE(std::filesystem::is_regular_file(folder / "Match day.json"));

  const CliRun listed = Run({"--json", "preset", "list"});
  ASSERT_EQ(listed.status, 0) << listed.err;
  const Json presets = Json::parse(listed.out)["presets"];
  ASSERT_EQ(presets.size(), 1u);
  EXPECT_EQ(presets[0]["name"], "Match day");
  EXPECT_EQ(presets[0]["kind"], "multiviewer");

  const CliRun recalled = Run({"--json", "preset", "recall", "Match day"},
                              {SimulatedLan::SpareAddress(0), SimulatedLan::SpareAddress(1)});
  ASSERT_EQ(recalled.status, 0) << recalled.err;
  const Json devices = Json::parse(recalled.out)["devices"];
  ASSERT_EQ(devices.size(), 2u);
  for (std::size_t k = 0; k < 2; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(devices[k]["address"], SimulatedLan::SpareAddress(k).ToText());
    EXPECT_EQ(devices[k]["exit"], 0);
    EXPECT_TRUE(devices[k]["result"]["verified"].get<bool>());
    EXPECT_EQ(lan.spares[k]->State().LayoutCode, 111);
    EXPECT_EQ(lan.spares[k]->State().WindowSource, lan.multiviewer->State().WindowSource);
  }

  EXPECT_EQ(Run({"preset", "delete", "Match day"}).status, 0);
  EXPECT_EQ(Run({"--json", "preset", "list"}).out,
            "{\"folder\":\"" + folder.string() + "\",\"presets\":[]}\n");
}

// Each refusal is said once and nothing reaches a device; where several devices are asked, the
// ones of the preset's kind still take it and the exit status is the worst of them.
TEST_F(CliPresets, RefusalsSendNothingAndEachDeviceGetsItsOwnResult) {
  lan.multiviewer->SetLayout(90);
  ASSERT_EQ(Run({"preset", "save", "mv"}, {SimulatedLan::kMultiviewer}).status, 0);
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "notes.json") << "{\"format\": \"something else\"}";

  struct Case {
    std::vector<std::string> args;
    std::vector<Ipv4Address> devices;
    int status;
    const char* says;
  };
  const std::vector<Case> cases{
      {{"preset", "recall", "mv"},
       {SimulatedLan::kMatrix8},
       2,
       "is for a multiviewer, not a matrix8"},
      {{"preset", "recall", "absent"},
       {SimulatedLan::SpareAddress(0)},
       2,
       "no preset named 'absent'"},
      {{"preset", "recall", "notes"}, {SimulatedLan::SpareAddress(0)}, 2, "no settings file"},
      {{"preset", "save", "../escape"},
       {SimulatedLan::kMultiviewer},
       2,
       "does not start with a dot"},
      {{"preset", "save", "a/b"}, {SimulatedLan::kMultiviewer}, 2, "letters, digits"},
      {{"preset", "save", "mv"},
       {SimulatedLan::kMultiviewer, SimulatedLan::SpareAddress(0)},
       2,
       "one device"},
      {{"preset", "save", "m8"}, {SimulatedLan::kMatrix8}, 0, ""},
      {{"preset", "recall", "m8"},
       {SimulatedLan::kMatrix16},
       2,
       "is for a matrix8, not a matrix16"},
      {{"preset", "delete", "absent"}, {}, 2, "no preset named"},
      {{"mv", "import", (folder / "notes.json").string()},
       {SimulatedLan::SpareAddress(0), SimulatedLan::SpareAddress(1)},
       2,
       "nothing was sent"},
      {{"mv", "layout", "60"},
       {SimulatedLan::SpareAddress(0), SimulatedLan::SpareAddress(1)},
       2,
       "several --device"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[1] + " " + c.args[2]);
    const CliRun run = Run(c.args, c.devices);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }
  EXPECT_EQ(SettersReceived(*lan.spares[0]), 0u);
  EXPECT_EQ(SettersReceived(*lan.spares[1]), 0u);

  const CliRun mixed =
      Run({"preset", "recall", "mv"},
          {SimulatedLan::SpareAddress(0), SimulatedLan::kMatrix8, Ipv4Address{{127, 0, 0, 39}}});
  EXPECT_EQ(mixed.status, 2) << "the highest of 0, 2 and 1";
  EXPECT_NE(mixed.out.find("127.0.0.34  ok\n127.0.0.32  exit 2: preset 'mv' is for a "
                           "multiviewer, not a matrix8\n127.0.0.39  exit 1: no answer"),
            std::string::npos)
      << mixed.out;
  EXPECT_EQ(lan.spares[0]->State().LayoutCode, 90);
}

}  // namespace
}  // namespace quintara::cli
