// Says where on the screen a person would point at a part of the running
// program's windows, so that the journeys never click at fixed coordinates.
//   locate tray                      the tray icon (the taskbar's last)
//   locate menu first|last           an end entry of the open popup menu
//   locate control CAPTION ID        a control of the shown window whose caption begins so
//                                    (the first such window that has the control)
//   locate text CAPTION ID           that control's text
//   locate node CAPTION ID N...      a tree node: the Nth root, its Nth child...
//   locate item CAPTION ID N         the Nth list item's label
//   locate tips                      the texts of the taskbar's tooltips, one a line
//   locate focus CAPTION             the id of the control that has the keyboard, in
//                                    the foreground window whose caption begins so
//   locate handle CAPTION ID         that control's window handle, in hexadecimal
//   locate run COMMANDLINE           runs it as the shell does, and gives its exit code
//   locate close CAPTION             closes the window whose caption begins so
//   locate mirval                    "none", "starting" (its mutex, no marked window
//                                    yet) or "resident"
//   locate intruder X Y W H          runs another program's window there, on top
//   locate latecomer                 plays a Mirval that starts late; ends with 7
//                                    when sent "&Quitter", with 0 after ten seconds
//   locate decoy FILE                runs another program's dialog with our controls'
//                                    numbers, noting in FILE each command it is sent
// Prints "x y", or fails.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
// The first shown top-level window whose caption begins so (and that has the
// control, when one is named).
HWND ByCaption(const char* caption, int control = 0)
{
    char text[256];
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, nullptr, nullptr)) != nullptr;)
        if (IsWindowVisible(w) && GetWindowTextA(w, text, sizeof text) &&
            !strncmp(text, caption, strlen(caption)) && (!control || GetDlgItem(w, control)))
            return w;
    return nullptr;
}

// A dialog as any resource editor makes it first, whose commands mean something
// else: every command it is sent is noted in the file. Hidden, out of the
// screenshots; hidden windows are searched all the same.
const char* g_decoyFile;
WNDPROC g_dialogProc;
LRESULT CALLBACK DecoyProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND) {
        FILE* noted = fopen(g_decoyFile, "a");
        fprintf(noted, "%u\n", LOWORD(wParam));
        fclose(noted);
    }
    return CallWindowProcA(g_dialogProc, w, message, wParam, lParam);
}
int Decoy(const char* file)
{
    g_decoyFile = file;
    InitCommonControls();
    HWND w = CreateWindowExA(0, "#32770", "Dialog", WS_OVERLAPPEDWINDOW, 0, 0, 300,
                             200, nullptr, nullptr, nullptr, nullptr);
    const char* classes[] = {WC_TREEVIEWA, WC_LISTVIEWA, WC_TREEVIEWA};
    const int ids[] = {1000, 1001, 1004};
    for (int i = 0; i < 3; ++i)
        CreateWindowExA(0, classes[i], "", WS_CHILD | WS_VISIBLE, 10 + 90 * i, 10, 80, 80, w,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(ids[i])), nullptr, nullptr);
    g_dialogProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DecoyProc)));
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}

LRESULT CALLBACK LatecomerProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == 32771) PostQuitMessage(7);
    return CallWindowProcA(g_dialogProc, w, message, wParam, lParam);
}
bool Running(const char* image)   // a process of that file name
{
    HANDLE all = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 process = {};
    process.dwSize = sizeof process;
    bool found = false;
    for (BOOL more = Process32First(all, &process); more && !found; more = Process32Next(all, &process))
        found = !lstrcmpiA(process.szExeFile, image);
    CloseHandle(all);
    return found;
}
// Its mutex half a second after the uninstaller's start, within the two seconds
// that the uninstaller gives a Mirval that has none yet; its marked window half a
// second later.
int Latecomer()
{
    for (int i = 0; i < 400 && !Running("Un.exe"); ++i) Sleep(25);
    Sleep(500);
    CreateMutexA(nullptr, FALSE, "Tarvex Software MIRVAL running");
    Sleep(500);
    HWND w = CreateWindowExA(0, "#32770", "Image du mirval", WS_POPUP, 0, 0, 10, 10, nullptr,
                             nullptr, nullptr, nullptr);
    g_dialogProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LatecomerProc)));
    SetPropA(w, "Tarvex Software MIRVAL resident", reinterpret_cast<HANDLE>(1));
    SetTimer(nullptr, 0, 10000, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0 && msg.message != WM_TIMER) DispatchMessageA(&msg);
    return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
}

// It carries the framework's property, with a value that means nothing here.
int Intruder(char** place)
{
    HWND w = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", "",
                             WS_POPUP | WS_VISIBLE, atoi(place[0]), atoi(place[1]), atoi(place[2]), atoi(place[3]),
                             nullptr, nullptr, nullptr, nullptr);
    SetPropA(w, "Mirval.CWnd", reinterpret_cast<HANDLE>(0x10));
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}

// Memory in a window's own process, for the messages whose answers land there.
class Remote {
public:
    Remote(HWND window, SIZE_T size)
    {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        m_process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
        void* at = VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
        m_at = static_cast<char*>(at);
    }
    ~Remote()
    {
        VirtualFreeEx(m_process, m_at, 0, MEM_RELEASE);
        CloseHandle(m_process);
    }
    LPARAM At(size_t offset = 0) const { return reinterpret_cast<LPARAM>(m_at + offset); }
    void Write(const void* data, size_t size) const
    {
        WriteProcessMemory(m_process, m_at, data, size, nullptr);
    }
    void Read(void* data, size_t size, size_t offset = 0) const
    {
        ReadProcessMemory(m_process, m_at + offset, data, size, nullptr);
    }

private:
    HANDLE m_process;
    char* m_at;
};

// A control's rectangle message, on screen.
bool AskRect(HWND control, UINT message, WPARAM wParam, RECT& rect)
{
    Remote remote(control, sizeof rect);
    remote.Write(&rect, sizeof rect);
    const bool ok = SendMessageA(control, message, wParam, remote.At()) != 0;
    remote.Read(&rect, sizeof rect);
    POINT origin = {0, 0};
    ClientToScreen(control, &origin);
    OffsetRect(&rect, origin.x, origin.y);
    return ok;
}

// The taskbar's tooltips live in its own process: their texts are asked for there.
int Tips()
{
    for (HWND tip = nullptr; (tip = FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr));) {
        Remote remote(tip, sizeof(TOOLINFOA) + 1024);
        for (int i = 0; i < SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0); ++i) {
            TOOLINFOA info = {};
            info.cbSize = sizeof info;
            info.lpszText = reinterpret_cast<char*>(remote.At(sizeof info));
            remote.Write(&info, sizeof info);
            SendMessageA(tip, TTM_ENUMTOOLSA, i, remote.At());
            SendMessageA(tip, TTM_GETTEXTA, 1024, remote.At());
            char text[1024] = "";
            remote.Read(text, sizeof text - 1, sizeof info);
            printf("%s\n", text);
        }
    }
    return 0;
}
}

int main(int argc, char** argv)
{
    RECT r = {};
    const char* what = argc > 1 ? argv[1] : "";
    if (!strcmp(what, "tips")) return Tips();
    if (!strcmp(what, "decoy") && argc == 3) return Decoy(argv[2]);
    if (!strcmp(what, "intruder") && argc == 6) return Intruder(argv + 2);
    if (!strcmp(what, "latecomer")) return Latecomer();
    if (!strcmp(what, "mirval")) {
        HANDLE running = OpenMutexA(SYNCHRONIZE, FALSE, "Tarvex Software MIRVAL running");
        HWND w = nullptr;
        while ((w = FindWindowExA(nullptr, w, "#32770", nullptr)) &&
               !GetPropA(w, "Tarvex Software MIRVAL resident")) {}
        printf("%s\n", w ? "resident" : running ? "starting" : "none");
        return 0;
    }
    if (!strcmp(what, "text") && argc == 4) {
        char text[1024] = "";
        const int id = atoi(argv[3]);
        GetWindowTextA(GetDlgItem(ByCaption(argv[2], id), id), text, sizeof text);
        printf("%s\n", text);
        return 0;
    }
    if (!strcmp(what, "focus") && argc == 3) {
        HWND front = GetForegroundWindow();
        char text[256] = "";
        GetWindowTextA(front, text, sizeof text);
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        if (strncmp(text, argv[2], strlen(argv[2])) ||
            !GetGUIThreadInfo(GetWindowThreadProcessId(front, nullptr), &info) || !info.hwndFocus)
            return 1;
        printf("%d\n", GetDlgCtrlID(info.hwndFocus));
        return 0;
    }
    if (!strcmp(what, "handle") && argc == 4) {
        const int id = atoi(argv[3]);
        printf("%llx\n", static_cast<unsigned long long>(
                              reinterpret_cast<UINT_PTR>(GetDlgItem(ByCaption(argv[2], id), id))));
        return 0;
    }
    if (!strcmp(what, "close") && argc == 3)
        return PostMessageA(ByCaption(argv[2]), WM_CLOSE, 0, 0) ? 0 : 1;
    if (!strcmp(what, "run") && argc == 3) {
        // The command line whole, as it stands in the registry: the new process
        // parses it, quotes and all, as it would at logon.
        STARTUPINFOA start = {};
        start.cb = sizeof start;
        PROCESS_INFORMATION process;
        if (!CreateProcessA(nullptr, argv[2], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &start, &process))
            return 255;
        DWORD code = 255;
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &code);
        return static_cast<int>(code);
    }
    if (!strcmp(what, "tray")) {
        // Wine's taskbar draws the notification icons as squares at its right end.
        if (!GetWindowRect(FindWindowA("Shell_TrayWnd", nullptr), &r)) return 1;
        r.left = r.right - (r.bottom - r.top);
    } else if (!strcmp(what, "menu") && argc == 3) {
        // Another process's menu handle means nothing here; a text entry is at
        // least a line of text high, so 8 pixels in from an end is inside one.
        // The shown one: a viewer's menus may stand hidden before it.
        HWND menu = nullptr;
        while ((menu = FindWindowExA(nullptr, menu, "#32768", nullptr)) && !IsWindowVisible(menu)) {}
        if (!menu || !GetWindowRect(menu, &r)) return 1;
        r.top = r.bottom = strcmp(argv[2], "first") ? r.bottom - 8 : r.top + 8;
    } else if (argc > 3) {
        const int id = atoi(argv[3]);
        HWND control = GetDlgItem(ByCaption(argv[2], id), id);
        if (!GetWindowRect(control, &r)) return 1;
        if (!strcmp(what, "node")) {
            HTREEITEM node = TreeView_GetRoot(control);
            for (int i = 4; i < argc && node; ++i) {
                for (int n = atoi(argv[i]); n > 0 && node; --n)
                    node = TreeView_GetNextSibling(control, node);
                if (node && i + 1 < argc) node = TreeView_GetChild(control, node);
            }
            memcpy(&r, &node, sizeof node);   // the message asks for this node
            if (!node || !AskRect(control, TVM_GETITEMRECT, TRUE, r)) return 1;
        } else if (!strcmp(what, "item")) {
            r.left = LVIR_LABEL;
            if (argc < 5 || !AskRect(control, LVM_GETITEMRECT, atoi(argv[4]), r)) return 1;
        }
    } else {
        return 2;
    }
    printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    return 0;
}
