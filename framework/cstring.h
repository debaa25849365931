// CString: a growable text of Windows-1252 bytes ended by a zero byte, with the
// operations the program uses. Texts are bytes: nothing here knows about Unicode.
#pragma once
#include <windows.h>
#include "buffer.h"

class CString {
public:
    CString() = default;
    CString(const char* psz) { Assign(psz, psz ? lstrlenA(psz) : 0); }
    CString(const char* pch, int nLength) { Assign(pch, nLength); }

    int GetLength() const { return m_buf.empty() ? 0 : static_cast<int>(m_buf.size() - 1); }
    bool IsEmpty() const { return m_buf.size() <= 1; }
    void Empty() { m_buf.Resize(0); }
    operator const char*() const { return m_buf.empty() ? "" : m_buf.data(); }
    char GetAt(int i) const { return m_buf[static_cast<size_t>(i)]; }

    CString& operator+=(const char* psz) { return Append(psz, psz ? lstrlenA(psz) : 0); }
    CString& operator+=(const CString& s) { return Append(s, s.GetLength()); }
    CString& operator+=(char ch) { return Append(&ch, 1); }
    friend CString operator+(CString a, const char* b) { return a += b; }
    friend CString operator+(CString a, const CString& b) { return a += b; }
    friend CString operator+(const char* a, const CString& b) { return CString(a) += b; }
    friend bool operator==(const CString& a, const CString& b)
    {
        return a.GetLength() == b.GetLength() && !memcmp(a, b, static_cast<size_t>(a.GetLength()));
    }
    friend bool operator==(const CString& a, const char* b)
    {
        const size_t n = b ? strlen(b) : 0;
        return static_cast<size_t>(a.GetLength()) == n && !memcmp(a, b ? b : "", n);
    }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }

    // Pieces; counts beyond the text are cut to what is there.
    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString Mid(int nFirst) const;
    // Index of the last ch, or -1.
    int ReverseFind(char ch) const;

    // Upper case by the user's code page, as the platform's file names compare.
    void MakeUpper();
    // Integers, characters and texts, as the system's wsprintf writes them (at
    // most 1024 characters).
    void Format(const char* pszFormat, ...);
    // The string table's text for nID in the user's language; empty and FALSE if none.
    BOOL LoadString(UINT nID);

private:
    void Assign(const char* pch, int nLength);
    CString& Append(const char* pch, int nLength);
    CBuffer<char> m_buf;   // the bytes and their zero; nothing for the empty text
};
