#pragma once
// Timers of the framework. They tick on the user-interface thread; here a manual timer service
// advances time when a test or the host says so, and can be told to refuse the next start or
// stop (the framework's timer failure).
#include <cstdint>
#include <memory>
#include <vector>

class TimerService;

class TimerBase {
public:
    TimerBase();
    virtual ~TimerBase();
    TimerBase(const TimerBase&) = delete;
    TimerBase& operator=(const TimerBase&) = delete;

    // False when the service refused; a started timer restarts with the new period.
    bool Start(int periodMilliseconds);
    bool Stop();
    bool IsTicking() const { return m_ticking; }
    int Period() const { return m_period; }
    // Called once per elapsed period. A timer may stop or delete itself here.
    virtual void Tick() = 0;

private:
    friend class TimerService;
    bool m_ticking = false;
    int m_period = 0;
    std::int64_t m_due = 0;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

class TimerService {
public:
    static TimerService& Instance();

    // Advances time, firing every tick that falls due, earliest first (timers due at the same
    // moment in the order they were started).
    void Advance(int milliseconds);
    std::int64_t Now() const { return m_now; }
    void FailNextRequest() { m_failNext = true; }
    int NumberOfTickingTimers() const;
    // Forgets time and failures (timers stay as they are).
    void Reset();

private:
    friend class TimerBase;
    bool Request();
    void Add(TimerBase* timer);
    void Remove(TimerBase* timer);
    std::vector<TimerBase*> m_timers;
    std::int64_t m_now = 0;
    bool m_failNext = false;
};
