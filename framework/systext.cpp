#include "systext.h"
#include <algorithm>

namespace {
// The wide-character calls, looked up at run time so that the program still
// loads on the systems that lack them; all null where they do not work.
struct WideCalls {
    decltype(&RegQueryValueExW) query;
    decltype(&RegSetValueExW) set;
    decltype(&SystemParametersInfoW) parameters;
    decltype(&GetModuleFileNameW) moduleFile;
    decltype(&GetShortPathNameW) shortPath;
};

template <class Function>
Function Entry(const char* dll, const char* name)
{
    FARPROC found = HasWideCalls() ? GetProcAddress(GetModuleHandleA(dll), name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(found));
}

const WideCalls& Wide()
{
    static const WideCalls calls = {
        Entry<decltype(&RegQueryValueExW)>("ADVAPI32.DLL", "RegQueryValueExW"),
        Entry<decltype(&RegSetValueExW)>("ADVAPI32.DLL", "RegSetValueExW"),
        Entry<decltype(&SystemParametersInfoW)>("USER32.DLL", "SystemParametersInfoW"),
        Entry<decltype(&GetModuleFileNameW)>("KERNEL32.DLL", "GetModuleFileNameW"),
        Entry<decltype(&GetShortPathNameW)>("KERNEL32.DLL", "GetShortPathNameW"),
    };
    return calls;
}
}

bool HasWideCalls()
{
    return (GetVersion() & 0x80000000) == 0;
}

CSystemText SystemText(const char* pszAnsi)
{
    const int n = MultiByteToWideChar(CP_ACP, 0, pszAnsi, -1, nullptr, 0);
    if (n <= 1) return CSystemText();
    CBuffer<WCHAR> text(static_cast<size_t>(n));
    if (text.empty()) return CSystemText();
    MultiByteToWideChar(CP_ACP, 0, pszAnsi, -1, text.data(), n);
    return CSystemText(text.data(), text.data() + n - 1);
}

CString AnsiText(const CSystemText& text)
{
    const int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return CString();
    CBuffer<char> ansi(static_cast<size_t>(n));
    if (ansi.empty()) return CString();
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, ansi.data(), n, nullptr, nullptr);
    return CString(ansi.data(), n - 1);
}

CSystemText::CSystemText(const WCHAR* pBegin, const WCHAR* pEnd)
{
    const size_t n = static_cast<size_t>(pEnd - pBegin);
    if (m_chars.Resize(n + 1)) memcpy(m_chars.data(), pBegin, n * sizeof(WCHAR));
}

CSystemText& CSystemText::operator+=(const char* pszAscii)
{
    const size_t had = size(), n = strlen(pszAscii);
    if (!m_chars.Resize(had + n + 1)) return *this;
    for (size_t i = 0; i < n; ++i) m_chars[had + i] = static_cast<WCHAR>(pszAscii[i]);
    m_chars[had + n] = 0;
    return *this;
}

HMODULE LoadSystemLibrary(const char* pszName)
{
    char path[MAX_PATH + 32] = "";
    const UINT n = GetSystemDirectoryA(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH || lstrlenA(pszName) > 30) return nullptr;
    lstrcatA(path, "\\");
    lstrcatA(path, pszName);
    return LoadLibraryA(path);
}

CSystemText ModulePath(HMODULE hModule)
{
    if (const auto moduleFile = Wide().moduleFile) {
        // Paths of NT reach 32,767 characters.
        CBuffer<WCHAR> path(MAX_PATH);
        for (;;) {
            const DWORD n = moduleFile(hModule, path.data(), static_cast<DWORD>(path.size()));
            if (n == 0) break;
            if (n < path.size()) return CSystemText(path.data(), path.data() + n);
            if (path.size() >= 32768 || !path.Resize(path.size() * 2)) break;
        }
    }
    char path[MAX_PATH + 1] = "";
    const DWORD n = GetModuleFileNameA(hModule, path, MAX_PATH);
    path[n < MAX_PATH ? n : MAX_PATH] = '\0';
    return SystemText(path);
}

namespace {
// The text in the code page, if it writes every character of it.
bool InCodePage(const CSystemText& text, CString* pAnsi)
{
    *pAnsi = AnsiText(text);
    const CSystemText back = SystemText(*pAnsi);
    return back.size() == text.size() &&
           std::equal(text.c_str(), text.c_str() + text.size(), back.c_str());
}
}

CString AnsiPath(const CSystemText& path)
{
    CString ansi, shortAnsi;
    if (InCodePage(path, &ansi)) return ansi;
    if (const auto shortPath = Wide().shortPath) {
        CBuffer<WCHAR> name(shortPath(path.c_str(), nullptr, 0) + 1);
        const DWORD n = shortPath(path.c_str(), name.data(), static_cast<DWORD>(name.size()));
        const CSystemText shortName(name.data(), name.data() + (n < name.size() ? n : 0));
        if (n > 0 && n < name.size() && InCodePage(shortName, &shortAnsi)) return shortAnsi;
    }
    return ansi;
}

void CRegValue::Read(HKEY hKey, const char* pszName)
{
    const auto query = Wide().query;
    const CSystemText name = SystemText(pszName);
    m_bWide = query != nullptr;
    auto ask = [&](BYTE* data, DWORD* size) {
        return m_bWide ? query(hKey, name.c_str(), nullptr, &m_type, data, size)
                       : RegQueryValueExA(hKey, pszName, nullptr, &m_type, data, size);
    };
    DWORD size = 0;
    m_bPresent = ask(nullptr, &size) == ERROR_SUCCESS;
    if (!m_bPresent) return;
    m_data = CBuffer<BYTE>(size + sizeof(WCHAR));   // a zero more, should the text lack its own
    m_bPresent = !m_data.empty() && ask(m_data.data(), &size) == ERROR_SUCCESS;
    if (m_bPresent) m_data.Resize(size);
}

void CRegValue::Write(HKEY hKey, const char* pszName) const
{
    const DWORD size = static_cast<DWORD>(m_data.size());
    if (!m_bPresent)
        RegDeleteValueA(hKey, pszName);
    else if (m_bWide)
        Wide().set(hKey, SystemText(pszName).c_str(), 0, m_type, m_data.data(), size);
    else
        RegSetValueExA(hKey, pszName, 0, m_type, m_data.data(), size);
}

CSystemText CRegValue::Text() const
{
    if (!m_bPresent || (m_type != REG_SZ && m_type != REG_EXPAND_SZ)) return CSystemText();
    if (m_bWide) {
        const auto* chars = reinterpret_cast<const WCHAR*>(m_data.data());
        const WCHAR* end = chars + m_data.size() / sizeof(WCHAR);
        return CSystemText(chars, std::find(chars, end, L'\0'));
    }
    const auto* chars = reinterpret_cast<const char*>(m_data.data());
    const char* end = std::find(chars, chars + m_data.size(), '\0');
    return SystemText(CString(chars, static_cast<int>(end - chars)));
}

void SetDeskWallpaper(const CSystemText& path)
{
    constexpr UINT flags = SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE;
    if (const auto parameters = Wide().parameters) {
        parameters(SPI_SETDESKWALLPAPER, 0, const_cast<WCHAR*>(path.c_str()), flags);
    } else {
        CString ansi = AnsiText(path);
        SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(static_cast<const char*>(ansi)),
                              flags);
    }
}
