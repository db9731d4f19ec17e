#include "platform/Platform_Timers.h"

#include <algorithm>

namespace tavrin {

TimerId CTimerQueue::Create(int64_t interval, bool enabled, std::function<void()> callback, int64_t now) {
  m_timers.push_back(RTimer{interval, now + interval, enabled, false, std::move(callback)});
  return TimerId(m_timers.size());
}

void CTimerQueue::Enable(TimerId id, bool enabled, int64_t now) {
  if (id <= 0 || size_t(id) > m_timers.size()) return;
  RTimer& t = m_timers[size_t(id) - 1];
  if (enabled && !t.enabled) t.due = now + t.interval;  // enabling restarts the interval
  t.enabled = enabled;
}

bool CTimerQueue::Enabled(TimerId id) const {
  return id > 0 && size_t(id) <= m_timers.size() && m_timers[size_t(id) - 1].enabled;
}

int CTimerQueue::FireDue(int64_t now) {
  int fired = 0;
  for (size_t i = 0; i < m_timers.size(); ++i) {
    RTimer& t = m_timers[i];
    if (!t.enabled || t.firing || now < t.due) continue;
    t.due = now + t.interval;
    t.firing = true;
    // The callback may create timers (reallocating the vector), so the
    // element is looked up again afterwards.
    std::function<void()> callback = t.callback;
    callback();
    m_timers[i].firing = false;
    ++fired;
  }
  return fired;
}

int64_t CTimerQueue::TimeToNext(int64_t now) const {
  int64_t best = -1;
  for (const RTimer& t : m_timers) {
    if (!t.enabled || t.firing) continue;
    const int64_t wait = std::max<int64_t>(0, t.due - now);
    if (best < 0 || wait < best) best = wait;
  }
  return best;
}

}  // namespace tavrin
