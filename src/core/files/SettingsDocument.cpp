#include "core/files/SettingsDocument.h"

#include <algorithm>
#include <set>
#include <vector>

namespace quintara::files {
namespace {

// At most this much of a bad value is quoted back.
constexpr std::size_t kExcerptLength = 40;

// Deeper than any settings file goes (the document, settings, a list, its entry), with room to
// spare; a deeper file is refused while it is read.
constexpr int kDeepestNesting = 16;

// A value of our own document, written out whole.
std::string Dumped(const Json& value) {
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

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

}  // namespace

// A scalar, or a list or object of scalars, cut short at a character's boundary; a value that
// nests further only by its kind. Nothing here recurses into what the file holds.
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

void CheckHeader(const Json& document, std::string_view format, int version) {
  if (!document.is_object()) {
    throw Invalid{"", "the file is not a settings document (a JSON object)"};
  }
  const auto named = document.find("format");
  if (named == document.end() || *named != format) {
    throw Invalid{"format", "expected \"" + std::string(format) + "\"" +
                                (named == document.end() ? ", missing" : ", " + Found(*named))};
  }
  const auto number = document.find("version");
  if (number == document.end() || !number->is_number_integer()) {
    throw Invalid{"version", "expected a version number" +
                                 (number == document.end() ? ", missing" : ", " + Found(*number))};
  }
  if (*number != version) {
    throw Invalid{"version", "version " + Shown(*number) +
                                 " is not one this program reads; it reads version " +
                                 std::to_string(version)};
  }
}

std::string LaidOut(const Json& document) {
  return Layout(document, 0) + "\n";
}

}  // namespace quintara::files
