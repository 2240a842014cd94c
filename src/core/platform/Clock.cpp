#include "core/platform/Clock.h"

#include <ctime>

namespace quintara {

std::int64_t SystemClock::NowMs() const {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
}

void SystemClock::SleepMs(int milliseconds) {
  if (milliseconds <= 0) {
    return;
  }
  timespec remaining{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1'000'000};
  // Signals must not shorten a protocol pause.
  while (nanosleep(&remaining, &remaining) != 0) {
  }
}

LocalDateTime SystemClock::LocalNow() const {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return LocalDateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_wday,
                       local.tm_hour,        local.tm_min,     local.tm_sec};
}

}  // namespace quintara
