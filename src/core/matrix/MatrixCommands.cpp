#include "core/matrix/MatrixCommands.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "core/link/DeviceDirectory.h"
#include "core/matrix/MatrixState.h"
#include "core/session/DeviceSession.h"
#include "core/text/TextCodec.h"

namespace quintara {
namespace {

constexpr int kQueryAttempts = 20;
constexpr std::size_t kLanReplyBuffer = 256;
constexpr std::uint8_t kQueryAddress = 0x01;
constexpr std::size_t kStatusInputs = 18;
constexpr std::size_t kMaxNameBytes = 32;
constexpr int kEightChannelPollMs = 50;
constexpr int kSixteenChannelPollMs = 100;

// Offsets of the fixed fields of a status reply, by panel type.
struct StatusLayout {
  std::size_t lock;
  std::size_t addressMode;
  std::optional<std::size_t> format;
  std::size_t nameLength;
};

StatusLayout LayoutFor(std::uint8_t panelType) {
  if (panelType == kSixteenChannelType) {
    return {34, 35, 36, 37};
  }
  return {26, 27, std::nullopt, 28};
}

// Each look on the network takes one datagram and prints its length.
Verdict JudgeDatagram(DeviceSession& session, const std::optional<Arrival>& arrival,
                      std::uint8_t code, std::vector<std::uint8_t>& answer) {
  const std::size_t size = arrival ? arrival->bytes.size() : 0;
  char line[32];
  std::snprintf(line, sizeof line, "readLen = %d \n",
                arrival ? static_cast<int>(size & 0xFF) : 255);
  session.Diagnostic(line);
  if (!arrival || size <= frame::kCommandCodeOffset ||
      arrival->bytes[frame::kCommandCodeOffset] != code) {
    return Verdict::KeepWaitingAfterGap;
  }
  answer.assign(arrival->bytes.begin(), arrival->bytes.end());
  return Verdict::Accepted;
}

Verdict JudgeSerialReply(const std::optional<Arrival>& arrival, std::uint8_t code,
                         std::size_t replySize, std::vector<std::uint8_t>& answer) {
  const std::span<const std::uint8_t> bytes =
      arrival ? arrival->bytes : std::span<const std::uint8_t>();
  if (bytes.empty()) {
    return Verdict::KeepWaitingAfterGap;
  }
  // Once read, the reply is the one answer: the whole of it with the code, or none.
  if (bytes.size() < replySize || bytes[frame::kCommandCodeOffset] != code) {
    return Verdict::GaveUp;
  }
  answer.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(replySize));
  return Verdict::Accepted;
}

}  // namespace

std::optional<std::string> RouteToOutputsText(MatrixState& state, std::uint8_t input,
                                              const MatrixOutputs& targets, std::size_t outputs) {
  if (input == 0) {
    return std::nullopt;
  }
  std::string text = std::to_string(input) + "V";
  bool any = false;
  for (std::size_t o = 1; o <= outputs; ++o) {
    if (targets[o - 1]) {
      state.routeTable[o - 1] = input;
      state.statusTable[o - 1] = input;
      text += std::to_string(o) + ",";
      any = true;
    }
  }
  if (!any) {
    return std::nullopt;
  }
  text.back() = '.';
  return text;
}

std::string RouteToAllText(MatrixState& state, std::uint8_t input, std::size_t outputs) {
  std::fill_n(state.routeTable.begin(), outputs, input);
  std::fill_n(state.statusTable.begin(), outputs, input);
  return std::to_string(input) + "All.";
}

std::string RouteOneToOneText(MatrixState& state, std::size_t outputs) {
  for (std::size_t o = 1; o <= outputs; ++o) {
    state.routeTable[o - 1] = static_cast<std::uint8_t>(o);
    state.statusTable[o - 1] = static_cast<std::uint8_t>(o);
  }
  return "All#.";
}

std::optional<MatrixStatus> ParseMatrixStatus(std::span<const std::uint8_t> reply,
                                              std::uint8_t panelType) {
  const StatusLayout layout = LayoutFor(panelType);
  // Only bytes that arrived are read: a reply cut before its fixed fields tells nothing.
  if (reply.size() <= std::max(layout.nameLength, kStatusInputs + 15)) {
    return std::nullopt;
  }
  MatrixStatus status;
  std::copy_n(reply.begin() + kStatusInputs, status.statusTable.size(), status.statusTable.begin());
  status.LockState = reply[layout.lock];
  status.AddressMode = reply[layout.addressMode];
  if (layout.format) {
    status.formatCode = reply[*layout.format];
  }
  const std::size_t length = reply[layout.nameLength];
  if (length >= 1 && length <= kMaxNameBytes) {
    const std::size_t start = layout.nameLength + 1;
    const std::size_t received = std::min(length, reply.size() - start);
    status.name = DecodeUtf16Le(reply.subspan(start, received));
  } else {
    status.name = kCustomName;
  }
  return status;
}

MatrixCommands::MatrixCommands(DeviceSession& session, std::uint8_t panelType)
    : session_(session), panelType_(panelType) {}

int MatrixCommands::SerialPollMs() const {
  return panelType_ == kSixteenChannelType ? kSixteenChannelPollMs : kEightChannelPollMs;
}

CommandResult MatrixCommands::SendText(const std::string& text) {
  const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  return session_.SendFrame(bytes) ? CommandResult::Sent : CommandResult::NotSent;
}

CommandResult MatrixCommands::RouteToOutputs(std::uint8_t input, const MatrixOutputs& targets) {
  if (session_.RefuseWhileLocked()) {
    return CommandResult::RefusedLocked;
  }
  const std::optional<std::string> text =
      RouteToOutputsText(session_.Matrix(), input, targets, Outputs());
  return text ? SendText(*text) : CommandResult::NotSent;
}

CommandResult MatrixCommands::RouteToAll(std::uint8_t input) {
  if (input == 0) {
    return CommandResult::NotSent;  // "0All." is no input at all
  }
  if (session_.RefuseWhileLocked()) {
    return CommandResult::RefusedLocked;
  }
  return SendText(RouteToAllText(session_.Matrix(), input, Outputs()));
}

CommandResult MatrixCommands::RouteOneToOne() {
  if (session_.RefuseWhileLocked()) {
    return CommandResult::RefusedLocked;
  }
  return SendText(RouteOneToOneText(session_.Matrix(), Outputs()));
}

MatrixQuery MatrixCommands::QueryOf(const Frame& request, std::size_t replySize) const {
  const LinkKind kind = session_.CurrentLink();
  const LinkTiming& timing = session_.Timing();
  return {request, replySize, kind, timing.matrixQueryPauseMs,
          kind == LinkKind::Lan ? timing.matrixLanPollMs : SerialPollMs()};
}

std::optional<MatrixQuery> MatrixCommands::StatusQuery() const {
  if (session_.SerialLineClosed()) {
    return std::nullopt;
  }
  const std::size_t replySize =
      panelType_ == kSixteenChannelType ? kSixteenChannelStatusSize : kEightChannelStatusSize;
  return QueryOf(
      BuildFrame(panelType_, kQueryAddress, session_.CurrentLink(), MatrixCode::ReadMatrixStatus),
      replySize);
}

std::optional<MatrixQuery> MatrixCommands::BacklightQuery() const {
  if (session_.SerialLineClosed()) {
    return std::nullopt;
  }
  return QueryOf(BuildFrame(kMatrixValueDeviceType, kQueryAddress, session_.CurrentLink(),
                            MatrixCode::ReadBacklight),
                 kBacklightReplySize);
}

MatrixReply MatrixCommands::Ask(DeviceSession& session, const MatrixQuery& query) {
  const std::uint8_t code = query.request[frame::kCommandCodeOffset];
  std::vector<std::uint8_t> answer;
  Exchange exchange;
  exchange.request = query.request;
  exchange.busyPort = BusyPort::SendAnyway;
  exchange.attempts = kQueryAttempts;
  exchange.pauseAfterSendMs = query.pauseAfterSendMs;
  exchange.gapMs = query.gapMs;
  exchange.readAtLeast = query.replySize;
  exchange.readAtMost = query.replySize;
  exchange.bufferSize = query.kind == LinkKind::Lan ? kLanReplyBuffer : query.replySize;
  exchange.judge = [&](const std::optional<Arrival>& arrival) {
    return query.kind == LinkKind::Lan ? JudgeDatagram(session, arrival, code, answer)
                                       : JudgeSerialReply(arrival, code, query.replySize, answer);
  };
  const ExchangeOutcome outcome = session.RunExchange(exchange);
  session.Diagnostic("read matrix \n");
  if (outcome != ExchangeOutcome::Answered) {
    return std::nullopt;
  }
  return answer;
}

bool MatrixCommands::ReadMatrixStatus() {
  const std::optional<MatrixQuery> query = StatusQuery();
  return query && ApplyStatusReply(Ask(session_, *query));
}

bool MatrixCommands::ApplyStatusReply(const MatrixReply& reply) {
  std::optional<MatrixStatus> status;
  if (reply) {
    status = ParseMatrixStatus(*reply, panelType_);
  }
  if (status) {
    ApplyStatus(*status);
  }
  session_.MatrixViews().Notify([](MatrixView& view) { view.RefreshMatrixStatus(); });
  return status.has_value();
}

void MatrixCommands::ApplyStatus(const MatrixStatus& status) {
  MatrixState& matrix = session_.Matrix();
  matrix.statusTable = status.statusTable;
  session_.SetLockState(status.LockState);
  session_.SetAddressMode(status.AddressMode);
  if (status.formatCode) {
    matrix.outputFormatIndex =
        static_cast<std::uint8_t>(MatrixFormatIndex(*status.formatCode).value_or(0));
  }
  session_.Observer().NameFieldChanged(status.name);
}

bool MatrixCommands::ReadBacklight() {
  const std::optional<MatrixQuery> query = BacklightQuery();
  return query && ApplyBacklightReply(Ask(session_, *query));
}

bool MatrixCommands::ApplyBacklightReply(const MatrixReply& reply) {
  // Time and brightness are bytes 18 and 19; a reply that stops short of them tells nothing.
  if (!reply || reply->size() < 20) {
    return false;
  }
  MatrixState& matrix = session_.Matrix();
  matrix.backlightTime = (*reply)[18];
  matrix.backlightBrightness = (*reply)[19];
  return true;
}

CommandResult MatrixCommands::SendValueFrame(const Frame& frame) {
  // The setters write to the serial line without the usual pause after it.
  return session_.SendFrame(frame, SerialPause::None, BusyPort::SendAnyway)
             ? CommandResult::Sent
             : CommandResult::NotSent;
}

CommandResult MatrixCommands::SetBacklightTime(std::uint8_t time) {
  if (session_.RefuseWhileLocked()) {
    return CommandResult::RefusedLocked;
  }
  session_.Matrix().backlightTime = time;
  const DeviceEntry entry = session_.Entry();
  return SendValueFrame(BuildMatrixValueFrame(entry.DeviceAddress, MatrixCode::SetBacklightTime,
                                              time, session_.CurrentLink()));
}

CommandResult MatrixCommands::SetBacklightBrightness(std::uint8_t brightness) {
  if (session_.RefuseWhileLocked()) {
    return CommandResult::RefusedLocked;
  }
  session_.Matrix().backlightBrightness = brightness;
  const DeviceEntry entry = session_.Entry();
  return SendValueFrame(BuildMatrixValueFrame(
      entry.DeviceAddress, MatrixCode::SetBacklightBrightness, brightness, session_.CurrentLink()));
}

CommandResult MatrixCommands::SetMatrixOutputFormat(std::uint8_t formatIndex) {
  if (formatIndex >= MatrixFormatTable.size()) {
    return CommandResult::NotSent;  // no such row: no code to send
  }
  if (session_.RefuseWhileLocked()) {
    return CommandResult::RefusedLocked;
  }
  session_.Matrix().outputFormatIndex = formatIndex;
  const DeviceEntry entry = session_.Entry();
  const std::array<std::uint8_t, 2> payload{0x00, MatrixFormatTable[formatIndex].code};
  return SendValueFrame(BuildFrame(kSixteenChannelType, entry.DeviceAddress, session_.CurrentLink(),
                                   MatrixCode::SetMatrixOutputFormat, payload));
}

}  // namespace quintara
