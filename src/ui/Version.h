#pragma once

#include "core/Version.h"

namespace quintara::ui {

// The window's version line.
inline constexpr const char* kVersionText = "Ver " QUINTARA_VERSION;

}  // namespace quintara::ui
