// CWinApp: the one application object, its settings in the registry, and help.
#pragma once
#include <windows.h>
#include "cstring.h"
#include "wnd.h"

// The framework's own string: "help could not be started".
constexpr UINT AFX_IDP_FAILED_TO_LAUNCH_HELP = 61703;
// The framework's help command, and the base of a dialog's help context number.
constexpr UINT ID_HELP = 0xE146;
constexpr DWORD HID_BASE_RESOURCE = 0x20000;

class CWinApp : public CCmdTarget {
public:
    // Without a name the application is named after the executable's base name.
    explicit CWinApp(const char* pszAppName = nullptr);
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance() { return 0; }

    // Dialogs and controls get their 3-D look from Win32 itself; nothing to turn on.
    BOOL Enable3dControlsStatic() { return TRUE; }

    // From now on the profile lives under HKCU\Software\<pszRegistryKey>\<application name>.
    void SetRegistryKey(const char* pszRegistryKey);
    // "Software\<registry key>\<application name>", empty before SetRegistryKey.
    CString GetProfileKeyPath() const;

    // Texts of the profile. Both make the application and section keys when missing.
    // A value that is missing or not a text reads as pszDefault.
    CString GetProfileString(const char* pszSection, const char* pszEntry,
                             const char* pszDefault = nullptr);
    BOOL WriteProfileString(const char* pszSection, const char* pszEntry, const char* pszValue);

    HICON LoadIcon(UINT nIDResource) const
    {
        return ::LoadIconA(m_hInstance, MAKEINTRESOURCEA(nIDResource));
    }

    // Opens the help: on Windows Vista and later, which have no WinHelp viewer, the
    // HTML Help file beside the help file (".CHM") where it can show the page,
    // else the help file; says so with string 61703 when the help engine cannot start.
    virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT);
    // The HTML Help page of a context number ("setup.html"), null for the contents.
    virtual const char* HtmlHelpPage(DWORD_PTR /*dwData*/) const { return nullptr; }
    // The help command (F1): the topic of the dialog that has the focus.
    void OnHelp();

    HINSTANCE m_hInstance = nullptr;
    CString m_strAppName;
    CString m_strRegistryKey;
    CString m_strHelpFilePath;   // the executable's path with ".HLP"
    CWnd* m_pMainWnd = nullptr;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
// A message box with a string of the table, captioned with the application's name.
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK);
