// Main-thread timers: a small queue fired from the message pump, so that a
// timer never interrupts game code. A timer that is firing is not fired again
// from a pump inside its own callback.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace tavrin {

using TimerId = int32_t;

class CTimerQueue {
 public:
  TimerId Create(int64_t intervalMicroseconds, bool enabled, std::function<void()> callback, int64_t now);
  void Enable(TimerId id, bool enabled, int64_t now);
  bool Enabled(TimerId id) const;
  // Fires every enabled timer whose time has come; returns how many fired.
  int FireDue(int64_t now);
  // Microseconds until the next enabled timer is due (0 if overdue), or -1.
  int64_t TimeToNext(int64_t now) const;

 private:
  struct RTimer {
    int64_t interval = 0;
    int64_t due = 0;
    bool enabled = false;
    bool firing = false;
    std::function<void()> callback;
  };
  std::vector<RTimer> m_timers;  // id = index + 1
};

}  // namespace tavrin
