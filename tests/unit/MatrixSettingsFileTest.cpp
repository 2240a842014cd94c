// A matrix switcher's settings file: what it writes for either kind, every check it makes before
// anything is sent, and the commands that take a unit to it.
#include <gtest/gtest.h>

#include <functional>
#include <numeric>
#include <variant>

#include "core/matrix/files/MatrixSettingsFile.h"
#include "core/matrix/files/MatrixSettingsTransfer.h"
#include "core/text/TextCodec.h"

namespace quintara {
namespace {

MatrixSettings Sample(DeviceKind kind) {
  MatrixSettings s;
  s.kind = kind;
  for (std::size_t o = 0; o < s.Channels(); ++o) {
    s.routes[o] = static_cast<std::uint8_t>(s.Channels() - o);
  }
  s.backlightTime = 1;  // "60s Dim"
  s.brightness = 35;
  if (kind == DeviceKind::Matrix16) {
    s.outputFormat = 6;  // "720p50"
  }
  return s;
}

std::string ErrorOf(const std::string& document) {
  const MatrixSettingsRead read = ReadMatrixSettingsDocument(document);
  const auto* error = std::get_if<SettingsFileError>(&read);
  return error ? error->Text() : "no error";
}

// The sample's document with one text replaced.
std::string Edited(DeviceKind kind, const std::string& from, const std::string& to) {
  std::string document = WriteMatrixSettingsDocument(Sample(kind), {});
  const std::size_t at = document.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? document : document.replace(at, from.size(), to);
}

TEST(MatrixSettingsFile, BothKindsWriteReadableValuesAndReadBackWhole) {
  const std::string eight =
      WriteMatrixSettingsDocument(Sample(DeviceKind::Matrix8), {u"Rack 2", "10.0.0.8", 1});
  EXPECT_NE(eight.find("\"kind\": \"matrix8\""), std::string::npos) << eight;
  EXPECT_NE(eight.find("\"routes\": [8,7,6,5,4,3,2,1]"), std::string::npos);
  EXPECT_NE(eight.find("\"backlightTime\": \"60s Dim\""), std::string::npos);
  EXPECT_EQ(eight.find("outputFormat"), std::string::npos) << "eight channels have no format";
  EXPECT_NE(eight.find("\"name\": \"Rack 2\""), std::string::npos);
  const std::string sixteen = WriteMatrixSettingsDocument(Sample(DeviceKind::Matrix16), {});
  EXPECT_NE(sixteen.find("\"outputFormat\": \"720p50\""), std::string::npos) << sixteen;
  for (const DeviceKind kind : {DeviceKind::Matrix8, DeviceKind::Matrix16}) {
    const std::string document = WriteMatrixSettingsDocument(Sample(kind), {});
    const MatrixSettingsRead read = ReadMatrixSettingsDocument(document);
    ASSERT_TRUE(std::holds_alternative<MatrixSettings>(read)) << ErrorOf(document);
    EXPECT_EQ(std::get<MatrixSettings>(read), Sample(kind));
  }
  // A backlight time by its number is taken too; the device section is not read.
  const std::string numbered =
      Edited(DeviceKind::Matrix8, "\"backlightTime\": \"60s Dim\"", "\"backlightTime\": 1");
  EXPECT_EQ(std::get<MatrixSettings>(ReadMatrixSettingsDocument(numbered)),
            Sample(DeviceKind::Matrix8));
  EXPECT_EQ(ErrorOf(Edited(DeviceKind::Matrix8, "\"name\": \"\"", "\"name\": 5")), "no error");
}

TEST(MatrixSettingsFile, EveryProblemNamesItsField) {
  const auto M8 = DeviceKind::Matrix8;
  const auto M16 = DeviceKind::Matrix16;
  const std::vector<std::pair<std::string, std::string>> bad{
      {Edited(M8, "\"quintara-matrix-settings\"", "\"quintara-multiviewer-settings\""),
       "format: expected \"quintara-matrix-settings\", found string "
       "\"quintara-multiviewer-settings\""},
      {Edited(M8, "\"version\": 1", "\"version\": 2"),
       "version: version 2 is not one this program reads; it reads version 1"},
      {Edited(M8, "\"matrix8\"", "\"multiviewer\""),
       "kind: expected \"matrix8\" or \"matrix16\", found string \"multiviewer\""},
      {Edited(M8, "\"kind\": \"matrix8\",", ""),
       "kind: expected \"matrix8\" or \"matrix16\", missing"},
      {Edited(M8, "[8,7,6,5,4,3,2,1]", "[8,7,6,5,4,3,2,1,1]"),
       "settings.routes: expected a list of 8 inputs, found 9"},
      {Edited(M8, "[8,7,6,5,4,3,2,1]", "[8,7,6,9,4,3,2,1]"),
       "settings.routes[3]: 9 is out of range (1-8)"},
      {Edited(M16, "[16,", "[\"16\","),
       "settings.routes[0]: expected a whole number (1-16), found string \"16\""},
      {Edited(M8, "\"60s Dim\"", "\"60s dim\""),
       "settings.backlightTime: \"60s dim\" is not a backlight time (15s Dim, 60s Dim, 15s Off, "
       "60s Off, Always On)"},
      {Edited(M8, "\"60s Dim\"", "5"), "settings.backlightTime: 5 is out of range (0-4)"},
      {Edited(M8, "\"brightness\": 35", "\"brightness\": 101"),
       "settings.brightness: 101 is out of range (0-100)"},
      {Edited(M8, ",\n    \"brightness\": 35", ""), "settings.brightness: missing"},
      {Edited(M16, "\"720p50\"", "\"4K\""),
       "settings.outputFormat: \"4K\" is not one of the output formats (1080p60, 1080p59.94, "
       "1080p50, 1080p30, 1080p29.97, 1080p25, 1080p24, 1080p23.98, 1080i60, 1080i59.94, "
       "1080i50, 720p60, 720p59.94, 720p50, 720p30, 720p29.97, 720p25, 720p24, 625i50, 525i60, "
       "525i59.94)"},
      {Edited(M16, "\"720p50\"", "6"),
       "settings.outputFormat: expected an output format such as \"1080p60\", found number 6"},
      {Edited(M16, ",\n    \"outputFormat\": \"720p50\"", ""), "settings.outputFormat: missing"},
      {Edited(M8, "\"brightness\": 35", "\"brightness\": 35, \"outputFormat\": \"1080p60\""),
       "settings.outputFormat: a matrix8 has no output format"},
      {Edited(M8, "\"brightness\": 35", "\"brightness\": 35, \"lock\": true"),
       "settings.lock: not a setting of the matrix switcher"},
      {Edited(M8, "\"brightness\": 35", "\"brightness\": 35, \"brightness\": 36"),
       "settings.brightness: appears twice; a settings file names each field once"},
      {"[1]", "the file is not a settings document (a JSON object)"},
  };
  for (const auto& [document, problem] : bad) {
    EXPECT_EQ(ErrorOf(document), problem);
  }
  EXPECT_EQ(std::get<SettingsFileError>(ReadMatrixSettingsFile("/dev/zero")).Text(),
            "cannot read /dev/zero: not a regular file");
}

TEST(MatrixSettingsFile, ExportRefusesWhatItsImportWouldRefuse) {
  const auto problem = [](const std::function<void(MatrixSettings&)>& change) -> std::string {
    MatrixSettings settings = Sample(DeviceKind::Matrix16);
    change(settings);
    const auto document = ExportMatrixDocument(settings, {});
    const auto* error = std::get_if<SettingsFileError>(&document);
    return error != nullptr ? error->Text() : std::string("exported");
  };
  EXPECT_EQ(problem([](MatrixSettings&) {}), "exported");
  EXPECT_EQ(problem([](MatrixSettings& s) { s.routes[4] = 0; }),
            "settings.routes[4]: 0 is out of range (1-16)");
  EXPECT_EQ(problem([](MatrixSettings& s) { s.backlightTime = 7; }),
            "settings.backlightTime: 7 is out of range (0-4)");
  EXPECT_EQ(problem([](MatrixSettings& s) { s.brightness = 200; }),
            "settings.brightness: 200 is out of range (0-100)");
  EXPECT_EQ(problem([](MatrixSettings& s) { s.outputFormat = 31; }),
            "settings.outputFormat: expected an output format such as \"1080p60\", found number 31")
      << "a code the table lacks is not written as 1080p60";
}

TEST(MatrixSettingsFile, AFileGoesOnlyToItsOwnKind) {
  EXPECT_EQ(KindMismatch(DeviceKind::Matrix8, &KindInfo(DeviceKind::Matrix8)), std::nullopt);
  EXPECT_EQ(KindMismatch(DeviceKind::Matrix8, &KindInfo(DeviceKind::Matrix16)),
            "the file is for a matrix8, not a matrix16");
  EXPECT_EQ(KindMismatch(DeviceKind::Matrix16, &KindInfo(DeviceKind::Multiviewer)),
            "the file is for a matrix16, not a multiviewer");
  EXPECT_EQ(KindMismatch(DeviceKind::Matrix16, nullptr),
            "the file is for a matrix16, not a device of no kind this program drives");
}

std::vector<std::string> Planned(const MatrixSettings& device, const MatrixSettings& wanted) {
  std::vector<std::string> steps;
  for (const MatrixSettingsChange& change :
       PlanMatrixSettings(0x01, LinkKind::Lan, device, wanted)) {
    steps.push_back(std::string(change.commandName) + " " + change.value + ": " +
                    HexBytes(change.bytes));
  }
  return steps;
}

TEST(MatrixSettingsPlan, OneRoutingTextPerInputThenTheSettersAsTheirSendersBuildThem) {
  MatrixSettings device = Sample(DeviceKind::Matrix16);
  EXPECT_TRUE(Planned(device, device).empty()) << "a unit that holds the file gets nothing";
  std::iota(device.routes.begin(), device.routes.end(), std::uint8_t{1});
  MatrixSettings wanted = device;
  for (const std::size_t output : {9u, 10u, 16u}) {
    wanted.routes[output - 1] = 12;
  }
  wanted.routes[0] = 3;
  wanted.routes[3] = 3;
  wanted.routes[11] = 12;  // holds 12 already: not sent again
  wanted.backlightTime = 4;
  wanted.brightness = 50;
  wanted.outputFormat = 7;
  // The setters' frames are the worked examples of the switchers' command set.
  EXPECT_EQ(Planned(device, wanted),
            (std::vector<std::string>{
                "RouteToOutputs 3V1,4.: 33 56 31 2C 34 2E",
                "RouteToOutputs 12V9,10,16.: 31 32 56 39 2C 31 30 2C 31 36 2E",
                "SetBacklightTime Always On: A5 6C 15 00 03 01 01 00 00 00 00 00 00 00 00 00 51 04 "
                "80 01 AE",
                "SetBacklightBrightness 50: A5 6C 15 00 03 01 01 00 00 00 00 00 00 00 00 00 52 32 "
                "AF 01 AE",
                "SetMatrixOutputFormat 1080p60: A5 6C 16 00 83 01 01 00 00 00 00 00 00 00 00 00 19 "
                "00 07 CC 01 AE"}));
  EXPECT_EQ(CompareMatrixSettings(wanted, device).size(), 8u);
  EXPECT_EQ(CompareMatrixSettings(wanted, device)[0], (SettingsDifference{"routes[0]", "3", "1"}));
  EXPECT_EQ(CompareMatrixSettings(wanted, device)[7],
            (SettingsDifference{"outputFormat", "1080p60", "720p50"}));
}

}  // namespace
}  // namespace quintara
