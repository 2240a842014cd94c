#include "core/viewer/SettingsFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

#include "core/Version.h"
#include "core/text/TextCodec.h"
#include "core/viewer/LayoutGeometry.h"
#include "core/viewer/ViewerTables.h"

namespace quintara {
namespace {

using Json = nlohmann::ordered_json;

// Thrown while a document is read; becomes its SettingsFileError.
struct Invalid {
  std::string field;
  std::string problem;
};

std::string Shown(const Json& value) {
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string Found(const Json& value) {
  return "found " + std::string(value.type_name()) + " " + Shown(value);
}

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

std::u16string LabelValue(const Json& value, const std::string& at) {
  if (!value.is_string()) {
    throw Invalid{at, "expected a label text, " + Found(value)};
  }
  const std::optional<std::u16string> text = Utf8ToUtf16(value.get<std::string>());
  if (!text) {
    throw Invalid{at, "the label is not UTF-8 text"};
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

void CheckHeader(const Json& document) {
  if (!document.is_object()) {
    throw Invalid{"", "the file is not a settings document (a JSON object)"};
  }
  const auto format = document.find("format");
  if (format == document.end() || *format != kSettingsFormat) {
    throw Invalid{"format", "expected \"" + std::string(kSettingsFormat) + "\"" +
                                (format == document.end() ? ", missing" : ", " + Found(*format))};
  }
  const auto version = document.find("version");
  if (version == document.end() || !version->is_number_integer()) {
    throw Invalid{"version",
                  "expected a version number" +
                      (version == document.end() ? ", missing" : ", " + Found(*version))};
  }
  if (*version != kSettingsVersion) {
    throw Invalid{"version", "version " + Shown(*version) +
                                 " is not one this program reads; it reads version " +
                                 std::to_string(kSettingsVersion)};
  }
}

ViewerSettings ReadSettings(const Json& document) {
  CheckHeader(document);
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

// nlohmann's message without its "[json.exception...] " prefix.
std::string ParseProblem(const nlohmann::json::exception& error) {
  std::string text = error.what();
  if (const std::size_t end = text.find("] "); text.starts_with("[json.") && end != text.npos) {
    text.erase(0, end + 2);
  }
  return "not valid JSON: " + text;
}

// One field a line, two levels deep, each value (a list of sixteen included) on its line: a file
// that reads and compares well.
std::string Layout(const Json& value, int depth) {
  if (!value.is_object() || depth > 1) {
    return Shown(value);
  }
  const std::string indent(static_cast<std::size_t>(2 * (depth + 1)), ' ');
  std::string text = "{";
  const char* separator = "\n";
  for (const auto& [key, entry] : value.items()) {
    text += separator + indent + Shown(Json(key)) + ": " + Layout(entry, depth + 1);
    separator = ",\n";
  }
  return text + "\n" + std::string(indent.size() - 2, ' ') + "}";
}

}  // namespace

std::string WriteSettingsDocument(const ViewerSettings& settings, const ViewerFacts& facts) {
  const Json document{{"format", kSettingsFormat},
                      {"version", kSettingsVersion},
                      {"writtenBy", std::string("Quintara ") + kProjectVersion},
                      {"settings", SettingsJson(settings)},
                      {"device", FactsJson(facts)}};
  return Layout(document, 0) + "\n";
}

SettingsRead ReadSettingsDocument(std::string_view text) {
  try {
    return ReadSettings(Json::parse(text));
  } catch (const nlohmann::json::exception& error) {
    // A syntax error, or a number beyond what a double holds ("1e999").
    return SettingsFileError{"", ParseProblem(error)};
  } catch (const Invalid& invalid) {
    return SettingsFileError{invalid.field, invalid.problem};
  }
}

SettingsRead ReadSettingsFile(const std::filesystem::path& path) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (!error && !std::filesystem::is_regular_file(status)) {
    return SettingsFileError{"", "cannot read " + path.string() + ": not a regular file"};
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    return SettingsFileError{"", "cannot read " + path.string() + ": " + std::strerror(errno)};
  }
  // Read no further than a settings file can reach, should the file grow meanwhile.
  std::string text(kSettingsFileLimit + 1, '\0');
  file.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (file.bad()) {
    return SettingsFileError{"", "cannot read " + path.string()};
  }
  text.resize(static_cast<std::size_t>(file.gcount()));
  if (text.size() > kSettingsFileLimit) {
    return SettingsFileError{"", path.string() + " is larger than a settings file can be (" +
                                     std::to_string(kSettingsFileLimit / 1024) + " KiB)"};
  }
  return ReadSettingsDocument(text);
}

std::optional<std::string> WriteSettingsFile(const std::filesystem::path& path,
                                             std::string_view document) {
  std::filesystem::path partial = path;
  partial += ".partial";
  {
    std::ofstream file(partial, std::ios::binary | std::ios::trunc);
    if (!file) {
      return "cannot write " + partial.string() + ": " + std::strerror(errno);
    }
    file.write(document.data(), static_cast<std::streamsize>(document.size()));
    file.flush();
    if (!file) {
      std::error_code ignored;
      std::filesystem::remove(partial, ignored);
      return "cannot write " + path.string();
    }
  }
  std::error_code error;
  std::filesystem::rename(partial, path, error);
  if (error) {
    std::filesystem::remove(partial, error);
    return "cannot write " + path.string() + ": " + error.message();
  }
  return std::nullopt;
}

}  // namespace quintara
