// Matrix switchers' settings files against the simulated switchers: quintara-cli's export and
// import for both kinds, what a bad, foreign or dry-run import sends (nothing), a locked unit,
// and the window's presenter with its exchanges on a worker thread.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "cli/CommandContext.h"
#include "core/TaskQueue.h"
#include "core/matrix/files/MatrixSettingsPresenter.h"
#include "support/CliRun.h"
#include "support/SimulatedLan.h"
#include "support/StartedExchange.h"
#include "support/TaskLoop.h"
#include "support/TestLink.h"

namespace quintara {
namespace {

using test::CliRun;
using test::SimulatedLan;

// What a switcher received, by name: a frame by its command, a routing text as it is.
std::string Named(const std::vector<std::uint8_t>& bytes) {
  if (bytes.empty() || bytes[0] != frame::kStart) {
    return {bytes.begin(), bytes.end()};
  }
  switch (bytes.at(frame::kCommandCodeOffset)) {
    case CommandCode::Discover:
      return "Discover";
    case MatrixCode::ReadMatrixStatus:
      return "ReadMatrixStatus";
    case MatrixCode::ReadBacklight:
      return bytes[frame::kDeviceTypeOffset] == kMatrixValueDeviceType ? "ReadBacklight"
                                                                       : "SetLock";
    case MatrixCode::SetBacklightTime:
      return "SetBacklightTime";
    case MatrixCode::SetBacklightBrightness:
      return "SetBacklightBrightness";
    default:
      return "code " + std::to_string(bytes[frame::kCommandCodeOffset]);
  }
}

struct Unit {
  const char* name;
  Ipv4Address address;
  std::shared_ptr<sim::SimMatrix> SimulatedLan::*device;
};
const Unit kMatrix8{"matrix8", SimulatedLan::kMatrix8, &SimulatedLan::matrix8};
const Unit kMatrix16{"matrix16", SimulatedLan::kMatrix16, &SimulatedLan::matrix16};

class MatrixSettingsFiles : public ::testing::Test {
 protected:
  MatrixSettingsFiles() {
    std::filesystem::remove_all(directory);
    std::filesystem::create_directories(directory);
  }
  ~MatrixSettingsFiles() override { std::filesystem::remove_all(directory); }

  CliRun Run(const Unit& unit, std::vector<std::string> args) const {
    args.insert(args.begin(), {"--device", unit.address.ToText()});
    return test::RunCliOn(lan.link, args, test::ShortSearchTiming());
  }
  sim::SimMatrix& Device(const Unit& unit) { return *(lan.*unit.device); }
  std::string File(const std::string& name) const { return (directory / name).string(); }
  static std::string Text(const std::string& file) {
    std::ifstream in(file);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  // What reached the switcher since the count was taken.
  std::vector<std::string> Since(const Unit& unit, std::size_t count) {
    std::vector<std::string> names;
    const std::vector<sim::ReceivedMessage> received = Device(unit).Received();
    for (std::size_t i = count; i < received.size(); ++i) {
      names.push_back(Named(received[i].bytes));
    }
    return names;
  }
  // Input 4 feeds outputs 1-3, and the file keeps that.
  std::string ExportFanOut(const Unit& unit) {
    for (std::uint8_t output = 1; output <= 3; ++output) {
      EXPECT_TRUE(Device(unit).Route(4, output));
    }
    const std::string file = File(std::string(unit.name) + ".json");
    EXPECT_EQ(Run(unit, {"matrix", "export", file}).status, cli::kExitSuccess);
    return file;
  }

  SimulatedLan lan;
  const std::filesystem::path directory =
      std::filesystem::temp_directory_path() /
      ("quintara-matrix-settings-" + std::to_string(::getpid()));
};

const std::vector<std::string> kOnlyReading{"Discover", "ReadMatrixStatus", "ReadBacklight"};

TEST_F(MatrixSettingsFiles, ImportTakesEitherKindBackToTheExportedSettings) {
  for (const Unit& unit : {kMatrix8, kMatrix16}) {
    SCOPED_TRACE(unit.name);
    const std::string file = ExportFanOut(unit);
    const sim::MatrixState saved = Device(unit).State();
    const bool sixteen = unit.address == SimulatedLan::kMatrix16;
    for (const std::vector<std::string>& drift : {std::vector<std::string>{"matrix", "one-to-one"},
                                                  {"matrix", "backlight-time", "0"},
                                                  {"matrix", "brightness", "20"},
                                                  {"matrix", "output-format", "720p50"}}) {
      if (sixteen || drift[1] != "output-format") {
        ASSERT_EQ(Run(unit, drift).status, cli::kExitSuccess);
      }
    }
    ASSERT_NE(Device(unit).State(), saved);

    const std::size_t before = Device(unit).Received().size();
    const CliRun run = Run(unit, {"matrix", "import", file});
    EXPECT_EQ(run.status, cli::kExitSuccess) << run.err;
    EXPECT_NE(run.out.find("  RouteToOutputs routes 4V1,2,3.\n"), std::string::npos) << run.out;
    EXPECT_TRUE(run.out.ends_with("verified: the device holds the file's settings\n"));
    std::vector<std::string> sent = kOnlyReading;
    sent.insert(sent.end(), {"4V1,2,3.", "SetBacklightTime", "SetBacklightBrightness"});
    if (sixteen) {
      sent.push_back("code " + std::to_string(MatrixCode::SetMatrixOutputFormat));
    }
    sent.insert(sent.end(), {"ReadMatrixStatus", "ReadBacklight"});
    EXPECT_EQ(Since(unit, before), sent);
    EXPECT_EQ(Device(unit).State(), saved);
    EXPECT_EQ(Run(unit, {"matrix", "export"}).out, Text(file));
  }
}

TEST_F(MatrixSettingsFiles, ABadFileOrOneForTheOtherKindSendsNothing) {
  const std::string sixteen = ExportFanOut(kMatrix16);
  std::string text = Text(ExportFanOut(kMatrix8));
  text.replace(text.find("[4,4,4,4"), 8, "[4,4,4,9");
  std::ofstream(File("bad.json")) << text;

  const std::size_t before = Device(kMatrix8).Received().size();
  CliRun run = Run(kMatrix8, {"matrix", "import", File("bad.json")});
  EXPECT_EQ(run.status, cli::kExitUsage);
  EXPECT_EQ(run.err, "quintara-cli: " + File("bad.json") +
                         ": settings.routes[3]: 9 is out of range (1-8)\nnothing was sent\n");
  EXPECT_EQ(Run(kMatrix8, {"--dry-run", "matrix", "status"}).status, cli::kExitUsage);
  EXPECT_EQ(Device(kMatrix8).Received().size(), before) << "not even a search";

  run = Run(kMatrix8, {"--json", "matrix", "import", sixteen});
  EXPECT_EQ(run.status, cli::kExitUsage);
  EXPECT_EQ(run.err, "quintara-cli: " + sixteen +
                         ": the file is for a matrix16, not a matrix8\nnothing was sent\n");
  EXPECT_EQ(Since(kMatrix8, before), std::vector<std::string>{"Discover"});
}

TEST_F(MatrixSettingsFiles, DryRunOnlyReadsAndPrintsWhatWouldGo) {
  const std::string file = ExportFanOut(kMatrix8);
  ASSERT_TRUE(Device(kMatrix8).Route(2, 5));
  ASSERT_EQ(Run(kMatrix8, {"matrix", "brightness", "20"}).status, cli::kExitSuccess);
  const std::size_t before = Device(kMatrix8).Received().size();
  const CliRun run = Run(kMatrix8, {"--dry-run", "matrix", "import", file});
  EXPECT_EQ(run.status, cli::kExitSuccess) << run.err;
  EXPECT_EQ(run.out,
            "2 commands would go to MATRIX8_127.0.0.32:\n"
            "RouteToOutputs routes 5V5.: 35 56 35 2E\n"
            "SetBacklightBrightness brightness 80: A5 6C 15 00 03 01 01 00 00 00 00 00 00 00 00 "
            "00 52 50 CD 01 AE\n");
  EXPECT_EQ(Since(kMatrix8, before), kOnlyReading);
  EXPECT_EQ(Device(kMatrix8).State().routes[4], 2);
}

TEST_F(MatrixSettingsFiles, ALockedSwitcherIsSentNothingAndTheCommandSaysSo) {
  const std::string file = ExportFanOut(kMatrix16);
  ASSERT_TRUE(Device(kMatrix16).Route(2, 5));
  ASSERT_EQ(Run(kMatrix16, {"lock", "on"}).status, cli::kExitSuccess);
  for (const char* option : {"--json", "--dry-run"}) {
    const std::size_t before = Device(kMatrix16).Received().size();
    const CliRun run = Run(kMatrix16, {option, "matrix", "import", file});
    EXPECT_EQ(run.status, cli::kExitNotApplied);
    EXPECT_EQ(run.err, "quintara-cli: " + std::string(kMatrixSettingsLockedText) + "\n");
    EXPECT_EQ(Since(kMatrix16, before), kOnlyReading);
  }
  EXPECT_NE(Run(kMatrix16, {"--json", "matrix", "import", file}).out.find("\"locked\":true"),
            std::string::npos);
  EXPECT_EQ(Device(kMatrix16).State().routes[4], 2);
}

// The window's side: the presenter's exchanges run on a worker, its steps on the owner's thread.
class MatrixSettingsWindow : public MatrixSettingsFiles {
 protected:
  MatrixSettingsWindow()
      : controller(lan.link, test::ShortSearchTiming(), clock, prompter, observer) {
    controller.SetRunner(runner);
    EXPECT_TRUE(test::SearchAndSelect(controller, SimulatedLan::kMatrix16));
  }
  // Loads the file with a presenter that goes at once, and waits until every exchange it
  // started was applied.
  void LoadAndWait(const std::string& file, Continuation catchUp = nullptr) {
    MatrixSettingsPresenter(controller.Session()).Load(file, std::move(catchUp));
    EXPECT_TRUE(test::RunTasksUntil(owner, [this] { return !runner.Busy(); }));
  }

  SystemClock clock;
  test::RecordingPrompter prompter;
  test::RecordingObserver observer;
  TaskQueue owner;
  Controller controller;
  test::StartingRunner runner{owner};
};

TEST_F(MatrixSettingsWindow, SaveAndLoadAskFirstSendOnlyWhatDiffersAndVerify) {
  const std::string file = File("studio.json");
  MatrixSettingsPresenter(controller.Session()).Save(file);
  ASSERT_TRUE(test::RunTasksUntil(owner, [this] { return !runner.Busy(); }));
  ASSERT_TRUE(std::filesystem::exists(file)) << testing::PrintToString(prompter.errors);
  ASSERT_TRUE(Device(kMatrix16).Route(7, 1));

  std::size_t before = Device(kMatrix16).Received().size();
  prompter.confirmAnswer = false;
  LoadAndWait(file);
  EXPECT_EQ(prompter.confirmations,
            std::vector<std::string>{"Apply the settings file to the matrix switcher?\n\n1 setting "
                                     "will change (matrix switcher -> file):\nroutes[0]: 7 -> 1"});
  EXPECT_EQ(Since(kMatrix16, before),
            std::vector<std::string>({"ReadMatrixStatus", "ReadBacklight"}));

  prompter.confirmAnswer = true;
  bool caughtUp = false;
  LoadAndWait(file, [&caughtUp] { caughtUp = true; });
  EXPECT_EQ(prompter.notices, std::vector<std::string>{std::string(kSettingsVerified)});
  EXPECT_TRUE(caughtUp);
  EXPECT_EQ(Device(kMatrix16).State().routes[0], 1);
  EXPECT_EQ(controller.Session().Matrix().routeTable[0], 1) << "the panel lights what was routed";
  EXPECT_TRUE(prompter.errors.empty()) << prompter.errors.front();

  // A file of the other kind, and a locked switcher: refused before anything is sent.
  quintara::MatrixSettings eight;  // every output on input 1
  eight.routes.fill(1);
  std::ofstream(File("eight.json")) << WriteMatrixSettingsDocument(eight, {});
  ASSERT_TRUE(controller.Session().SetLock(1));
  before = Device(kMatrix16).Received().size();
  LoadAndWait(File("eight.json"));
  LoadAndWait(file);
  EXPECT_EQ(prompter.errors,
            (std::vector<std::string>{
                std::string(kSettingsFileError) + "the file is for a matrix8, not a matrix16",
                std::string(kMatrixLoadLockedError)}));
  EXPECT_EQ(Device(kMatrix16).Received().size(), before);
}

}  // namespace
}  // namespace quintara
