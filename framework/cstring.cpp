#include "cstring.h"
#include "winapp.h"
#include <cstdarg>
#include <cstdio>
#include <vector>

CString CString::Left(int nCount) const
{
    if (nCount <= 0) return CString();
    return CString(m_s.substr(0, static_cast<size_t>(nCount)).c_str());
}

CString CString::Right(int nCount) const
{
    if (nCount <= 0) return CString();
    size_t n = static_cast<size_t>(nCount);
    return CString(n >= m_s.size() ? m_s.c_str() : m_s.c_str() + (m_s.size() - n));
}

CString CString::Mid(int nFirst) const
{
    if (nFirst <= 0) return *this;
    if (static_cast<size_t>(nFirst) >= m_s.size()) return CString();
    return CString(m_s.c_str() + nFirst);
}

int CString::ReverseFind(char ch) const
{
    size_t pos = m_s.rfind(ch);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

void CString::MakeUpper()
{
    if (!m_s.empty()) CharUpperBuffA(&m_s[0], static_cast<DWORD>(m_s.size()));
}

void CString::Format(const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    va_list again;
    va_copy(again, args);
    int n = vsnprintf(nullptr, 0, pszFormat, args);
    va_end(args);
    if (n < 0) {
        va_end(again);
        Empty();
        return;
    }
    std::vector<char> buf(static_cast<size_t>(n) + 1);
    vsnprintf(buf.data(), buf.size(), pszFormat, again);
    va_end(again);
    m_s.assign(buf.data(), static_cast<size_t>(n));
}

BOOL CString::LoadString(UINT nID)
{
    // A string table entry holds at most 4095 characters; grow until it fits.
    for (int size = 256; size <= 8192; size *= 2) {
        std::vector<char> buf(static_cast<size_t>(size));
        int n = ::LoadStringA(AfxGetResourceHandle(), nID, buf.data(), size);
        if (n < size - 1) {
            m_s.assign(buf.data(), static_cast<size_t>(n > 0 ? n : 0));
            return n > 0;
        }
    }
    Empty();
    return FALSE;
}
