#include "core/matrix/files/MatrixSettingsFile.h"

#include <algorithm>

#include "core/Version.h"
#include "core/files/SettingsDocument.h"
#include "core/text/TextCodec.h"

namespace quintara {
namespace {

using files::Found;
using files::Invalid;
using files::Json;
using files::Shown;

constexpr std::string_view kMatrixWord = "matrix";

// The kinds a matrix settings file is for.
const DeviceKindInfo* MatrixKindNamed(std::string_view name) {
  const auto found = std::ranges::find_if(kDeviceKinds, [name](const DeviceKindInfo& kind) {
    return kind.commandWord == kMatrixWord && kind.name == name;
  });
  return found == kDeviceKinds.end() ? nullptr : &*found;
}

std::string MatrixKindList() {
  std::string list;
  for (const DeviceKindInfo& kind : kDeviceKinds) {
    if (kind.commandWord == kMatrixWord) {
      list += (list.empty() ? "\"" : " or \"") + std::string(kind.name) + "\"";
    }
  }
  return list;
}

template <std::size_t N>
std::string TextList(const std::array<std::string_view, N>& texts) {
  std::string list;
  for (const std::string_view text : texts) {
    list += (list.empty() ? "" : ", ") + std::string(text);
  }
  return list;
}

std::string FormatList() {
  std::string list;
  for (const MatrixFormat& format : MatrixFormatTable) {
    list += (list.empty() ? "" : ", ") + std::string(format.text);
  }
  return list;
}

Json BacklightTimeJson(std::uint8_t time) {
  if (time < kBacklightTimeTexts.size()) {
    return std::string(kBacklightTimeTexts[time]);
  }
  return time;
}

// A code the table lacks is written as it came, so that reading the document back refuses it.
Json OutputFormatJson(std::uint8_t code) {
  if (const auto row = MatrixFormatIndex(code)) {
    return std::string(MatrixFormatTable[*row].text);
  }
  return code;
}

Json SettingsJson(const MatrixSettings& settings) {
  Json routes = Json::array();
  for (std::size_t o = 0; o < settings.Channels(); ++o) {
    routes.push_back(settings.routes[o]);
  }
  Json json{{"routes", std::move(routes)},
            {"backlightTime", BacklightTimeJson(settings.backlightTime)},
            {"brightness", settings.brightness}};
  if (settings.outputFormat) {
    json["outputFormat"] = OutputFormatJson(*settings.outputFormat);
  }
  return json;
}

Json FactsJson(const MatrixFacts& facts) {
  return {{"name", Utf16ToUtf8(facts.name)},
          {"address", facts.address},
          {"AddressMode", facts.AddressMode == 1 ? "DHCP" : "Static"}};
}

std::uint8_t Number(const Json& value, const std::string& at, int low, int high) {
  const std::string range = "(" + std::to_string(low) + "-" + std::to_string(high) + ")";
  if (!value.is_number_integer()) {
    throw Invalid{at, "expected a whole number " + range + ", " + Found(value)};
  }
  const auto number = value.get<long long>();
  if (number < low || number > high) {
    throw Invalid{at, Shown(value) + " is out of range " + range};
  }
  return static_cast<std::uint8_t>(number);
}

const Json& Field(const Json& settings, std::string_view name) {
  const auto found = settings.find(name);
  if (found == settings.end()) {
    throw Invalid{"settings." + std::string(name), "missing"};
  }
  return *found;
}

void ReadRoutes(const Json& routes, MatrixSettings& settings) {
  const std::string at = "settings.routes";
  const std::size_t channels = settings.Channels();
  if (!routes.is_array() || routes.size() != channels) {
    throw Invalid{
        at, "expected a list of " + std::to_string(channels) + " inputs, " +
                (routes.is_array() ? "found " + std::to_string(routes.size()) : Found(routes))};
  }
  for (std::size_t o = 0; o < channels; ++o) {
    settings.routes[o] =
        Number(routes[o], at + "[" + std::to_string(o) + "]", 1, static_cast<int>(channels));
  }
}

std::uint8_t BacklightTimeValue(const Json& value) {
  const std::string at = "settings.backlightTime";
  const int last = static_cast<int>(kBacklightTimeTexts.size()) - 1;
  if (value.is_number_integer()) {
    return Number(value, at, 0, last);
  }
  if (!value.is_string()) {
    throw Invalid{at, "expected a backlight time such as \"Always On\" or its number (0-" +
                          std::to_string(last) + "), " + Found(value)};
  }
  const auto found = std::ranges::find(kBacklightTimeTexts, value.get<std::string>());
  if (found == kBacklightTimeTexts.end()) {
    throw Invalid{
        at, Shown(value) + " is not a backlight time (" + TextList(kBacklightTimeTexts) + ")"};
  }
  return static_cast<std::uint8_t>(found - kBacklightTimeTexts.begin());
}

std::uint8_t OutputFormatValue(const Json& value) {
  const std::string at = "settings.outputFormat";
  if (!value.is_string()) {
    throw Invalid{at, "expected an output format such as \"1080p60\", " + Found(value)};
  }
  const auto found =
      std::ranges::find(MatrixFormatTable, value.get<std::string>(), &MatrixFormat::text);
  if (found == MatrixFormatTable.end()) {
    throw Invalid{at, Shown(value) + " is not one of the output formats (" + FormatList() + ")"};
  }
  return found->code;
}

DeviceKind ReadKind(const Json& document) {
  const auto kind = document.find("kind");
  const DeviceKindInfo* info = kind != document.end() && kind->is_string()
                                   ? MatrixKindNamed(kind->get<std::string>())
                                   : nullptr;
  if (info == nullptr) {
    throw Invalid{"kind", "expected " + MatrixKindList() +
                              (kind == document.end() ? ", missing" : ", " + Found(*kind))};
  }
  return info->kind;
}

MatrixSettings ReadSettings(const Json& document) {
  files::CheckHeader(document, kMatrixSettingsFormat, kMatrixSettingsVersion);
  MatrixSettings settings;
  settings.kind = ReadKind(document);
  const bool hasFormat = settings.kind == DeviceKind::Matrix16;
  const auto json = document.find("settings");
  if (json == document.end() || !json->is_object()) {
    throw Invalid{"settings",
                  json == document.end() ? "missing" : "expected an object, " + Found(*json)};
  }
  for (const auto& [key, value] : json->items()) {
    if (key == "outputFormat" && !hasFormat) {
      throw Invalid{"settings." + key,
                    "a " + std::string(KindInfo(settings.kind).name) + " has no output format"};
    }
    if (key != "routes" && key != "backlightTime" && key != "brightness" && key != "outputFormat") {
      throw Invalid{"settings." + key, "not a setting of the matrix switcher"};
    }
  }
  ReadRoutes(Field(*json, "routes"), settings);
  settings.backlightTime = BacklightTimeValue(Field(*json, "backlightTime"));
  settings.brightness =
      Number(Field(*json, "brightness"), "settings.brightness", 0, kMaxBrightness);
  if (hasFormat) {
    settings.outputFormat = OutputFormatValue(Field(*json, "outputFormat"));
  }
  return settings;
}

}  // namespace

std::string WriteMatrixSettingsDocument(const MatrixSettings& settings, const MatrixFacts& facts) {
  const Json document{{"format", kMatrixSettingsFormat},
                      {"version", kMatrixSettingsVersion},
                      {"kind", KindInfo(settings.kind).name},
                      {"writtenBy", std::string("Quintara ") + kProjectVersion},
                      {"settings", SettingsJson(settings)},
                      {"device", FactsJson(facts)}};
  return files::LaidOut(document);
}

MatrixSettingsRead ReadMatrixSettingsDocument(std::string_view text) {
  return files::ReadChecked<MatrixSettings>(text, ReadSettings);
}

MatrixSettingsRead ReadMatrixSettingsFile(const std::filesystem::path& path) {
  return files::ReadFileChecked<MatrixSettings>(path, ReadMatrixSettingsDocument);
}

std::variant<std::string, SettingsFileError> ExportMatrixDocument(const MatrixSettings& settings,
                                                                  const MatrixFacts& facts) {
  return files::ReadableExport<MatrixSettings>(WriteMatrixSettingsDocument(settings, facts),
                                               ReadMatrixSettingsDocument);
}

std::optional<std::string> KindMismatch(DeviceKind file, const DeviceKindInfo* device) {
  if (device != nullptr && device->kind == file) {
    return std::nullopt;
  }
  const std::string deviceName =
      device != nullptr ? std::string(device->name) : "device of no kind this program drives";
  return "the file is for a " + std::string(KindInfo(file).name) + ", not a " + deviceName;
}

std::string BacklightTimeText(std::uint8_t time) {
  return time < kBacklightTimeTexts.size() ? std::string(kBacklightTimeTexts[time])
                                           : std::to_string(time);
}

std::string OutputFormatText(std::uint8_t code) {
  const auto row = MatrixFormatIndex(code);
  return row ? std::string(MatrixFormatTable[*row].text) : "code " + std::to_string(code);
}

}  // namespace quintara
