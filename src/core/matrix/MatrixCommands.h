#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/CommandResult.h"
#include "core/link/ControlFrame.h"
#include "core/link/Link.h"
#include "core/matrix/MatrixState.h"
#include "core/session/DeviceKinds.h"

namespace quintara {

class DeviceSession;

// CommandCodes of the matrix switchers.
namespace MatrixCode {
inline constexpr std::uint8_t ReadMatrixStatus = 0x53;
inline constexpr std::uint8_t ReadBacklight = 0x50;  // with the fixed DeviceType byte 0x03
inline constexpr std::uint8_t SetBacklightTime = 0x51;
inline constexpr std::uint8_t SetBacklightBrightness = 0x52;
inline constexpr std::uint8_t SetMatrixOutputFormat = 0x19;
}  // namespace MatrixCode

inline constexpr std::uint8_t kEightChannelType = KindInfo(DeviceKind::Matrix8).deviceType;
inline constexpr std::uint8_t kSixteenChannelType = KindInfo(DeviceKind::Matrix16).deviceType;
inline constexpr std::size_t kEightChannelStatusSize = 64;
inline constexpr std::size_t kSixteenChannelStatusSize = 73;
inline constexpr std::size_t kBacklightReplySize = 23;

// The routing texts of an input (1-16) to outputs of a switcher with that many; they update
// routeTable and statusTable as they are built. Nothing when none of the outputs is there.
std::optional<std::string> RouteToOutputsText(MatrixState& state, std::uint8_t input,
                                              const MatrixOutputs& targets, std::size_t outputs);
std::string RouteToAllText(MatrixState& state, std::uint8_t input, std::size_t outputs);
std::string RouteOneToOneText(MatrixState& state, std::size_t outputs);

// What a status reply tells; fields beyond the bytes received stay unset.
struct MatrixStatus {
  std::array<std::uint8_t, 16> statusTable{};
  std::uint8_t LockState = 0;
  std::uint8_t AddressMode = 0;
  std::optional<std::uint8_t> formatCode;  // sixteen channels only
  std::u16string name;                     // "Custom Name" when the length is 0 or above 32
};
// Parses a status reply of the panel's type; nothing when it is too short for its fixed fields.
std::optional<MatrixStatus> ParseMatrixStatus(std::span<const std::uint8_t> reply,
                                              std::uint8_t panelType);

// The matrix switcher operations, for the panel of one type (0x82 or 0x83). The setters take the
// values they send, refuse while the device is locked and store what they send.
class MatrixCommands {
 public:
  MatrixCommands(DeviceSession& session, std::uint8_t panelType);

  std::size_t Outputs() const { return panelType_ == kSixteenChannelType ? 16 : 8; }

  // Each sends its text like a frame; input 0 is no input, and nothing leaves.
  CommandResult RouteToOutputs(std::uint8_t input, const MatrixOutputs& targets);
  CommandResult RouteToAll(std::uint8_t input);
  CommandResult RouteOneToOne();

  // The queries: they update the state from the answer, if one comes. True when answered.
  [[nodiscard]] bool ReadMatrixStatus();
  [[nodiscard]] bool ReadBacklight();

  CommandResult SetBacklightTime(std::uint8_t time);
  CommandResult SetBacklightBrightness(std::uint8_t brightness);
  // A row of MatrixFormatTable; the sixteen-channel switcher's command.
  CommandResult SetMatrixOutputFormat(std::uint8_t formatIndex);

 private:
  CommandResult SendText(const std::string& text);
  CommandResult SendValueFrame(const Frame& frame);
  // Sends the query and returns the answer of replySize bytes with the code in byte 16.
  std::optional<std::vector<std::uint8_t>> Query(const Frame& request, std::size_t replySize);
  // Each look on the network takes one datagram and prints its length.
  Verdict JudgeDatagram(const std::optional<Arrival>& arrival, std::uint8_t code,
                        std::vector<std::uint8_t>& answer);
  Verdict JudgeSerialReply(const std::optional<Arrival>& arrival, std::uint8_t code,
                           std::size_t replySize, std::vector<std::uint8_t>& answer);
  void ApplyStatus(const MatrixStatus& status);
  int SerialPollMs() const;

  DeviceSession& session_;
  const std::uint8_t panelType_;
};

}  // namespace quintara
