#include "core/matrix/files/MatrixSettingsTransfer.h"

#include <algorithm>
#include <array>

#include "core/session/DeviceSession.h"

namespace quintara {
namespace {

constexpr std::string_view kMatrixWord = "matrix";

// The kind of the session's device when it is a matrix switcher.
std::optional<DeviceKind> MatrixKind(const DeviceSession& session) {
  const DeviceKindInfo* kind = session.Kind();
  if (kind == nullptr || kind->commandWord != kMatrixWord) {
    return std::nullopt;
  }
  return kind->kind;
}

std::uint8_t PanelType(DeviceKind kind) {
  return KindInfo(kind).deviceType;
}

std::optional<MatrixStatus> StatusOf(DeviceKind kind, const MatrixReply& reply) {
  return reply ? ParseMatrixStatus(*reply, PanelType(kind)) : std::nullopt;
}

// The settings a status and a backlight reply tell, without the mirror.
std::optional<MatrixSettings> SettingsOf(DeviceKind kind, const std::optional<MatrixStatus>& status,
                                         const MatrixReply& backlight) {
  // Time and brightness are bytes 18 and 19, taken as they come.
  if (!status || !backlight || backlight->size() < 20) {
    return std::nullopt;
  }
  MatrixSettings settings;
  settings.kind = kind;
  std::copy_n(status->statusTable.begin(), settings.Channels(), settings.routes.begin());
  settings.backlightTime = (*backlight)[18];
  settings.brightness = (*backlight)[19];
  settings.outputFormat = status->formatCode;
  return settings;
}

void PlanRoutes(const MatrixSettings& device, const MatrixSettings& wanted,
                std::vector<MatrixSettingsChange>& changes) {
  const std::size_t channels = wanted.Channels();
  MatrixState scratch;  // the texts are built as routing builds them, away from the mirror
  for (std::size_t input = 1; input <= channels; ++input) {
    MatrixOutputs outputs;
    for (std::size_t o = 0; o < channels; ++o) {
      outputs[o] = wanted.routes[o] == input && device.routes[o] != input;
    }
    const auto number = static_cast<std::uint8_t>(input);
    if (const auto text = RouteToOutputsText(scratch, number, outputs, channels)) {
      changes.push_back(
          {"routes", "RouteToOutputs", *text, {text->begin(), text->end()}, number, outputs});
    }
  }
}

}  // namespace

MatrixSettingsQueries PrepareMatrixRead(DeviceSession& session) {
  const MatrixCommands commands(session, session.Entry().DeviceType);
  return {commands.StatusQuery(), commands.BacklightQuery()};
}

MatrixSettingsReplies FetchMatrixSettings(DeviceSession& session,
                                          const MatrixSettingsQueries& queries) {
  MatrixSettingsReplies replies;
  if (queries.status) {
    replies.status = MatrixCommands::Ask(session, *queries.status);
  }
  if (queries.backlight) {
    replies.backlight = MatrixCommands::Ask(session, *queries.backlight);
  }
  return replies;
}

std::optional<MatrixSettings> ApplyMatrixReplies(DeviceSession& session,
                                                 const MatrixSettingsReplies& replies) {
  const std::optional<DeviceKind> kind = MatrixKind(session);
  if (!kind) {
    return std::nullopt;
  }
  MatrixCommands commands(session, PanelType(*kind));
  const bool answered = commands.ApplyStatusReply(replies.status);
  static_cast<void>(commands.ApplyBacklightReply(replies.backlight));
  session.NoteExchange(answered);
  const std::optional<MatrixStatus> status = StatusOf(*kind, replies.status);
  if (status) {
    session.SetNameText(status->name);  // for the file's reader, as the name field shows it
  }
  return SettingsOf(*kind, status, replies.backlight);
}

std::optional<MatrixSettings> ReadMatrixSettings(DeviceSession& session) {
  return ApplyMatrixReplies(session, FetchMatrixSettings(session, PrepareMatrixRead(session)));
}

MatrixFacts MatrixDeviceFacts(const DeviceSession& session) {
  return {session.NameText(), session.Entry().AddressText(), session.AddressMode()};
}

std::vector<MatrixSettingsChange> PlanMatrixSettings(std::uint8_t deviceAddress, LinkKind link,
                                                     const MatrixSettings& device,
                                                     const MatrixSettings& wanted) {
  std::vector<MatrixSettingsChange> changes;
  PlanRoutes(device, wanted, changes);
  if (device.backlightTime != wanted.backlightTime) {
    changes.push_back({"backlightTime", "SetBacklightTime", BacklightTimeText(wanted.backlightTime),
                       BuildMatrixValueFrame(deviceAddress, MatrixCode::SetBacklightTime,
                                             wanted.backlightTime, link)});
  }
  if (device.brightness != wanted.brightness) {
    changes.push_back({"brightness", "SetBacklightBrightness", std::to_string(wanted.brightness),
                       BuildMatrixValueFrame(deviceAddress, MatrixCode::SetBacklightBrightness,
                                             wanted.brightness, link)});
  }
  if (wanted.outputFormat && device.outputFormat != wanted.outputFormat) {
    const std::array<std::uint8_t, 2> payload{0x00, *wanted.outputFormat};
    changes.push_back({"outputFormat", "SetMatrixOutputFormat",
                       OutputFormatText(*wanted.outputFormat),
                       BuildFrame(kSixteenChannelType, deviceAddress, link,
                                  MatrixCode::SetMatrixOutputFormat, payload)});
  }
  return changes;
}

std::size_t DeliverMatrixChanges(DeviceSession& session,
                                 std::span<const MatrixSettingsChange> changes) {
  std::size_t sent = 0;
  for (const MatrixSettingsChange& change : changes) {
    // The setters go out as MatrixCommands sends them: no serial pause, even from a busy port.
    const bool went =
        change.Routing() ? session.SendFrame(change.bytes)
                         : session.SendFrame(change.bytes, SerialPause::None, BusyPort::SendAnyway);
    if (!went) {
      break;
    }
    ++sent;
  }
  return sent;
}

void NoteMatrixRoutesSent(DeviceSession& session, std::span<const MatrixSettingsChange> changes,
                          std::size_t sent) {
  const std::optional<DeviceKind> kind = MatrixKind(session);
  if (!kind) {
    return;
  }
  for (const MatrixSettingsChange& change : changes.first(std::min(sent, changes.size()))) {
    if (change.Routing()) {
      static_cast<void>(RouteToOutputsText(session.Matrix(), change.input, change.outputs,
                                           KindInfo(*kind).channels));
    }
  }
}

std::size_t SendMatrixChanges(DeviceSession& session,
                              std::span<const MatrixSettingsChange> changes) {
  if (session.Locked()) {
    return 0;
  }
  const std::size_t sent = DeliverMatrixChanges(session, changes);
  NoteMatrixRoutesSent(session, changes, sent);
  return sent;
}

std::vector<SettingsDifference> CompareMatrixSettings(const MatrixSettings& wanted,
                                                      const MatrixSettings& device) {
  std::vector<SettingsDifference> differences;
  for (std::size_t o = 0; o < wanted.Channels(); ++o) {
    if (wanted.routes[o] != device.routes[o]) {
      differences.push_back({"routes[" + std::to_string(o) + "]", std::to_string(wanted.routes[o]),
                             std::to_string(device.routes[o])});
    }
  }
  if (wanted.backlightTime != device.backlightTime) {
    differences.push_back({"backlightTime", BacklightTimeText(wanted.backlightTime),
                           BacklightTimeText(device.backlightTime)});
  }
  if (wanted.brightness != device.brightness) {
    differences.push_back(
        {"brightness", std::to_string(wanted.brightness), std::to_string(device.brightness)});
  }
  if (wanted.outputFormat && device.outputFormat != wanted.outputFormat) {
    differences.push_back({"outputFormat", OutputFormatText(*wanted.outputFormat),
                           device.outputFormat ? OutputFormatText(*device.outputFormat) : "none"});
  }
  return differences;
}

std::optional<std::vector<SettingsDifference>> ApplyMatrixVerification(
    DeviceSession& session, const MatrixSettingsReplies& replies, const MatrixSettings& wanted) {
  const std::optional<MatrixSettings> device = ApplyMatrixReplies(session, replies);
  if (!device) {
    return std::nullopt;
  }
  return CompareMatrixSettings(wanted, *device);
}

std::optional<std::vector<SettingsDifference>> VerifyMatrixSettings(DeviceSession& session,
                                                                    const MatrixSettings& wanted) {
  return ApplyMatrixVerification(session, FetchMatrixSettings(session, PrepareMatrixRead(session)),
                                 wanted);
}

}  // namespace quintara
