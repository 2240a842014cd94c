#include "core/viewer/files/SettingsFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <vector>

#include "core/Version.h"
#include "core/platform/FileReplace.h"
#include "core/text/TextCodec.h"
#include "core/viewer/state/LayoutGeometry.h"
#include "core/viewer/state/ViewerTables.h"

namespace quintara {
namespace {

using Json = nlohmann::ordered_json;

// Thrown while a document is read; becomes its SettingsFileError.
struct Invalid {
  std::string field;
  std::string problem;
};

// At most this much of a bad value is quoted back.
constexpr std::size_t kExcerptLength = 40;

// A value of our own document, written out whole.
std::string Dumped(const Json& value) {
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// A bad value as a message quotes it: a scalar, or a list or object of scalars, cut short at a
// character's boundary; a value that nests further only by its kind. Nothing here recurses
// into what the file holds.
std::string Shown(const Json& value) {
  const bool flat = value.is_primitive() || std::ranges::all_of(value, [](const Json& entry) {
                      return entry.is_primitive();
                    });
  std::string text = flat ? Dumped(value) : value.is_array() ? "[...]" : "{...}";
  if (text.size() > kExcerptLength) {
    std::size_t end = kExcerptLength - 3;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
      --end;
    }
    text.replace(end, text.npos, "...");
  }
  return text;
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

// Deeper than any settings file goes (the document, settings, a list, its entry), with room to
// spare; a deeper file is refused while it is read.
constexpr int kDeepestNesting = 16;

// Watches the parser: refuses nesting beyond kDeepestNesting and a key that stands twice in
// one object (JSON lets the last one win silently; a file must say one thing).
class ParseWatch {
 public:
  bool operator()(int depth, nlohmann::json::parse_event_t event, const Json& parsed) {
    using Event = nlohmann::json::parse_event_t;
    if ((event == Event::object_start || event == Event::array_start) && depth >= kDeepestNesting) {
      throw Invalid{"", "the file nests values deeper than a settings file does (" +
                            std::to_string(kDeepestNesting) + " levels)"};
    }
    if (event == Event::object_start) {
      objects_.emplace_back();
    } else if (event == Event::object_end) {
      objects_.pop_back();
    } else if (event == Event::key && !objects_.empty()) {
      Object& object = objects_.back();
      object.key = parsed.get<std::string>();
      if (!object.keys.insert(object.key).second) {
        throw Invalid{Path(), "appears twice; a settings file names each field once"};
      }
    }
    return true;
  }

 private:
  struct Object {
    std::set<std::string> keys;
    std::string key;  // the one being read
  };

  std::string Path() const {
    std::string path;
    for (const Object& object : objects_) {
      path += (path.empty() ? "" : ".") + object.key;
    }
    return path;
  }

  std::vector<Object> objects_;
};

Json Parse(std::string_view text) {
  ParseWatch watch;
  return Json::parse(text, [&watch](int depth, nlohmann::json::parse_event_t event, Json& parsed) {
    return watch(depth, event, parsed);
  });
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
    return Dumped(value);
  }
  const std::string indent(static_cast<std::size_t>(2 * (depth + 1)), ' ');
  std::string text = "{";
  const char* separator = "\n";
  for (const auto& [key, entry] : value.items()) {
    text += separator + indent + Dumped(Json(key)) + ": " + Layout(entry, depth + 1);
    separator = ",\n";
  }
  return text + "\n" + std::string(indent.size() - 2, ' ') + "}";
}

// Why the file at path cannot be written, as the operator reads it; nothing without a reason.
std::optional<std::string> CannotWrite(const std::filesystem::path& path,
                                       const std::optional<std::string>& reason) {
  if (!reason) {
    return std::nullopt;
  }
  return "cannot write " + path.string() + ": " + *reason;
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
    return ReadSettings(Parse(text));
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

std::variant<std::string, SettingsFileError> ExportDocument(const ViewerSettings& settings,
                                                            const ViewerFacts& facts) {
  std::string document = WriteSettingsDocument(settings, facts);
  const SettingsRead read = ReadSettingsDocument(document);
  if (const auto* error = std::get_if<SettingsFileError>(&read)) {
    return *error;
  }
  return document;
}

std::optional<std::string> CheckSettingsFileTarget(const std::filesystem::path& path) {
  return CannotWrite(path, CheckReplaceable(path));
}

std::optional<std::string> WriteSettingsFile(const std::filesystem::path& path,
                                             std::string_view document) {
  return CannotWrite(path, ReplaceFile(path, document));
}

}  // namespace quintara
