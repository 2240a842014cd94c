#pragma once

#include <string>

namespace quintara::cli {

// A decimal number from low to high, or a UsageError naming what it was for.
int BoundedNumber(const std::string& text, int low, int high, const std::string& what);

}  // namespace quintara::cli
