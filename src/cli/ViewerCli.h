#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "cli/CommandContext.h"
#include "cli/Json.h"

namespace quintara::cli {

// Checks an "mv" command's arguments before anything is sent; throws UsageError.
void CheckViewerCommand(const std::vector<std::string>& arguments);

// Runs "mv ..." against the device the session connects to.
int RunViewerCommand(CommandContext& session, const NameFieldRecorder& names,
                     const std::vector<std::string>& arguments);

std::string ViewerUsage();

// The state as "mv state --json" prints it, from the mirror as it stands.
Json ViewerStateDocument(const DeviceSession& device, const std::u16string& shownName);
// One report as "mv watch --json" prints it.
Json ReportDocument(std::span<const std::uint8_t> report, bool applied);

}  // namespace quintara::cli
