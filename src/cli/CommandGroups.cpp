#include "cli/CommandGroups.h"

#include <algorithm>
#include <array>

#include "cli/MatrixCli.h"
#include "cli/ViewerCli.h"
#include "core/session/DeviceKinds.h"

namespace quintara::cli {
namespace {

constexpr std::array<CommandGroup, 2> kCommandGroups{{
    {"mv", "multiviewer", ViewerUsage, CheckViewerCommand, RunViewerCommand},
    {"matrix", "matrix switcher", MatrixUsage, CheckMatrixCommand, RunMatrixCommand},
}};

// Every kind the process drives has its group here.
static_assert(std::ranges::all_of(kDeviceKinds, [](const DeviceKindInfo& kind) {
  return std::ranges::any_of(kCommandGroups, [&kind](const CommandGroup& group) {
    return group.word == kind.commandWord;
  });
}));

}  // namespace

const CommandGroup* FindCommandGroup(std::string_view word) {
  const auto group = std::ranges::find(kCommandGroups, word, &CommandGroup::word);
  return group == kCommandGroups.end() ? nullptr : &*group;
}

}  // namespace quintara::cli
