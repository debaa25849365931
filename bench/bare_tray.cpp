// The baseline of the resident program: a hidden window with one tray icon.
#include <windows.h>
#include <shellapi.h>
#include <cstring>

// With "controls", it also loads the common controls and makes a hidden tree and
// list, to show what they alone cost; without, it does not even load them.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = "BareTray";
    RegisterClassA(&wc);
    HWND window = CreateWindowA("BareTray", "", 0, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (strstr(commandLine, "controls")) {
        LoadLibraryA("comctl32.dll");   // registers the control classes
        CreateWindowA("SysTreeView32", "", WS_CHILD, 0, 0, 100, 100, window, nullptr, instance, nullptr);
        CreateWindowA("SysListView32", "", WS_CHILD | 1 /* LVS_REPORT */, 0, 0, 100, 100, window, nullptr,
                      instance, nullptr);
    }
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = 1;
    data.uFlags = NIF_ICON | NIF_TIP;
    data.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
    lstrcpyA(data.szTip, "bare");
    Shell_NotifyIconA(NIM_ADD, &data);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
