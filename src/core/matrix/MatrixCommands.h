#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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

// A query made ready on the owner's thread: the request and how to wait for its reply, by value.
struct MatrixQuery {
  Frame request;
  std::size_t replySize = 0;
  LinkKind kind = LinkKind::Lan;
  int pauseAfterSendMs = 0;
  int gapMs = 0;
};
using MatrixReply = std::optional<std::vector<std::uint8_t>>;

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

  // The queries in their parts, for an exchange started on a runner. Each is made ready on the
  // owner's thread; nothing on a serial line whose port is closed (nothing takes place then,
  // not even the panel's refresh).
  std::optional<MatrixQuery> StatusQuery() const;
  std::optional<MatrixQuery> BacklightQuery() const;
  // The wire part: sends the query and returns the answer of replySize bytes with the code in
  // byte 16. Of the session it uses only the link and the diagnostic lines.
  static MatrixReply Ask(DeviceSession& session, const MatrixQuery& query);
  // On the owner's thread: the state takes what the answer tells, the views refresh the status
  // (answered or not). True when answered.
  bool ApplyStatusReply(const MatrixReply& reply);
  bool ApplyBacklightReply(const MatrixReply& reply);

  CommandResult SetBacklightTime(std::uint8_t time);
  CommandResult SetBacklightBrightness(std::uint8_t brightness);
  // A row of MatrixFormatTable; the sixteen-channel switcher's command.
  CommandResult SetMatrixOutputFormat(std::uint8_t formatIndex);

 private:
  CommandResult SendText(const std::string& text);
  CommandResult SendValueFrame(const Frame& frame);
  MatrixQuery QueryOf(const Frame& request, std::size_t replySize) const;
  void ApplyStatus(const MatrixStatus& status);
  int SerialPollMs() const;

  DeviceSession& session_;
  const std::uint8_t panelType_;
};

}  // namespace quintara
