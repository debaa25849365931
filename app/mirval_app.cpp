#include "app/mirval_app.h"
#include "app/mirval_dlg.h"
#include "res/resource.h"
#include "schedule/schedule.h"
#include "schedule/wallpaper.h"

CMirvalApp theApp;

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

    // Reads the stored settings directly, so it need not wait for the table.
    ApplyTodaysWallpaper(APPLY_STARTUP);

    LoadSchedule();

    // The program lives as long as this dialog's modal loop.
    {
        CMirvalDlg dlg(nullptr);
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
    }
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
