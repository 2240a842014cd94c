#include "core/session/DeviceKinds.h"

#include <algorithm>

namespace quintara {

static_assert(std::ranges::all_of(kDeviceKinds,
                                  [](const DeviceKindInfo& row) {
                                    return &row - kDeviceKinds.data() ==
                                           static_cast<std::ptrdiff_t>(row.kind);
                                  }),
              "the rows are in the order of DeviceKind");

const DeviceKindInfo* FindDeviceKind(std::uint8_t deviceType) {
  const auto row = std::ranges::find(kDeviceKinds, deviceType, &DeviceKindInfo::deviceType);
  return row == kDeviceKinds.end() ? nullptr : &*row;
}

}  // namespace quintara
