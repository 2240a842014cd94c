#include "core/viewer/files/SettingsFile.h"

#include <algorithm>

#include "core/Version.h"
#include "core/files/SettingsDocument.h"
#include "core/text/TextCodec.h"
#include "core/viewer/state/LayoutGeometry.h"
#include "core/viewer/state/ViewerTables.h"

namespace quintara {
namespace {

using files::Found;
using files::Invalid;
using files::Json;
using files::Shown;

Json ValueOf(const SettingField& field, std::uint8_t value) {
  switch (field.kind) {
    case SettingKind::Flag:
      return value != 0;
    case SettingKind::OutputFormat:
      if (const auto item = OutputFormatItem(value)) {
        return std::string(kOutputFormats[*item].text);
      }
      return value;
    case SettingKind::TextColour:
    case SettingKind::BackColour:
      if (value < kPalette.size()) {
        return std::string(kPalette[value].name);
      }
      return value;
    default:
      return value;
  }
}

Json SettingsJson(const ViewerSettings& settings) {
  Json json = Json::object();
  for (const SettingField& field : SettingFields()) {
    if (field.one != nullptr) {
      json[field.name] = ValueOf(field, settings.*field.one);
      continue;
    }
    Json list = Json::array();
    for (std::size_t i = 0; i < 16; ++i) {
      list.push_back(field.labels != nullptr ? Json(Utf16ToUtf8((settings.*field.labels)[i]))
                                             : ValueOf(field, (settings.*field.sixteen)[i]));
    }
    json[field.name] = std::move(list);
  }
  return json;
}

Json FactsJson(const ViewerFacts& facts) {
  Json present = Json::array();
  Json codes = Json::array();
  Json texts = Json::array();
  for (std::size_t w = 0; w < kWindowCount; ++w) {
    present.push_back(facts.WindowSignal[w].present != 0);
    codes.push_back(facts.WindowSignal[w].formatCode);
    texts.push_back(Utf16ToUtf8(facts.WindowFormatText[w]));
  }
  return {{"name", Utf16ToUtf8(facts.name)},
          {"AddressMode", facts.AddressMode == 1 ? "DHCP" : "Static"},
          {"WindowSignalPresent", std::move(present)},
          {"WindowFormatCode", std::move(codes)},
          {"WindowFormatText", std::move(texts)}};
}

std::string Range(const SettingField& field) {
  return "(" + std::to_string(field.low) + "-" + std::to_string(field.high) + ")";
}

int Integer(const Json& value, const std::string& at, const SettingField& field) {
  if (!value.is_number_integer()) {
    throw Invalid{at, "expected a whole number " + Range(field) + ", " + Found(value)};
  }
  const auto number = value.get<long long>();
  if (number < field.low || number > field.high) {
    throw Invalid{at, Shown(value) + " is out of range " + Range(field)};
  }
  return static_cast<int>(number);
}

std::uint8_t ColourValue(const Json& value, const std::string& at, const SettingField& field) {
  if (value.is_string()) {
    const auto name = value.get<std::string>();
    for (std::size_t i = 0; i < kPalette.size(); ++i) {
      if (kPalette[i].name == name) {
        return static_cast<std::uint8_t>(i);
      }
    }
    throw Invalid{at, "\"" + name +
                          "\" is not a palette colour (Black, Blue, Red, ... Trans, "
                          "HalfTrans)"};
  }
  if (!value.is_number_integer()) {
    throw Invalid{at,
                  "expected a palette colour name or number " + Range(field) + ", " + Found(value)};
  }
  return static_cast<std::uint8_t>(Integer(value, at, field));
}

// A name of the System page's list, or the device's own code (its field holds 0-15), so a file
// saved from a unit showing a format the list lacks still applies.
std::uint8_t OutputFormatValue(const Json& value, const std::string& at,
                               const SettingField& field) {
  if (value.is_number_integer()) {
    return static_cast<std::uint8_t>(Integer(value, at, field));
  }
  if (!value.is_string()) {
    throw Invalid{at, "expected an output format such as \"1080p60\", " + Found(value)};
  }
  for (const OutputFormatEntry& entry : kOutputFormats) {
    if (entry.text == value.get<std::string>()) {
      return entry.code;
    }
  }
  throw Invalid{at, Shown(value) +
                        " is not one of the output formats (1080p60, 1080p50, "
                        "1080i60, 1080i50, 1080p30, 1080p25, 1080p24, 720p60, 720p50)"};
}

std::uint8_t ByteValue(const Json& value, const std::string& at, const SettingField& field) {
  switch (field.kind) {
    case SettingKind::Flag:
      if (!value.is_boolean()) {
        throw Invalid{at, "expected true or false, " + Found(value)};
      }
      return value.get<bool>() ? 1 : 0;
    case SettingKind::Layout: {
      if (!value.is_number_integer()) {
        throw Invalid{at, "expected a layout code, " + Found(value)};
      }
      const auto code = value.get<long long>();
      if (code < 0 || code > 255 || !IsKnownLayout(static_cast<std::uint8_t>(code))) {
        throw Invalid{at, Shown(value) + " is not a layout of the multiviewer"};
      }
      return static_cast<std::uint8_t>(code);
    }
    case SettingKind::OutputFormat:
      return OutputFormatValue(value, at, field);
    case SettingKind::TextColour:
    case SettingKind::BackColour:
      return ColourValue(value, at, field);
    default:
      return static_cast<std::uint8_t>(Integer(value, at, field));
  }
}

std::string CodePoint(char16_t c) {
  static constexpr std::string_view kHex = "0123456789ABCDEF";
  std::string text = "U+";
  for (int shift = 12; shift >= 0; shift -= 4) {
    text += kHex[(c >> shift) & 0xF];
  }
  return text;
}

std::u16string LabelValue(const Json& value, const std::string& at) {
  if (!value.is_string()) {
    throw Invalid{at, "expected a label text, " + Found(value)};
  }
  const std::optional<std::u16string> text = Utf8ToUtf16(value.get<std::string>());
  if (!text) {
    throw Invalid{at, "the label is not UTF-8 text"};
  }
  const auto control =
      std::ranges::find_if(*text, [](char16_t c) { return c < 0x20 || c == 0x7F; });
  if (control != text->end()) {
    throw Invalid{at, "the label holds a control character (" + CodePoint(*control) +
                          "), which no multiviewer shows"};
  }
  if (text->size() > kUmdLabelRoom) {
    throw Invalid{at, "a label holds at most " + std::to_string(kUmdLabelRoom) +
                          " characters; this one has " + std::to_string(text->size())};
  }
  return *text;
}

void ReadField(const Json& json, const SettingField& field, ViewerSettings& settings) {
  const std::string at = "settings." + std::string(field.name);
  const auto found = json.find(field.name);
  if (found == json.end()) {
    throw Invalid{at, "missing"};
  }
  if (field.one != nullptr) {
    settings.*field.one = ByteValue(*found, at, field);
    return;
  }
  if (!found->is_array() || found->size() != 16) {
    throw Invalid{
        at, "expected a list of 16 entries, " +
                (found->is_array() ? "found " + std::to_string(found->size()) : Found(*found))};
  }
  for (std::size_t i = 0; i < 16; ++i) {
    const std::string entry = at + "[" + std::to_string(i) + "]";
    if (field.labels != nullptr) {
      (settings.*field.labels)[i] = LabelValue((*found)[i], entry);
    } else {
      (settings.*field.sixteen)[i] = ByteValue((*found)[i], entry, field);
    }
  }
}

ViewerSettings ReadSettings(const Json& document) {
  files::CheckHeader(document, kSettingsFormat, kSettingsVersion);
  const auto json = document.find("settings");
  if (json == document.end() || !json->is_object()) {
    throw Invalid{"settings",
                  json == document.end() ? "missing" : "expected an object, " + Found(*json)};
  }
  for (const auto& [key, value] : json->items()) {
    if (std::ranges::find(SettingFields(), key, &SettingField::name) == SettingFields().end()) {
      throw Invalid{"settings." + key, "not a setting of the multiviewer"};
    }
  }
  ViewerSettings settings;
  for (const SettingField& field : SettingFields()) {
    ReadField(*json, field, settings);
  }
  return settings;
}

}  // namespace

std::string WriteSettingsDocument(const ViewerSettings& settings, const ViewerFacts& facts) {
  const Json document{{"format", kSettingsFormat},
                      {"version", kSettingsVersion},
                      {"writtenBy", std::string("Quintara ") + kProjectVersion},
                      {"settings", SettingsJson(settings)},
                      {"device", FactsJson(facts)}};
  return files::LaidOut(document);
}

SettingsRead ReadSettingsDocument(std::string_view text) {
  return files::ReadChecked<ViewerSettings>(text, ReadSettings);
}

SettingsRead ReadSettingsFile(const std::filesystem::path& path) {
  return files::ReadFileChecked<ViewerSettings>(path, ReadSettingsDocument);
}

std::variant<std::string, SettingsFileError> ExportDocument(const ViewerSettings& settings,
                                                            const ViewerFacts& facts) {
  return files::ReadableExport<ViewerSettings>(WriteSettingsDocument(settings, facts),
                                               ReadSettingsDocument);
}

}  // namespace quintara
