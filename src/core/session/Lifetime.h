#pragma once

#include <memory>
#include <utility>

#include "core/ExchangeRunner.h"

namespace quintara {

// Lets work handed over for later tell whether its owner (a presenter, a panel) still exists.
// The owner holds a Lifetime; a continuation wrapped by Guard runs only while the owner lives,
// and is dropped once it has gone. Made, copied from and destroyed on the owner's thread only.
class Lifetime {
 public:
  Lifetime() = default;
  Lifetime(const Lifetime&) = delete;
  Lifetime& operator=(const Lifetime&) = delete;

  [[nodiscard]] Continuation Guard(Continuation then) const {
    return [alive = std::weak_ptr<const bool>(alive_), then = std::move(then)] {
      if (!alive.expired()) {
        then();
      }
    };
  }
  // An exchange whose continuation runs only while the owner lives; the wire part runs anyway.
  [[nodiscard]] WireWork GuardWork(WireWork work) const {
    return [alive = std::weak_ptr<const bool>(alive_), work = std::move(work)]() -> Continuation {
      return [alive, then = work()] {
        if (!alive.expired() && then) {
          then();
        }
      };
    };
  }

 private:
  std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};

}  // namespace quintara
