#include "ctime.h"
#include <cstring>

namespace {
CTime::Clock g_clock = nullptr;
}

CTime::CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec)
{
    struct tm t = {};
    t.tm_year = nYear - 1900;
    t.tm_mon = nMonth - 1;
    t.tm_mday = nDay;
    t.tm_hour = nHour;
    t.tm_min = nMin;
    t.tm_sec = nSec;
    t.tm_isdst = -1;
    m_time = mktime(&t);
}

CTime CTime::GetCurrentTime()
{
    return CTime(g_clock ? g_clock() : time(nullptr));
}

struct tm* CTime::GetLocalTm(struct tm* ptm) const
{
    const struct tm* local = localtime(&m_time);
    if (local)
        *ptm = *local;
    else
        memset(ptm, 0, sizeof *ptm);
    return ptm;
}

void CTime::SetClock(Clock clock)
{
    g_clock = clock;
}
