#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace quintara {

inline constexpr std::size_t kMatrixTableSize = 16;

// A set of outputs: bit o - 1 stands for output o.
using MatrixOutputs = std::bitset<kMatrixTableSize>;

// What the controller keeps for the matrix switchers. It lives for the whole run: opening a
// panel or changing devices does not clear it. The eight-channel switcher uses entries 1-8.
struct MatrixState {
  std::uint8_t selectedInput = 0;                             // 0 none, else 1..8 or 1..16
  std::array<std::uint8_t, kMatrixTableSize> routeTable{};    // per output: the input last routed
  std::array<std::uint8_t, kMatrixTableSize> pendingMarks{};  // per output: the input marked for it
  std::array<std::uint8_t, kMatrixTableSize> statusTable{};   // per output: the input feeding it
  std::uint8_t activeAction = 0;  // 0 none, 1 apply, 2 one-to-all, 3 one-to-one
  std::uint8_t backlightTime = 0;
  std::uint8_t backlightBrightness = 0;
  std::uint8_t outputFormatIndex = 0;  // into MatrixFormatTable

  // The outputs marked for the selected input; none while no input is selected.
  MatrixOutputs MarkedOutputs() const;

  friend bool operator==(const MatrixState&, const MatrixState&) = default;
};

// The sixteen-channel switcher's output formats: list text and device code.
struct MatrixFormat {
  std::string_view text;
  std::uint8_t code;
};
extern const std::array<MatrixFormat, 21> MatrixFormatTable;
// The table row of a device code; nothing for a code not in the table.
std::optional<std::size_t> MatrixFormatIndex(std::uint8_t code);

// Backlight time choices; the index is what is sent and stored.
inline constexpr std::array<std::string_view, 5> kBacklightTimeTexts{
    "15s Dim", "60s Dim", "15s Off", "60s Off", "Always On"};
inline constexpr std::uint8_t kMaxBrightness = 100;

}  // namespace quintara
