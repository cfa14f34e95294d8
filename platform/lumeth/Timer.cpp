#include "lumeth/Timer.h"

#include <algorithm>

TimerBase::TimerBase() = default;

TimerBase::~TimerBase() {
    *m_alive = false;
    TimerService::Instance().Remove(this);
}

bool TimerBase::Start(int periodMilliseconds) {
    TimerService& s = TimerService::Instance();
    if (periodMilliseconds <= 0 || !s.Request()) return false;
    m_period = periodMilliseconds;
    m_due = s.Now() + periodMilliseconds;
    if (!m_ticking) s.Add(this);
    m_ticking = true;
    return true;
}

bool TimerBase::Stop() {
    TimerService& s = TimerService::Instance();
    if (!s.Request()) return false;
    if (m_ticking) s.Remove(this);
    m_ticking = false;
    return true;
}

TimerService& TimerService::Instance() {
    static TimerService service;
    return service;
}

bool TimerService::Request() {
    if (!m_failNext) return true;
    m_failNext = false;
    return false;
}

void TimerService::Add(TimerBase* timer) { m_timers.push_back(timer); }

void TimerService::Remove(TimerBase* timer) { std::erase(m_timers, timer); }

int TimerService::NumberOfTickingTimers() const { return static_cast<int>(m_timers.size()); }

void TimerService::Reset() {
    m_now = 0;
    m_failNext = false;
    for (TimerBase* t : m_timers) t->m_due = t->m_period;
}

void TimerService::Advance(int milliseconds) {
    const std::int64_t end = m_now + std::max(0, milliseconds);
    for (;;) {
        // The earliest due tick; ties go to the timer started first.
        TimerBase* next = nullptr;
        for (TimerBase* t : m_timers)
            if (t->m_due <= end && (!next || t->m_due < next->m_due)) next = t;
        if (!next) break;
        m_now = next->m_due;
        next->m_due += next->m_period;
        const std::shared_ptr<bool> alive = next->m_alive;
        next->Tick();
        (void)alive;
    }
    m_now = end;
}
