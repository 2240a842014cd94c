#pragma once

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <variant>

#include "core/files/SettingsFileIo.h"

// What every settings document shares, whatever device it is for: how it is parsed (no key
// twice, no deep nesting), how a bad value is quoted back, its header, and its layout on disk.
// For the readers and writers of the documents in core only.
namespace quintara::files {

using Json = nlohmann::ordered_json;

// Thrown while a document is read; becomes its SettingsFileError.
struct Invalid {
  std::string field;
  std::string problem;
};

// A bad value as a message quotes it: a short excerpt, a nested value only by its kind.
std::string Shown(const Json& value);
// "found <type> <excerpt>", for a value of the wrong kind.
std::string Found(const Json& value);

// The document parsed; throws Invalid for a key said twice or nesting deeper than any
// settings file goes, and nlohmann's exceptions for what is not JSON.
Json Parse(std::string_view text);
// nlohmann's message made the operator's: "not valid JSON: parse error at ...".
std::string ParseProblem(const nlohmann::json::exception& error);

// Checks that the document is an object of this format and version; throws Invalid.
void CheckHeader(const Json& document, std::string_view format, int version);

// The document as a file holds it: one field a line, two levels deep, each value (a list of
// sixteen included) on its line, so that it reads and compares well.
std::string LaidOut(const Json& document);

// Parses the text and reads it with read(document), which throws Invalid at the first problem;
// what read returned, or the problem.
template <typename Value, typename Read>
std::variant<Value, SettingsFileError> ReadChecked(std::string_view text, Read read) {
  try {
    return read(Parse(text));
  } catch (const nlohmann::json::exception& error) {
    // A syntax error, or a number beyond what a double holds ("1e999").
    return SettingsFileError{"", ParseProblem(error)};
  } catch (const Invalid& invalid) {
    return SettingsFileError{invalid.field, invalid.problem};
  }
}

// The file at path, read within the limit and checked by readDocument.
template <typename Value>
std::variant<Value, SettingsFileError> ReadFileChecked(
    const std::filesystem::path& path,
    std::variant<Value, SettingsFileError> (*readDocument)(std::string_view)) {
  const std::variant<std::string, SettingsFileError> text = ReadSettingsText(path);
  if (const auto* error = std::get_if<SettingsFileError>(&text)) {
    return *error;
  }
  return readDocument(std::get<std::string>(text));
}

// A document just written, once it reads back as an import would take it; else what the reader
// refuses, so no file is written that cannot be applied again.
template <typename Value>
std::variant<std::string, SettingsFileError> ReadableExport(
    std::string document,
    std::variant<Value, SettingsFileError> (*readDocument)(std::string_view)) {
  const std::variant<Value, SettingsFileError> read = readDocument(document);
  if (const auto* error = std::get_if<SettingsFileError>(&read)) {
    return *error;
  }
  return document;
}

}  // namespace quintara::files
