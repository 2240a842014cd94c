// quintara-cli's settings files against the simulated multiviewer: export, import, the checks a
// file passes before anything is sent, and --dry-run.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "cli/CliSession.h"
#include "core/link/ControlFrame.h"
#include "core/text/TextCodec.h"
#include "core/viewer/files/SettingsFile.h"
#include "core/viewer/files/SettingsTransfer.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "support/CliRun.h"
#include "support/SimulatedLan.h"
#include "support/TestLink.h"

namespace quintara::cli {
namespace {

using test::CliRun;
using test::SimulatedLan;
namespace vc = ViewerCode;

// Every setting the multiviewer's front panel has, away from its defaults; it ends in switcher
// mode with routes of its own.
void ChangeEverything(sim::SimMultiviewer& device) {
  device.SetLayout(160);
  device.SetOutputFormat(14);
  for (std::uint8_t k = 1; k <= 16; ++k) {
    device.SetWindowSource(k, static_cast<std::uint8_t>(17 - k));
    device.SetUmdOn(k, k % 2 == 0);
    for (const std::uint8_t code :
         {vc::SetUmdTextColour, vc::SetUmdBackColour, vc::SetFormatTextColour,
          vc::SetFormatBackColour, vc::SetTimecodeTextColour, vc::SetTimecodeBackColour}) {
      device.SetColour(code, k, static_cast<std::uint8_t>((k + code) % 16));
    }
    device.FrontPanel(vc::SetMeterOn, std::array<std::uint8_t, 2>{k, k % 3 == 0});
    device.FrontPanel(vc::SetMeterChannels,
                      std::array<std::uint8_t, 2>{k, static_cast<std::uint8_t>(k % 8)});
    std::vector<std::uint8_t> label{k, 1, 0, 1, 0, 1, 0, 1};
    const std::vector<std::uint8_t> text = EncodeUtf16Le(u"Cam " + std::u16string(k, u'é'));
    label.insert(label.end(), text.begin(), text.end());
    device.FrontPanel(vc::SetUmdText, label);
  }
  device.SetAllUmd(false);
  device.SetAllMeters(false);
  for (const std::uint8_t code : {vc::SetBorder, vc::SetFormatStatus}) {
    device.FrontPanel(code, std::array<std::uint8_t, 1>{0});
  }
  for (const std::uint8_t code : {vc::SetTimecode, vc::SetAudioAlarm}) {
    device.FrontPanel(code, std::array<std::uint8_t, 1>{1});
  }
  device.FrontPanel(vc::SetAudioSource, std::array<std::uint8_t, 1>{5});
  device.SetSwitcherMode(1);
  for (std::uint8_t k = 1; k <= 16; ++k) {
    device.SetWindowSource(k, static_cast<std::uint8_t>(1 + k % 16));
  }
}

class CliSettings : public ::testing::Test {
 protected:
  CliSettings() {
    std::filesystem::remove_all(directory);
    std::filesystem::create_directories(directory);
  }
  ~CliSettings() override { std::filesystem::remove_all(directory); }

  CliRun Run(std::vector<std::string> args) const {
    args.insert(args.begin(), {"--device", SimulatedLan::kMultiviewer.ToText()});
    return test::RunCliOn(lan.link, args, test::ShortSearchTiming());
  }
  std::string File(const std::string& name) const { return (directory / name).string(); }
  static std::string Text(const std::string& file) {
    std::ifstream in(file);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  void Write(const std::string& file, const std::string& text) const {
    std::ofstream(file) << text;
  }
  // What reached the device since the count was taken, as command codes.
  std::vector<int> CodesSince(std::size_t count) const {
    std::vector<int> codes;
    const std::vector<sim::ReceivedMessage> received = lan.multiviewer->Received();
    for (std::size_t i = count; i < received.size(); ++i) {
      codes.push_back(received[i].bytes.at(frame::kCommandCodeOffset));
    }
    return codes;
  }

  SimulatedLan lan;
  const std::filesystem::path directory = std::filesystem::temp_directory_path() /
                                          ("quintara-cli-settings-" + std::to_string(::getpid()));
};

const std::vector<int> kOnlyReading{CommandCode::Discover, vc::ReadState};

TEST_F(CliSettings, ImportTakesAUnitToTheExportedSettingsAndASecondImportSendsNothing) {
  ASSERT_EQ(Run({"mv", "export", File("factory.json")}).status, kExitSuccess);
  ChangeEverything(*lan.multiviewer);
  const CliRun exported = Run({"mv", "export"});
  ASSERT_EQ(exported.status, kExitSuccess) << exported.err;
  Write(File("show.json"), exported.out);

  // Back to the factory settings: everything changed goes out, multiviewer mode at the end.
  CliRun run = Run({"mv", "import", File("factory.json")});
  EXPECT_EQ(run.status, kExitSuccess) << run.err << run.out;
  EXPECT_NE(run.out.find("verified: the device holds the file's settings\n"), std::string::npos);
  ASSERT_EQ(Run({"mv", "export", File("again.json")}).status, kExitSuccess);
  EXPECT_EQ(Text(File("again.json")), Text(File("factory.json")));

  std::size_t before = lan.multiviewer->Received().size();
  run = Run({"--json", "mv", "import", File("factory.json")});
  EXPECT_EQ(run.status, kExitSuccess);
  EXPECT_TRUE(run.out.starts_with("{\"device\":\"KVT2208Z_127.0.0.31\",\"file\":"));
  EXPECT_NE(run.out.find("\"changes\":[],\"verified\":true,\"differences\":[]}"), std::string::npos)
      << run.out;
  EXPECT_EQ(CodesSince(before),
            (std::vector<int>{CommandCode::Discover, vc::ReadState, vc::ReadState}));

  // And to the show's settings, which end in switcher mode with routes of their own.
  run = Run({"mv", "import", File("show.json")});
  EXPECT_EQ(run.status, kExitSuccess) << run.err << run.out;
  EXPECT_EQ(Run({"mv", "export"}).out, exported.out);
  EXPECT_EQ(lan.multiviewer->State().SwitcherMode, 1);
}

TEST_F(CliSettings, AFileThatFailsItsChecksSendsNothingAndDryRunOnlyReads) {
  ASSERT_EQ(Run({"mv", "export", File("good.json")}).status, kExitSuccess);
  const std::string good = Text(File("good.json"));
  const auto edited = [&](const std::string& from, const std::string& to) {
    std::string text = good;
    return text.replace(text.find(from), from.size(), to);
  };
  const std::vector<std::pair<std::string, std::string>> bad{
      {"{ not json", "not valid JSON: parse error at line 1, column 4"},
      {edited("\"version\": 1", "\"version\": 3"), "version: version 3 is not one"},
      {edited("\"LayoutCode\": 40", "\"LayoutCode\": true"),
       "settings.LayoutCode: expected a layout code, found boolean true"},
      {edited("\"AudioSource\": 1", "\"AudioSource\": 17"),
       "settings.AudioSource: 17 is out of range (0-16)"},
  };
  const std::size_t before = lan.multiviewer->Received().size();
  for (const auto& [text, problem] : bad) {
    Write(File("bad.json"), text);
    const CliRun run = Run({"mv", "import", File("bad.json")});
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_TRUE(run.err.starts_with("quintara-cli: " + File("bad.json") + ": " + problem))
        << run.err;
    EXPECT_NE(run.err.find("nothing was sent"), std::string::npos);
  }
  EXPECT_EQ(Run({"mv", "import", File("missing.json")}).status, kExitUsage);
  EXPECT_EQ(Run({"--dry-run", "mv", "layout", "60"}).status, kExitUsage);
  EXPECT_EQ(lan.multiviewer->Received().size(), before) << "not even a search";

  Write(File("wide.json"), edited("\"LayoutCode\": 40", "\"LayoutCode\": 60"));
  const CliRun run = Run({"--dry-run", "mv", "import", File("wide.json")});
  EXPECT_EQ(run.status, kExitSuccess) << run.err;
  EXPECT_EQ(run.out,
            "1 frames would go to KVT2208Z_127.0.0.31:\n"
            "SetLayout LayoutCode 60: A5 6C 15 00 A1 01 01 00 00 00 00 00 00 00 00 00 "
            "33 3C 38 02 AE\n");
  EXPECT_EQ(CodesSince(before), kOnlyReading);
}

TEST_F(CliSettings, ALockedDeviceIsLeftAsItWasAndTheCommandSaysSo) {
  ASSERT_EQ(Run({"mv", "export", File("before.json")}).status, kExitSuccess);
  lan.multiviewer->SetLayout(60);
  lan.multiviewer->SetWindowSource(2, 7);
  ASSERT_EQ(Run({"lock", "on"}).status, kExitSuccess);  // it refuses setters from the wire
  const std::size_t before = lan.multiviewer->Received().size();
  const CliRun run = Run({"--json", "mv", "import", File("before.json")});
  EXPECT_EQ(run.status, kExitNotApplied);
  EXPECT_EQ(run.err, "quintara-cli: " + std::string(kSettingsLockedText) + "\n");
  EXPECT_NE(run.out.find("\"locked\":true"), std::string::npos) << run.out;
  // The first setter alone, read back; the second never goes out.
  EXPECT_EQ(CodesSince(before),
            (std::vector<int>{CommandCode::Discover, vc::ReadState, vc::SetLayout, vc::ReadState}));
  EXPECT_EQ(lan.multiviewer->State().LayoutCode, 60);
}

TEST_F(CliSettings, ExportWritesOnlyARegularFileAndOnlyWhatAnImportTakes) {
  ASSERT_EQ(mkfifo(File("pipe").c_str(), 0600), 0);
  std::filesystem::create_symlink(File("pipe"), File("link"));
  const std::size_t before = lan.multiviewer->Received().size();
  for (const auto& [target, reason] :
       std::vector<std::pair<std::string, std::string>>{{directory.string(), "Is a directory"},
                                                        {File("pipe"), "not a regular file"},
                                                        {File("link"), "not a regular file"}}) {
    const CliRun run = Run({"mv", "export", target});
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_EQ(run.err,
              "quintara-cli: cannot write " + target + ": " + reason + "\nnothing was written\n");
  }
  EXPECT_EQ(lan.multiviewer->Received().size(), before) << "not even a search";
  EXPECT_TRUE(std::filesystem::is_fifo(File("pipe")));

  // A value the device holds beyond what a file carries: no file, and the field named.
  std::vector<std::uint8_t> label{3, 1, 0, 1, 0, 1, 0, 1};
  for (const std::uint8_t byte : EncodeUtf16Le(u"A\x1b[2J")) {
    label.push_back(byte);
  }
  ASSERT_TRUE(lan.multiviewer->FrontPanel(vc::SetUmdText, label));
  const CliRun run = Run({"mv", "export", File("out.json")});
  EXPECT_EQ(run.status, kExitNotApplied);
  EXPECT_EQ(run.err, "quintara-cli: " + std::string(kNotExportable) +
                         "settings.UmdText[2]: the label holds a control character (U+001B), "
                         "which no multiviewer shows\nnothing was exported\n");
  EXPECT_FALSE(std::filesystem::exists(File("out.json")));
}

}  // namespace
}  // namespace quintara::cli
