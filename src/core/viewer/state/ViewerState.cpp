#include "core/viewer/state/ViewerState.h"

#include <cstdio>

namespace quintara {

void ViewerState::SetLabelDefaults() {
  for (std::size_t i = 0; i < kInputCount; ++i) {
    char label[8];
    std::snprintf(label, sizeof label, "Umd_%02d", static_cast<int>(i + 1));
    UmdText[i] = std::u16string(label, label + 6);
    WindowFormatText[i] = u"1080p30";
  }
}

}  // namespace quintara
