// Texts that are the system's or the user's, not the program's: the desktop's
// values, the program's own path. On Windows NT they go through the
// wide-character calls and come back exactly as they were, in any script;
// Windows 95 and 98 have no working wide-character calls and take the ANSI ones.
// This is the one place that decides which calls a system has.
#pragma once
#include <windows.h>
#include "cstring.h"

// A text of the system's in UTF-16, always ended by its zero.
class CSystemText {
public:
    CSystemText() = default;
    CSystemText(const WCHAR* pBegin, const WCHAR* pEnd);
    const WCHAR* c_str() const { return m_chars.empty() ? L"" : m_chars.data(); }
    // Adds an ASCII text (a file's extension, a page's name) at the end.
    CSystemText& operator+=(const char* pszAscii);
    size_t size() const { return m_chars.empty() ? 0 : m_chars.size() - 1; }

private:
    CBuffer<WCHAR> m_chars;
};

// True on Windows NT, whose wide-character calls work.
bool HasWideCalls();
// A text of the system's ANSI code page, and back (for the calls that take no other).
CSystemText SystemText(const char* pszAnsi);
CString AnsiText(const CSystemText& text);

// A DLL of the system's own, loaded by its full path from the system folder
// (never one planted in the program's or the working folder); null where there
// is none.
HMODULE LoadSystemLibrary(const char* pszName);

// The path of the module (the executable's for null) as the system has it.
CSystemText ModulePath(HMODULE hModule);
// A path of the system's as the ANSI calls can open it: as it is where the code
// page writes it, else by the volume's short names, which are ASCII (where the
// volume has none, as the code page writes it).
CString AnsiPath(const CSystemText& path);

// A registry value as the system keeps it, absence included, so that it can be
// written back exactly as it was, whatever its length, type or script.
class CRegValue {
public:
    void Read(HKEY hKey, const char* pszName);
    // Writes it back as read; one that was absent is deleted.
    void Write(HKEY hKey, const char* pszName) const;
    // The value as a text: REG_SZ, or REG_EXPAND_SZ as stored, cut at its first
    // zero; empty for a value of another type or none.
    CSystemText Text() const;

private:
    bool m_bPresent = false;
    bool m_bWide = false;   // read through the wide-character call
    DWORD m_type = REG_NONE;
    CBuffer<BYTE> m_data;
};

// The desktop's wallpaper call with a path of the system's: shows the picture,
// stores the path as the desktop's value and tells the running programs.
void SetDeskWallpaper(const CSystemText& path);
