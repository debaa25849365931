// Says where on the screen a person would point at a part of a running program's
// windows, so that the end-to-end scripts never click at fixed coordinates.
//   locate tray                        the tray icon (the taskbar's last one)
//   locate menu first|last             the first or last entry of the open popup menu
//   locate control CAPTION ID          a control of the window whose caption begins so
//   locate node CAPTION ID TEXT...     a tree node, by the texts on its way down
//   locate item CAPTION ID INDEX       a list item's label
// Prints "x y", or fails.
#include <windows.h>
#include <commctrl.h>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
std::string g_prefix;
HWND g_found;

BOOL CALLBACK ByCaption(HWND hwnd, LPARAM)
{
    char text[256] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    if (strncmp(text, g_prefix.c_str(), g_prefix.size()) != 0) return TRUE;
    g_found = hwnd;
    return FALSE;
}

int Say(const RECT& r)
{
    printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    return 0;
}

// A control's message whose answer is a record in the control's own process;
// a pointer of the record may be set to a place inside the remote copy.
template <class T>
bool AskRemote(HWND control, UINT message, WPARAM wParam, T& record, size_t at = 0,
               char** inside = nullptr)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(control, &pid);
    HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
    auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, sizeof record, MEM_COMMIT,
                                                     PAGE_READWRITE));
    if (inside) *inside = remote + at;
    WriteProcessMemory(process, remote, &record, sizeof record, nullptr);
    bool ok = SendMessageA(control, message, wParam, reinterpret_cast<LPARAM>(remote)) != 0;
    ReadProcessMemory(process, remote, &record, sizeof record, nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return ok;
}

// A tree node's text: the item record and its text buffer in one remote block.
std::string NodeText(HWND tree, HTREEITEM item)
{
    struct Remote {
        TVITEMA item;
        char text[260];
    } probe = {};
    probe.item.mask = TVIF_TEXT;
    probe.item.hItem = item;
    probe.item.cchTextMax = sizeof probe.text;
    AskRemote(tree, TVM_GETITEMA, 0, probe, offsetof(Remote, text), &probe.item.pszText);
    return probe.text;
}
}

int main(int argc, char** argv)
{
    const std::string what = argc > 1 ? argv[1] : "";
    RECT r = {};
    if (what == "tray") {
        // Wine's taskbar draws the notification icons as squares at its right end.
        if (!GetWindowRect(FindWindowA("Shell_TrayWnd", nullptr), &r)) return 1;
        r.left = r.right - (r.bottom - r.top);
        return Say(r);
    }
    if (what == "menu" && argc == 3) {
        // Another process's menu handle means nothing here: a text entry is at
        // least a line of text high, so 8 pixels in from an end is inside one.
        if (!GetWindowRect(FindWindowA("#32768", nullptr), &r)) return 1;
        r.top = r.bottom = strcmp(argv[2], "first") == 0 ? r.top + 8 : r.bottom - 8;
        return Say(r);
    }
    if (argc < 4) return 2;
    g_prefix = argv[2];
    EnumWindows(ByCaption, 0);
    HWND control = GetDlgItem(g_found, atoi(argv[3]));
    if (!control || !GetWindowRect(control, &r)) return 1;
    POINT origin = {0, 0};
    ClientToScreen(control, &origin);
    if (what == "node") {
        HTREEITEM node = TreeView_GetRoot(control);
        for (int i = 4; i < argc && node; ++i) {
            while (node && NodeText(control, node).compare(0, strlen(argv[i]), argv[i]) != 0)
                node = TreeView_GetNextSibling(control, node);
            if (node && i + 1 < argc) node = TreeView_GetChild(control, node);
        }
        *reinterpret_cast<HTREEITEM*>(&r) = node;
        if (!node || !AskRemote(control, TVM_GETITEMRECT, TRUE, r)) return 1;
        OffsetRect(&r, origin.x, origin.y);
    } else if (what == "item") {
        r.left = LVIR_LABEL;
        if (!AskRemote(control, LVM_GETITEMRECT, atoi(argv[4]), r)) return 1;
        OffsetRect(&r, origin.x, origin.y);
    }
    return Say(r);
}
