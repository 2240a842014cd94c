#pragma once

#include <nlohmann/json.hpp>
#include <ostream>

namespace quintara::cli {

// A JSON document whose members keep the order they were added in.
using Json = nlohmann::ordered_json;

// The document on one line, flushed, so that a script reading line by line has it at once. Text
// that is not valid UTF-8 is printed with replacement characters rather than refused.
void PrintJson(std::ostream& out, const Json& document);

}  // namespace quintara::cli
