#include "cstring.h"
#include "winapp.h"
#include <cstdarg>
#include <utility>

void CString::Assign(const char* pch, int nLength)
{
    CBuffer<char> text(nLength > 0 ? static_cast<size_t>(nLength) + 1 : 0);
    if (!text.empty()) memcpy(text.data(), pch, static_cast<size_t>(nLength));
    m_buf = std::move(text);
}

CString& CString::Append(const char* pch, int nLength)
{
    if (nLength <= 0) return *this;
    // A new buffer, so that a piece of this very text can be appended.
    const size_t had = static_cast<size_t>(GetLength()), n = static_cast<size_t>(nLength);
    CBuffer<char> text(had + n + 1);
    if (text.empty()) return *this;
    memcpy(text.data(), *this, had);
    memcpy(text.data() + had, pch, n);
    m_buf = std::move(text);
    return *this;
}

CString CString::Left(int nCount) const
{
    return CString(*this, nCount < GetLength() ? nCount : GetLength());
}

CString CString::Right(int nCount) const
{
    if (nCount <= 0) return CString();
    const int n = nCount < GetLength() ? nCount : GetLength();
    return CString(static_cast<const char*>(*this) + (GetLength() - n), n);
}

CString CString::Mid(int nFirst) const
{
    if (nFirst <= 0) return *this;
    if (nFirst >= GetLength()) return CString();
    return CString(static_cast<const char*>(*this) + nFirst, GetLength() - nFirst);
}

int CString::ReverseFind(char ch) const
{
    for (int i = GetLength() - 1; i >= 0; --i)
        if (m_buf[static_cast<size_t>(i)] == ch) return i;
    return -1;
}

void CString::MakeUpper()
{
    if (!IsEmpty()) CharUpperBuffA(m_buf.data(), static_cast<DWORD>(GetLength()));
}

void CString::Format(const char* pszFormat, ...)
{
    char text[1025];
    va_list args;
    va_start(args, pszFormat);
    const int n = wvsprintfA(text, pszFormat, args);
    va_end(args);
    Assign(text, n);
}

BOOL CString::LoadString(UINT nID)
{
    // A string table entry holds at most 4095 characters; grow until it fits.
    for (size_t size = 256; size <= 8192; size *= 2) {
        CBuffer<char> buf(size);
        if (buf.empty()) break;
        const int n = ::LoadStringA(AfxGetResourceHandle(), nID, buf.data(), static_cast<int>(size));
        if (n < static_cast<int>(size) - 1) {
            Assign(buf.data(), n);
            return n > 0;
        }
    }
    Empty();
    return FALSE;
}
