#pragma once

#include <string_view>

namespace quintara {

inline constexpr std::string_view kErrorCaption = "Err";
inline constexpr std::string_view kWarningCaption = "Warning";
inline constexpr std::string_view kInfoCaption = "Quintara";

// The operator-facing message boxes. The desktop program shows real boxes, the command line prints
// to stderr, tests record what was shown.
class Prompter {
 public:
  virtual ~Prompter() = default;
  // Owner-less box captioned "Err" with an OK button; the operation is then abandoned.
  virtual void ShowError(std::string_view message) = 0;
  // Box captioned "Warning" with OK and Cancel; true when the operator chose OK.
  virtual bool Confirm(std::string_view message) = 0;
  // Box captioned "Quintara" with an OK button: an outcome worth telling that is no error.
  virtual void ShowInfo(std::string_view message) = 0;
};

// POSIX sockets need no library start-up; kept so the start-up sequence reads like the device
// protocol's and a platform that needs one has its place.
bool StartSocketLibrary(Prompter& prompter);

}  // namespace quintara
