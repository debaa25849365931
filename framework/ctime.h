// CTime: a moment as seconds since 1970, read from one clock that tests may set.
#pragma once
#include <windows.h>
#include <ctime>

// winbase.h makes GetCurrentTime a macro for GetTickCount.
#undef GetCurrentTime

class CTime {
public:
    CTime() = default;
    explicit CTime(time_t t) : m_time(t) {}
    // A local date and time; nMonth counts from 1.
    CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec);

    static CTime GetCurrentTime();
    // Local calendar fields (tm_wday from Sunday = 0, tm_mon from January = 0).
    struct tm* GetLocalTm(struct tm* ptm) const;
    time_t GetTime() const { return m_time; }

    // Where GetCurrentTime reads the time; nullptr goes back to the system clock.
    using Clock = time_t (*)();
    static void SetClock(Clock clock);

private:
    time_t m_time = 0;
};
