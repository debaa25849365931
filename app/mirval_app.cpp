#include "app/mirval_app.h"
#include "app/mirval_dlg.h"
#include "res/resource.h"
#include "schedule/schedule.h"
#include "schedule/wallpaper.h"

CMirvalApp theApp;

namespace {
// Shows the running Mirval's setup dialog, or the box it has open, waiting up
// to ten seconds for one that is still starting (its mutex made, no mark yet).
void ShowRunningMirval()
{
    HWND resident = nullptr;
    for (int tries = 0; tries < 100 && !(resident = FindResidentMirval()); ++tries) Sleep(100);
    if (!resident) return;
    // Only the program the user has just started may bring a window forward: it
    // lends the right to the running one (from Windows 98 and 2000 on).
    using AllowFunction = BOOL(WINAPI*)(DWORD);
    FARPROC found = GetProcAddress(GetModuleHandleA("USER32.DLL"), "AllowSetForegroundWindow");
    DWORD pid = 0;
    GetWindowThreadProcessId(resident, &pid);
    if (found) reinterpret_cast<AllowFunction>(reinterpret_cast<void*>(found))(pid);
    DWORD_PTR ignored;
    SendMessageTimeoutA(resident, WM_COMMAND, ID_TRAY_SETUP, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
}
}

const MsgMapEntry CMirvalApp::messageEntries[] = {
    OnCommand<&CMirvalApp::OnAide>(ID_TRAY_HELP),
    OnCommand<&CWinApp::OnHelp>(ID_HELP),
};
const MsgMap CMirvalApp::messageMap(nullptr, CMirvalApp::messageEntries);

const MsgMap* CMirvalApp::GetMessageMap() const
{
    return &messageMap;
}

BOOL CMirvalApp::InitInstance()
{
    Enable3dControlsStatic();

    g_pSchedule = new ScheduleTable();   // zero-filled: every field the empty text

    SetRegistryKey("Tarvex Software");

    // Held for the run, and let go before the process ends: a job still hanging
    // on a dead network must not keep the next start waiting.
    HANDLE running = CreateMutexA(nullptr, FALSE, RUNNING_MUTEX);
    const bool second = GetLastError() == ERROR_ALREADY_EXISTS;

    // Reads the stored settings directly, so it need not wait for the table.
    ApplyTodaysWallpaper(APPLY_STARTUP);

    // One Mirval at a time: a second one's table, saved, would write the first
    // one's assignments back as they were when it started.
    if (second) {
        if (running) CloseHandle(running);
        ShowRunningMirval();
        return FALSE;
    }

    LoadSchedule();

    // The program lives as long as this dialog's modal loop.
    {
        CMirvalDlg dlg(nullptr);
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
    }
    if (running) CloseHandle(running);
    return FALSE;
}

// The dialogs' topics in the HTML Help file, by the numbers F1 asks for.
const char* CMirvalApp::HtmlHelpPage(DWORD_PTR dwData) const
{
    switch (dwData) {
    case HID_BASE_RESOURCE + IDD_MIRVAL_DIALOG: return "setup.html";
    case HID_BASE_RESOURCE + IDD_ABOUTBOX: return "about.html";
    }
    return nullptr;
}

void CMirvalApp::OnAide()
{
    WinHelp(0, HELP_FINDER);
}
