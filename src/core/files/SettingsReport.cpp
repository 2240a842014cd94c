#include "core/files/SettingsReport.h"

namespace quintara {
namespace {

// A box stays readable: the first dozen fields are named, the rest counted.
constexpr std::size_t kListedFields = 12;

std::string Counted(std::size_t count, std::string_view one, std::string_view many) {
  return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

template <typename Line>
std::string Listing(const std::vector<SettingsDifference>& differences, Line line) {
  // "... and 1 more" would take the line that one needs.
  const std::size_t named =
      differences.size() <= kListedFields + 1 ? differences.size() : kListedFields;
  std::string text;
  for (std::size_t i = 0; i < named; ++i) {
    text += "\n" + line(differences[i]);
  }
  if (named < differences.size()) {
    text += "\n... and " + std::to_string(differences.size() - named) + " more";
  }
  return text;
}

// How many of the setters went out, as the start of a report of what went wrong.
std::string SentText(std::size_t planned, std::size_t sent) {
  if (sent == planned) {
    return "The settings were sent, but ";
  }
  if (sent == 0) {
    return "The settings could not be sent, and ";
  }
  return "Only " + std::to_string(sent) + " of " + Counted(planned, "command", "commands") +
         " could be sent, and ";
}

}  // namespace

std::string ApplyQuestion(std::string_view device,
                          const std::vector<SettingsDifference>& changing) {
  const std::string name(device);
  return "Apply the settings file to the " + name + "?\n\n" +
         Counted(changing.size(), "setting will change", "settings will change") + " (" + name +
         " -> file):" + Listing(changing, [](const SettingsDifference& d) {
           return d.field + ": " + d.found + " -> " + d.wanted;
         });
}

std::optional<std::string> LoadProblem(
    std::string_view device, std::size_t planned, std::size_t sent,
    const std::optional<std::vector<SettingsDifference>>& found) {
  const std::string name(device);
  const std::string text = SentText(planned, sent);
  if (!found) {
    return text + "the " + name +
           " did not answer the read-back: the settings could not be verified.";
  }
  if (!found->empty()) {
    return text + "the " + name + " differs from the file in " +
           Counted(found->size(), "setting", "settings") + ":" +
           Listing(*found, [&name](const SettingsDifference& d) {
             return d.field + ": file " + d.wanted + ", " + name + " " + d.found;
           });
  }
  if (sent < planned) {
    return text + "yet the " + name + " holds every setting of the file.";
  }
  return std::nullopt;
}

}  // namespace quintara
