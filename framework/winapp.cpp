#include "winapp.h"
#include "dialog.h"
#include "regkey.h"
#include "systext.h"

namespace {
CWinApp* g_pApp = nullptr;

HWND MainWindow()
{
    return g_pApp && g_pApp->m_pMainWnd ? g_pApp->m_pMainWnd->GetSafeHwnd() : nullptr;
}

// The executable's path as the system has it, its extension replaced by pszExt.
CSystemText ProgramFile(const char* pszExt)
{
    const CSystemText module = ModulePath(nullptr);
    const WCHAR* begin = module.c_str();
    const WCHAR* end = begin + module.size();
    const WCHAR* dot = end;
    for (const WCHAR* p = end; p > begin && p[-1] != L'\\'; --p)
        if (p[-1] == L'.') {
            dot = p - 1;
            break;
        }
    CSystemText path(begin, dot);
    return path += pszExt;
}
}

CWinApp::CWinApp(const char* pszAppName)
{
    g_pApp = this;
    // An empty card reader or disc drive is a failed call, not a system box that
    // holds the program (at logon too) until someone answers it.
    SetErrorMode(SetErrorMode(SEM_FAILCRITICALERRORS) | SEM_FAILCRITICALERRORS);
    m_hInstance = GetModuleHandleA(nullptr);

    char path[MAX_PATH + 1] = "";
    DWORD n = GetModuleFileNameA(m_hInstance, path, MAX_PATH);
    path[n < MAX_PATH ? n : MAX_PATH] = '\0';
    CString module(path);

    int slash = module.ReverseFind('\\');
    CString base = module.Mid(slash + 1);
    int dot = base.ReverseFind('.');
    m_strAppName = pszAppName ? CString(pszAppName) : (dot >= 0 ? base.Left(dot) : base);

    // Found from the program's real path, in whatever script its folders are named
    // (a user's profile in Cyrillic): WinHelp takes ANSI paths only.
    m_strHelpFilePath = AnsiPath(ProgramFile(".HLP"));
}

CWinApp::~CWinApp()
{
    if (g_pApp == this) g_pApp = nullptr;
}

void CWinApp::SetRegistryKey(const char* pszRegistryKey)
{
    m_strRegistryKey = pszRegistryKey;
}

CString CWinApp::GetProfileKeyPath() const
{
    if (m_strRegistryKey.IsEmpty()) return CString();
    return "Software\\" + m_strRegistryKey + "\\" + m_strAppName;
}

namespace {
// The section's key, made on first access like the application key above it.
CRegKey SectionKey(const CWinApp& app, const char* pszSection)
{
    CRegKey key;
    CString path = app.GetProfileKeyPath();
    if (!path.IsEmpty()) key.Create(HKEY_CURRENT_USER, path + "\\" + pszSection);
    return key;
}
}

CString CWinApp::GetProfileString(const char* pszSection, const char* pszEntry,
                                  const char* pszDefault)
{
    CString value(pszDefault);
    CRegKey key = SectionKey(*this, pszSection);
    key.QueryText(pszEntry, value);
    return value;
}

BOOL CWinApp::WriteProfileString(const char* pszSection, const char* pszEntry,
                                 const char* pszValue)
{
    CRegKey key = SectionKey(*this, pszSection);
    return key.IsOpen() && key.SetText(pszEntry, pszValue ? pszValue : "") == ERROR_SUCCESS;
}

namespace {
bool HasWinHelpViewer()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    return version.dwPlatformId != VER_PLATFORM_WIN32_NT || version.dwMajorVersion < 6;
}

// HTML Help's entry, from the system's own hhctrl.ocx, loaded by its full path at
// the first request (never one from the program's or the working folder); null
// where there is none. It takes the help file's path in any script.
using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
HtmlHelpFunction HtmlHelpEntry()
{
    static HtmlHelpFunction entry = [] {
        HMODULE module = LoadSystemLibrary("hhctrl.ocx");
        FARPROC found = module ? GetProcAddress(module, "HtmlHelpW") : nullptr;
        return reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void*>(found));
    }();
    return entry;
}
}

void CWinApp::WinHelp(DWORD_PTR dwData, UINT nCmd)
{
    if (!HasWinHelpViewer()) {
        constexpr UINT HH_DISPLAY_TOPIC = 0;
        CSystemText chm = ProgramFile(".CHM");
        const char* page = nCmd == HELP_CONTEXT ? HtmlHelpPage(dwData) : nullptr;
        if (page) (chm += "::/") += page;
        HtmlHelpFunction htmlHelp = HtmlHelpEntry();
        if (htmlHelp && htmlHelp(MainWindow(), chm.c_str(), HH_DISPLAY_TOPIC, 0)) return;
    }
    if (!::WinHelpA(MainWindow(), m_strHelpFilePath, nCmd, dwData))
        AfxMessageBox(AFX_IDP_FAILED_TO_LAUNCH_HELP);
}

void CWinApp::OnHelp()
{
    // The dialog of the window with the focus, else the active one.
    // Up from the focus through the child windows (Windows 95 and NT 4.0 have no
    // GetAncestor); a top-level window's parent is its owner.
    HWND top = GetFocus();
    while (top && (GetWindowLongA(top, GWL_STYLE) & WS_CHILD)) top = GetParent(top);
    if (!top) top = GetActiveWindow();
    auto asDialog = [](CWnd* window) {
        return window && window->IsKindOf<CDialog>() ? static_cast<CDialog*>(window) : nullptr;
    };
    CDialog* dialog = asDialog(CWnd::FromHandlePermanent(top));
    if (!dialog) dialog = asDialog(m_pMainWnd);
    if (dialog)
        WinHelp(HID_BASE_RESOURCE + dialog->m_nIDHelp, HELP_CONTEXT);
    else
        WinHelp(0, HELP_FINDER);
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

HINSTANCE AfxGetInstanceHandle()
{
    return g_pApp ? g_pApp->m_hInstance : GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle()
{
    return AfxGetInstanceHandle();
}

int AfxMessageBox(UINT nIDPrompt, UINT nType)
{
    CString text;
    text.LoadString(nIDPrompt);
    return MessageBoxA(MainWindow(), text, g_pApp ? g_pApp->m_strAppName : CString(), nType);
}
