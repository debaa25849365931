// The setup dialog as start-up makes it, its modal loop on a thread of its own,
// and the ways a test finds the windows it shows.
#pragma once
#include "app/mirval_dlg.h"
#include <commctrl.h>
#include <atomic>
#include <functional>
#include <string>
#include <thread>

bool Eventually(const std::function<bool()>& condition, DWORD timeoutMs = 5000);
std::string Text(HWND hwnd);
// The visible popup menu of this process, or nullptr after the timeout.
HWND OpenMenu(DWORD timeoutMs = 3000);
// A tree node's text, and the first node under parent (the roots for nullptr)
// whose text is text, or begins with it.
std::string NodeText(HWND tree, HTREEITEM item);
HTREEITEM FindNode(HWND tree, HTREEITEM parent, const std::string& text, bool prefix = false);

class Resident {
public:
    Resident();
    ~Resident();

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return SendMessageA(m_hwnd, message, wParam, lParam);
    }
    void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        PostMessageA(m_hwnd, message, wParam, lParam);
    }
    void Tray(LPARAM mouse, WPARAM id = TRAY_ICON_ID) { Send(WM_TRAYICON, id, mouse); }
    void Command(UINT id) { Send(WM_COMMAND, id); }
    bool Shown() const { return IsWindowVisible(m_hwnd) != FALSE; }
    HWND Item(int id) const { return GetDlgItem(m_hwnd, id); }
    bool Checked(int id) const { return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool WaitEnded() { return Eventually([this] { return m_ended.load(); }); }
    // The dialog that the main window's thread shows over it.
    HWND WaitForDialog(const char* caption)
    {
        HWND found = nullptr;
        Eventually([&] {
            found = FindWindowA("#32770", caption);
            return found && IsWindowVisible(found);
        });
        return found;
    }

    HWND m_hwnd = nullptr;
    // The dialog object, for what its members hold; it lives on the dialog's thread.
    CMirvalDlg* m_dlg = nullptr;
    bool m_hidden = false;
    std::atomic<bool> m_ended{false};
    INT_PTR m_result = -2;

private:
    std::thread m_ui;
    std::atomic<DWORD> m_threadId{0};
};

