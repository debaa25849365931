// CString: a growable text of Windows-1252 bytes ended by a zero byte, with the
// operations the program uses. Texts are bytes: nothing here knows about Unicode.
#pragma once
#include <windows.h>
#include <string>

class CString {
public:
    CString() = default;
    CString(const char* psz) : m_s(psz ? psz : "") {}
    CString(const char* pch, int nLength) : m_s(pch, nLength > 0 ? nLength : 0) {}

    int GetLength() const { return static_cast<int>(m_s.size()); }
    bool IsEmpty() const { return m_s.empty(); }
    void Empty() { m_s.clear(); }
    operator const char*() const { return m_s.c_str(); }
    char GetAt(int i) const { return m_s[static_cast<size_t>(i)]; }

    CString& operator+=(const char* psz) { m_s += psz ? psz : ""; return *this; }
    CString& operator+=(const CString& s) { m_s += s.m_s; return *this; }
    CString& operator+=(char ch) { m_s += ch; return *this; }
    friend CString operator+(CString a, const char* b) { return a += b; }
    friend CString operator+(CString a, const CString& b) { return a += b; }
    friend CString operator+(const char* a, const CString& b) { return CString(a) += b; }
    friend bool operator==(const CString& a, const CString& b) { return a.m_s == b.m_s; }
    friend bool operator==(const CString& a, const char* b) { return a.m_s == (b ? b : ""); }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }

    // Pieces; counts beyond the text are cut to what is there.
    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString Mid(int nFirst) const;
    // Index of the last ch, or -1.
    int ReverseFind(char ch) const;

    // Upper case by the user's code page, as the platform's file names compare.
    void MakeUpper();
    void Format(const char* pszFormat, ...);
    // The string table's text for nID in the user's language; empty and FALSE if none.
    BOOL LoadString(UINT nID);

private:
    std::string m_s;
};
