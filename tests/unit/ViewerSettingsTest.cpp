// A multiviewer's settings file: what it writes, every check it makes before anything is sent,
// and the order of the setters that take a unit to it.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <variant>

#include "core/viewer/files/SettingsFile.h"
#include "core/viewer/protocol/ViewerCommands.h"
#include "core/viewer/protocol/ViewerFrames.h"
#include "core/viewer/state/ViewerSettings.h"
#include "support/FakeLinkFixture.h"

namespace quintara {
namespace {

ViewerSettings Sample() {
  ViewerSettings s;
  s.OutputFormat = 6;  // 720p50
  s.SwitcherMode = 1;
  s.LayoutCode = 160;
  for (std::size_t k = 0; k < 16; ++k) {
    const auto n = static_cast<std::uint8_t>(k);
    s.WindowSource[k] = static_cast<std::uint8_t>(16 - k);
    s.SwitcherSource[k] = static_cast<std::uint8_t>(1 + (k + 3) % 16);
    s.UmdOn[k] = n % 2;
    s.UmdText[k] = k == 0 ? u"Kamera 1 – Süd" : k == 1 ? u"ABCDEFGHIJKLMNOPQ" : u"";
    s.UmdTextColour[k] = n;
    s.UmdBackColour[k] = k == 15 ? 31 : n;  // the device's field holds more than the palette
    s.FormatTextColour[k] = static_cast<std::uint8_t>(15 - k);
    s.FormatBackColour[k] = 14;
    s.TimecodeTextColour[k] = 7;
    s.TimecodeBackColour[k] = 0;
    s.MeterOn[k] = n % 3 == 0 ? 1 : 0;
    s.MeterChannels[k] = n % 8;
  }
  s.AllUmdOn = 1;
  s.FormatStatusOn = 1;
  s.TimecodeOn = 1;
  s.AudioSource = 16;
  return s;
}

std::string ErrorOf(const std::string& document) {
  const SettingsRead read = ReadSettingsDocument(document);
  const auto* error = std::get_if<SettingsFileError>(&read);
  return error ? error->Text() : "no error";
}

// The sample's document with one text replaced.
std::string Edited(const std::string& from, const std::string& to) {
  std::string document = WriteSettingsDocument(Sample(), {});
  const std::size_t at = document.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? document : document.replace(at, from.size(), to);
}

TEST(SettingsFile, WritesReadableNamesAndReadsBackEveryField) {
  const std::string document = WriteSettingsDocument(Sample(), {u"Studio A", 1, {}, {}});
  EXPECT_NE(document.find("\"OutputFormat\": \"720p50\""), std::string::npos) << document;
  EXPECT_NE(document.find("\"SwitcherMode\": true"), std::string::npos);
  EXPECT_NE(document.find("\"UmdBackColour\": [\"Black\",\"Blue\","), std::string::npos);
  EXPECT_NE(document.find("\"Trans\",31]"), std::string::npos) << "31 has no palette name";
  EXPECT_NE(document.find("\"name\": \"Studio A\""), std::string::npos);
  const SettingsRead read = ReadSettingsDocument(document);
  ASSERT_TRUE(std::holds_alternative<ViewerSettings>(read)) << ErrorOf(document);
  EXPECT_EQ(std::get<ViewerSettings>(read), Sample());

  // Colours and the output format by number are taken as well; the device section is not read.
  const std::string numbers = Edited("\"OutputFormat\": \"720p50\"", "\"OutputFormat\": 6");
  EXPECT_EQ(std::get<ViewerSettings>(ReadSettingsDocument(numbers)), Sample());
  EXPECT_EQ(ErrorOf(Edited("\"name\": \"\"", "\"name\": 5")), "no error");
}

TEST(SettingsFile, EveryProblemNamesItsFieldAndNothingIsTaken) {
  EXPECT_EQ(ErrorOf("{\"format\": "),
            "not valid JSON: parse error at line 1, column 12: syntax error while parsing value - "
            "unexpected end of input; expected '[', '{', or a literal");
  EXPECT_EQ(ErrorOf("[1, 2]"), "the file is not a settings document (a JSON object)");
  EXPECT_EQ(ErrorOf("{\"format\": 1e999}"), "not valid JSON: number overflow parsing '1e999'");
  EXPECT_EQ(ErrorOf(Edited("\"quintara-multiviewer-settings\"", "\"other\"")),
            "format: expected \"quintara-multiviewer-settings\", found string \"other\"");
  EXPECT_EQ(ErrorOf(Edited("\"version\": 1", "\"version\": 2")),
            "version: version 2 is not one this program reads; it reads version 1");
  EXPECT_EQ(ErrorOf(Edited("\"version\": 1", "\"version\": \"1\"")),
            "version: expected a version number, found string \"1\"");
  EXPECT_EQ(ErrorOf(Edited("\"BorderOn\": false", "\"BorderOn\": 0")),
            "settings.BorderOn: expected true or false, found number 0");
  EXPECT_EQ(ErrorOf(Edited("\"WindowSource\": [16,", "\"WindowSource\": [17,")),
            "settings.WindowSource[0]: 17 is out of range (1-16)");
  EXPECT_EQ(ErrorOf(Edited("\"MeterChannels\": [0,", "\"MeterChannels\": [0.5,")),
            "settings.MeterChannels[0]: expected a whole number (0-7), found number 0.5");
  EXPECT_EQ(ErrorOf(Edited("\"LayoutCode\": 160", "\"LayoutCode\": 17")),
            "settings.LayoutCode: 17 is not a layout of the multiviewer");
  EXPECT_EQ(ErrorOf(Edited("\"OutputFormat\": \"720p50\"", "\"OutputFormat\": \"4K\"")),
            "settings.OutputFormat: \"4K\" is not one of the output formats (1080p60, 1080p50, "
            "1080i60, 1080i50, 1080p30, 1080p25, 1080p24, 720p60, 720p50)");
  EXPECT_EQ(ErrorOf(Edited("\"UmdTextColour\": [\"Black\"", "\"UmdTextColour\": [\"Pink\"")),
            "settings.UmdTextColour[0]: \"Pink\" is not a palette colour (Black, Blue, Red, ... "
            "Trans, HalfTrans)");
  EXPECT_EQ(ErrorOf(Edited("\"UmdTextColour\": [\"Black\"", "\"UmdTextColour\": [16")),
            "settings.UmdTextColour[0]: 16 is out of range (0-15)");
  EXPECT_EQ(ErrorOf(Edited("\"ABCDEFGHIJKLMNOPQ\"", "\"ABCDEFGHIJKLMNOPQR\"")),
            "settings.UmdText[1]: a label holds at most 17 characters; this one has 18");
  EXPECT_EQ(ErrorOf(Edited("\"AudioSource\": 16", "\"AudioSource\": [16]")),
            "settings.AudioSource: expected a whole number (0-16), found array [16]");
  EXPECT_EQ(ErrorOf(Edited("\"MeterOn\": [true,", "\"MeterOn\": [")),
            "settings.MeterOn: expected a list of 16 entries, found 15");
  EXPECT_EQ(ErrorOf(Edited("\"BorderOn\": false", "\"Border\": false")),
            "settings.Border: not a setting of the multiviewer");
  EXPECT_EQ(ErrorOf(Edited("\"BorderOn\": false,", "")), "settings.BorderOn: missing");

  // What a file holds reaches a message only as a short, flat excerpt.
  EXPECT_EQ(ErrorOf(Edited("\"AudioSource\": 16", "\"AudioSource\": [[16], {\"a\": 1}]")),
            "settings.AudioSource: expected a whole number (0-16), found array [...]");
  EXPECT_EQ(
      ErrorOf(Edited("\"AudioSource\": 16", "\"AudioSource\": \"" + std::string(200, 'x') + "\"")),
      "settings.AudioSource: expected a whole number (0-16), found string \"" +
          std::string(36, 'x') + "...");
  const std::string deep = std::string(60000, '[') + std::string(60000, ']');
  EXPECT_EQ(ErrorOf("{\"format\": " + deep + "}"),
            "the file nests values deeper than a settings file does (16 levels)");
  // A field said twice, and a label the device could never show.
  EXPECT_EQ(ErrorOf(Edited("\"BorderOn\": false", "\"BorderOn\": false, \"BorderOn\": true")),
            "settings.BorderOn: appears twice; a settings file names each field once");
  EXPECT_EQ(ErrorOf(Edited("\"version\": 1", "\"version\": 1, \"version\": 1")),
            "version: appears twice; a settings file names each field once");
  EXPECT_EQ(ErrorOf(Edited("\"ABCDEFGHIJKLMNOPQ\"", "\"AB\\u001b[2J\"")),
            "settings.UmdText[1]: the label holds a control character (U+001B), which no "
            "multiviewer shows");
  EXPECT_EQ(ErrorOf(Edited("\"ABCDEFGHIJKLMNOPQ\"", "\"AB\\u007f\"")),
            "settings.UmdText[1]: the label holds a control character (U+007F), which no "
            "multiviewer shows");
}

TEST(SettingsFile, ExportRefusesWhatItsImportWouldRefuse) {
  const auto problem = [](const std::function<void(ViewerSettings&)>& change) -> std::string {
    ViewerSettings settings = Sample();
    change(settings);
    const std::variant<std::string, SettingsFileError> document = ExportDocument(settings, {});
    const auto* error = std::get_if<SettingsFileError>(&document);
    return error != nullptr ? error->Text() : std::string("exported");
  };
  EXPECT_EQ(problem([](ViewerSettings&) {}), "exported");
  EXPECT_EQ(problem([](ViewerSettings& s) { s.LayoutCode = 0; }),
            "settings.LayoutCode: 0 is not a layout of the multiviewer");
  EXPECT_EQ(problem([](ViewerSettings& s) { s.UmdTextColour[4] = 40; }),
            "settings.UmdTextColour[4]: 40 is out of range (0-15)");
  EXPECT_EQ(problem([](ViewerSettings& s) { s.UmdText[2] = u"A\x1b"; }),
            "settings.UmdText[2]: the label holds a control character (U+001B), which no "
            "multiviewer shows");
}

// A folder of this process's own: test cases run side by side.
class SettingsFolder : public ::testing::Test {
 protected:
  SettingsFolder() {
    std::filesystem::remove_all(directory);
    std::filesystem::create_directories(directory);
  }
  ~SettingsFolder() override { std::filesystem::remove_all(directory); }

  static std::string Contents(const std::filesystem::path& file) {
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  const std::filesystem::path directory = std::filesystem::temp_directory_path() /
                                          ("quintara-settings-test-" + std::to_string(::getpid()));
  const std::filesystem::path file = directory / "studio.json";
};

TEST_F(SettingsFolder, AFailedWriteLeavesTheFileThereAsItWasAndSaysWhy) {
  ASSERT_EQ(WriteSettingsFile(file, "first"), std::nullopt);
  ASSERT_EQ(WriteSettingsFile(file, "second"), std::nullopt);
  // A disk that fills up: the file size limit fails the write as a full disk would.
  rlimit before{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = before;
  small.rlim_cur = 3;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const auto failure = WriteSettingsFile(file, "third");
  setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(failure, "cannot write " + file.string() + ": File too large");
  EXPECT_EQ(Contents(file), "second");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory), {}), 1)
      << "no partial file left behind";

  const SettingsRead missing = ReadSettingsFile(directory / "none.json");
  EXPECT_EQ(std::get<SettingsFileError>(missing).Text(),
            "cannot read " + (directory / "none.json").string() + ": No such file or directory");
  std::ofstream(directory / "huge.json") << std::string(kSettingsFileLimit + 1, ' ');
  EXPECT_EQ(
      std::get<SettingsFileError>(ReadSettingsFile(directory / "huge.json")).Text(),
      (directory / "huge.json").string() + " is larger than a settings file can be (256 KiB)");
  EXPECT_EQ(std::get<SettingsFileError>(ReadSettingsFile("/dev/zero")).Text(),
            "cannot read /dev/zero: not a regular file");
}

TEST_F(SettingsFolder, OnlyARegularFileIsReplacedAndNoPlantedLinkIsFollowed) {
  namespace fs = std::filesystem;
  const fs::path pipe = directory / "pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  fs::create_symlink(pipe, directory / "to-pipe");
  fs::create_directory(directory / "folder");
  for (const auto& [path, reason] : std::vector<std::pair<fs::path, std::string>>{
           {directory / "folder", "Is a directory"},
           {pipe, "not a regular file"},
           {directory / "to-pipe", "not a regular file"},
           {directory / "none" / "x.json", "No such file or directory"}}) {
    const std::string expected = "cannot write " + path.string() + ": " + reason;
    EXPECT_EQ(CheckSettingsFileTarget(path).value_or("accepted"), expected);
    EXPECT_EQ(WriteSettingsFile(path, "x").value_or("written"), expected);
  }
  EXPECT_TRUE(fs::is_fifo(pipe)) << "the pipe stays a pipe";

  // A link to a regular file: the file it leads to is replaced and the link stays.
  ASSERT_EQ(WriteSettingsFile(directory / "real.json", "old"), std::nullopt);
  fs::permissions(directory / "real.json", fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink("real.json", directory / "link.json");
  ASSERT_EQ(WriteSettingsFile(directory / "link.json", "new"), std::nullopt);
  EXPECT_TRUE(fs::is_symlink(directory / "link.json"));
  EXPECT_EQ(Contents(directory / "real.json"), "new");
  EXPECT_EQ(fs::status(directory / "real.json").permissions(),
            fs::perms::owner_read | fs::perms::owner_write)
      << "0600 stays 0600";

  // Whatever is planted where a temporary file might go is left alone.
  std::ofstream(directory / "victim") << "keep";
  fs::create_symlink(directory / "victim", directory / "studio.json.partial");
  fs::create_symlink(directory / "victim", directory / ".studio.json.partial");
  ASSERT_EQ(WriteSettingsFile(file, "settings"), std::nullopt);
  EXPECT_EQ(Contents(file), "settings");
  EXPECT_EQ(Contents(directory / "victim"), "keep");
}

class SettingsPlan : public test::FakeLinkFixture {
 protected:
  std::vector<std::string> Planned(const ViewerSettings& device, const ViewerSettings& wanted) {
    std::vector<std::string> steps;
    for (const SettingsChange& change :
         PlanSettings(ViewerFrames(controller.Session()), device, wanted)) {
      steps.push_back(change.field + "=" + change.value);
    }
    return steps;
  }
};

TEST_F(SettingsPlan, SourcesGoOutInMultiviewerModeRoutesInSwitcherModeAndTheModeLast) {
  ViewerSettings device = Sample();
  ViewerSettings wanted = Sample();
  EXPECT_TRUE(Planned(device, wanted).empty()) << "a unit that holds the file gets nothing";

  // The device runs as a switcher and stays one: windows need multiviewer mode for a while.
  wanted.LayoutCode = 40;
  wanted.WindowSource[2] = 9;
  wanted.SwitcherSource[0] = 5;
  wanted.UmdOn[2] = 1;
  wanted.AllUmdOn = 0;
  EXPECT_EQ(Planned(device, wanted),
            (std::vector<std::string>{"SwitcherMode=off", "LayoutCode=40", "WindowSource[2]=9",
                                      "SwitcherMode=on", "SwitcherSource[0]=5", "AllUmdOn=off",
                                      "UmdOn[2]=on"}));

  // In multiviewer mode, wanting a switcher: the routes switch it on, and it stays on.
  device.SwitcherMode = 0;
  wanted = device;
  wanted.SwitcherSource[15] = 1;
  wanted.SwitcherMode = 1;
  wanted.OutputFormat = 7;
  EXPECT_EQ(Planned(device, wanted),
            (std::vector<std::string>{"OutputFormat=1080p60", "SwitcherMode=on",
                                      "SwitcherSource[15]=1"}));
}

TEST_F(SettingsPlan, EachChangeIsTheSendersOwnFrame) {
  ViewerSettings device = Sample();
  ViewerSettings wanted = Sample();
  wanted.UmdText[2] = u"Cam 3";
  wanted.TimecodeBackColour[4] = 2;
  wanted.MeterChannels[15] = 3;
  wanted.OutputFormat = 1;
  const std::vector<SettingsChange> changes =
      PlanSettings(ViewerFrames(controller.Session()), device, wanted);
  ASSERT_EQ(changes.size(), 4u);

  ViewerCommands commands(controller.Session());
  ASSERT_EQ(commands.SetOutputFormat(1), CommandResult::Sent);
  ASSERT_EQ(commands.SetUmdText(3, u"Cam 3"), CommandResult::Sent);
  ASSERT_EQ(commands.SetTimecodeBackColour(5, 2), CommandResult::Sent);
  ASSERT_EQ(commands.SetMeterChannels(15, 3), CommandResult::Sent);
  ASSERT_EQ(link.sent.size(), 4u);
  for (std::size_t i = 0; i < changes.size(); ++i) {
    EXPECT_EQ(changes[i].frame, link.sent[i]) << changes[i].field;
  }
  EXPECT_EQ(changes[1].commandName, "SetUmdText");
}

}  // namespace
}  // namespace quintara
