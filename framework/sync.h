// A critical section and the guard that holds it for a scope. Never deleted:
// a job's thread may still be using one while the process ends.
#pragma once
#include <windows.h>

class CCriticalSection {
public:
    CCriticalSection() { InitializeCriticalSection(&m_section); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;
    void Lock() { EnterCriticalSection(&m_section); }
    void Unlock() { LeaveCriticalSection(&m_section); }

private:
    CRITICAL_SECTION m_section;
};

class CSingleLock {
public:
    explicit CSingleLock(CCriticalSection* pSection) : m_pSection(pSection) { m_pSection->Lock(); }
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;
    ~CSingleLock() { m_pSection->Unlock(); }

private:
    CCriticalSection* m_pSection;
};
