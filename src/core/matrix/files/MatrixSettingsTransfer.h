#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/SettingsReport.h"
#include "core/link/ControlFrame.h"
#include "core/link/Link.h"
#include "core/matrix/MatrixCommands.h"
#include "core/matrix/files/MatrixSettingsFile.h"

namespace quintara {

class DeviceSession;

// Saving a matrix switcher's settings and applying them to a unit. The functions that take
// MatrixSettingsQueries, and DeliverMatrixChanges, are wire parts, for an exchange's worker:
// they touch nothing of the session but its link, and hand back what they read. The others run
// on the owner's thread; those without queries run their exchanges there too (the command line).

// What a locked switcher leaves its operator with, from the window and the command line alike.
inline constexpr std::string_view kMatrixSettingsLockedText =
    "The matrix switcher is locked: none of the settings was applied.\n"
    "Unlock it, then load the file again.";

// The status and backlight queries a switcher's settings take, made ready on the owner's
// thread; none on a serial line whose port is closed.
struct MatrixSettingsQueries {
  std::optional<MatrixQuery> status;
  std::optional<MatrixQuery> backlight;
};
struct MatrixSettingsReplies {
  MatrixReply status;
  MatrixReply backlight;
};

MatrixSettingsQueries PrepareMatrixRead(DeviceSession& session);
MatrixSettingsReplies FetchMatrixSettings(DeviceSession& session,
                                          const MatrixSettingsQueries& queries);
// The mirror takes what the replies tell (the status row, lock, name, backlight); the settings,
// or nothing when either query went unanswered.
std::optional<MatrixSettings> ApplyMatrixReplies(DeviceSession& session,
                                                 const MatrixSettingsReplies& replies);
// Both queries, and their replies applied.
std::optional<MatrixSettings> ReadMatrixSettings(DeviceSession& session);
// What the last status told of the unit beyond its settings.
MatrixFacts MatrixDeviceFacts(const DeviceSession& session);

// One command the settings need: the field it changes, its name, the value it sets (a route:
// its routing text) and the bytes that go out.
struct MatrixSettingsChange {
  std::string field;
  std::string_view commandName;
  std::string value;
  std::vector<std::uint8_t> bytes;
  // A route: the input and the outputs it goes to (no input for the setters).
  std::uint8_t input = 0;
  MatrixOutputs outputs{};

  bool Routing() const { return input != 0; }
};

// The commands that take a switcher from the settings it holds to the wanted ones (both of one
// kind), only for what differs: one routing text per input, the inputs in ascending order, then
// the backlight time, the brightness and the output format. Frames carry this DeviceAddress
// and link kind.
std::vector<MatrixSettingsChange> PlanMatrixSettings(std::uint8_t deviceAddress, LinkKind link,
                                                     const MatrixSettings& device,
                                                     const MatrixSettings& wanted);

// Sends the changes in order, each as the command it is sent as alone; stops at the first that
// cannot go. How many went.
std::size_t DeliverMatrixChanges(DeviceSession& session,
                                 std::span<const MatrixSettingsChange> changes);
// The mirror's route tables take the routes of the first `sent` changes, as routing does.
void NoteMatrixRoutesSent(DeviceSession& session, std::span<const MatrixSettingsChange> changes,
                          std::size_t sent);

// DeliverMatrixChanges and NoteMatrixRoutesSent in one, on the owner's thread; nothing goes out
// while the switcher is locked (as its status said, or as this controller holds it).
std::size_t SendMatrixChanges(DeviceSession& session,
                              std::span<const MatrixSettingsChange> changes);

// Where the switcher differs from the wanted settings ("routes[3]", entries counted from 0).
std::vector<SettingsDifference> CompareMatrixSettings(const MatrixSettings& wanted,
                                                      const MatrixSettings& device);
// Reads the switcher again and compares; nothing when it did not answer.
std::optional<std::vector<SettingsDifference>> VerifyMatrixSettings(DeviceSession& session,
                                                                    const MatrixSettings& wanted);
// VerifyMatrixSettings once its replies are in.
std::optional<std::vector<SettingsDifference>> ApplyMatrixVerification(
    DeviceSession& session, const MatrixSettingsReplies& replies, const MatrixSettings& wanted);

}  // namespace quintara
