#include "tests/support/resident.h"
#include "app/mirval_app.h"
#include "schedule/schedule.h"

bool Eventually(const std::function<bool()>& condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(10);
    }
    return true;
}

std::string Text(HWND hwnd)
{
    char buf[512] = "";
    GetWindowTextA(hwnd, buf, sizeof buf);
    return buf;
}

std::string NodeText(HWND tree, HTREEITEM item)
{
    char text[300] = "";
    TVITEMA tv = {};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    return text;
}

HTREEITEM FindNode(HWND tree, HTREEITEM parent, const std::string& text, bool prefix)
{
    for (HTREEITEM i = parent ? TreeView_GetChild(tree, parent) : TreeView_GetRoot(tree); i;
         i = TreeView_GetNextSibling(tree, i)) {
        std::string t = NodeText(tree, i);
        if (t == text || (prefix && t.compare(0, text.size(), text) == 0)) return i;
    }
    return nullptr;
}

namespace {
// The dialog among a thread's windows.
BOOL CALLBACK FindThreadDialog(HWND hwnd, LPARAM param)
{
    char cls[16] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    if (strcmp(cls, "#32770") != 0) return TRUE;
    *reinterpret_cast<HWND*>(param) = hwnd;
    return FALSE;
}

// The visible popup menu of this process, if one is open.
BOOL CALLBACK FindMenuWindow(HWND hwnd, LPARAM param)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[16] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    if (pid != GetCurrentProcessId() || strcmp(cls, "#32768") != 0 || !IsWindowVisible(hwnd))
        return TRUE;
    *reinterpret_cast<HWND*>(param) = hwnd;
    return FALSE;
}

}

HWND OpenMenu(DWORD timeoutMs)
{
    HWND menu = nullptr;
    Eventually([&] {
        EnumWindows(FindMenuWindow, reinterpret_cast<LPARAM>(&menu));
        return menu != nullptr;
    }, timeoutMs);
    return menu;
}

// The setup dialog, made as start-up makes it, its modal loop on its own thread.
Resident::Resident()
{
    m_ui = std::thread([this] {
        m_threadId = GetCurrentThreadId();
        CMirvalDlg dlg(nullptr);
        theApp.m_pMainWnd = &dlg;
        m_dlg = &dlg;
        m_result = dlg.DoModal();
        m_dlg = nullptr;
        theApp.m_pMainWnd = nullptr;
        m_ended = true;
    });
    Eventually([this] {
        if (m_threadId)
            EnumThreadWindows(m_threadId, FindThreadDialog, reinterpret_cast<LPARAM>(&m_hwnd));
        return m_hwnd != nullptr;
    });
    // The blink: shown from the end of its creation until the first timer tick,
    // a few milliseconds that a close look sees.
    DWORD start = GetTickCount();
    while (!IsWindowVisible(m_hwnd) && GetTickCount() - start < 2000) Sleep(0);
    m_hidden = Eventually([this] { return !IsWindowVisible(m_hwnd); });
}
Resident::~Resident()
{
    if (!m_ended) Send(WM_COMMAND, ID_TRAY_QUIT);
    m_ui.join();
    if (!g_pSchedule) g_pSchedule = new ScheduleTable();
}

