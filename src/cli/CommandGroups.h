#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/CommandContext.h"

namespace quintara::cli {

// A group of commands for one family of devices ("mv ...", "matrix ..."): what it is called,
// what it drives (the device kinds whose command word it is), its help, the check of its
// arguments before anything is sent, and its run against the device the session connects to.
struct CommandGroup {
  std::string_view word;
  std::string_view deviceNoun;  // "the device is not a ..." when another kind answers
  std::string (*usage)();
  void (*check)(const std::vector<std::string>& arguments);
  int (*run)(CommandContext& session, const NameFieldRecorder& names,
             const std::vector<std::string>& arguments);
};

// The group a command line's first word names; null for any other word.
const CommandGroup* FindCommandGroup(std::string_view word);

}  // namespace quintara::cli
