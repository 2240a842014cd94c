#pragma once

#include <cstdint>

namespace quintara {

// Local calendar time as the device protocol encodes it.
struct LocalDateTime {
  int year = 2000;  // full year, e.g. 2024
  int month = 1;    // 1..12
  int day = 1;      // day of month, 1..31
  int weekday = 0;  // 0 = Sunday
  int hour = 0;     // 0..23
  int minute = 0;
  int second = 0;
};

// Time source for every wait in the system. Injected so tests can observe or shorten waits.
class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds on a monotonic clock; only differences are meaningful.
  virtual std::int64_t NowMs() const = 0;
  virtual void SleepMs(int milliseconds) = 0;
  virtual LocalDateTime LocalNow() const = 0;
};

class SystemClock final : public Clock {
 public:
  std::int64_t NowMs() const override;
  void SleepMs(int milliseconds) override;
  LocalDateTime LocalNow() const override;
};

}  // namespace quintara
