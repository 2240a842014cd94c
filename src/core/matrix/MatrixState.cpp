#include "core/matrix/MatrixState.h"

#include <algorithm>

namespace quintara {

const std::array<MatrixFormat, 21> MatrixFormatTable{{
    {"1080p60", 7},    {"1080p59.94", 23}, {"1080p50", 11},    {"1080p30", 3}, {"1080p29.97", 19},
    {"1080p25", 13},   {"1080p24", 5},     {"1080p23.98", 21}, {"1080i60", 9}, {"1080i59.94", 25},
    {"1080i50", 1},    {"720p60", 14},     {"720p59.94", 30},  {"720p50", 6},  {"720p30", 10},
    {"720p29.97", 26}, {"720p25", 2},      {"720p24", 12},     {"625i50", 4},  {"525i60", 8},
    {"525i59.94", 24},
}};

MatrixOutputs MatrixState::MarkedOutputs() const {
  MatrixOutputs marked;
  for (std::size_t o = 0; o < kMatrixTableSize; ++o) {
    marked[o] = selectedInput != 0 && pendingMarks[o] == selectedInput;
  }
  return marked;
}

std::optional<std::size_t> MatrixFormatIndex(std::uint8_t code) {
  const auto found = std::ranges::find(MatrixFormatTable, code, &MatrixFormat::code);
  if (found == MatrixFormatTable.end()) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(found - MatrixFormatTable.begin());
}

}  // namespace quintara
