// CRegKey: a registry key that closes itself, with safe text reads.
#pragma once
#include <windows.h>
#include "cstring.h"

class CRegKey {
public:
    CRegKey() = default;
    ~CRegKey() { Close(); }
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;
    CRegKey(CRegKey&& other) noexcept : m_hKey(other.m_hKey) { other.m_hKey = nullptr; }

    LONG Open(HKEY hParent, const char* pszSubKey, REGSAM sam = KEY_ALL_ACCESS)
    {
        Close();
        return RegOpenKeyExA(hParent, pszSubKey, 0, sam, &m_hKey);
    }
    // Opens the key, making it (and the keys above it) when missing.
    LONG Create(HKEY hParent, const char* pszSubKey)
    {
        Close();
        return RegCreateKeyExA(hParent, pszSubKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                               KEY_READ | KEY_WRITE, nullptr, &m_hKey, nullptr);
    }
    void Close()
    {
        if (m_hKey) RegCloseKey(m_hKey);
        m_hKey = nullptr;
    }
    bool IsOpen() const { return m_hKey != nullptr; }
    operator HKEY() const { return m_hKey; }

    // A text value (REG_SZ, or REG_EXPAND_SZ taken as stored) at whatever length it
    // has, cut at its first zero byte; false, leaving text alone, when the value is
    // missing or of another type.
    bool QueryText(const char* pszName, CString& text) const;
    // REG_SZ with the text's length plus its terminating zero.
    LONG SetText(const char* pszName, const char* pszText) const
    {
        return RegSetValueExA(m_hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(pszText),
                              static_cast<DWORD>(lstrlenA(pszText) + 1));
    }

private:
    HKEY m_hKey = nullptr;
};
