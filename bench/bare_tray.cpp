// The baseline of the resident program: a hidden window with one tray icon.
#include <windows.h>
#include <shellapi.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = "BareTray";
    RegisterClassA(&wc);
    HWND window = CreateWindowA("BareTray", "", 0, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
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
