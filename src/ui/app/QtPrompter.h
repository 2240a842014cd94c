#pragma once

#include "core/platform/Prompter.h"

namespace quintara::ui {

// The "Err", "Warning" and information boxes: owner-less message boxes. Safe to call from an
// exchange's worker thread: the box is shown by the GUI thread and the caller waits for the answer.
class QtPrompter final : public Prompter {
 public:
  void ShowError(std::string_view message) override;
  bool Confirm(std::string_view message) override;
  void ShowInfo(std::string_view message) override;
};

}  // namespace quintara::ui
