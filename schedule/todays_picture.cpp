#include "schedule/todays_picture.h"
#include "schedule/wallpaper.h"

namespace {
// How long the window's thread waits for a check's answer: a local disk answers
// well within it, a network that is not there does not.
constexpr DWORD CHECK_MOMENT_MS = 200;

bool FileCanBeRead(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}
ReadableCheck g_readable = FileCanBeRead;

// The check under way, or the last one. Its thread reads the path and writes the
// answer, then signals; the window's thread touches neither while it is
// unsignalled.
struct Check {
    char path[WALLPAPER_PATH_CHARS + 1];
    bool readable;
    HANDLE ended;   // manual reset, signalled while no check is under way
};
Check g_check;
HWND volatile g_notify;

// The picture that waits for its file.
struct Waiting {
    CString path, tile;
    bool waiting = false;
};
Waiting g_waiting;

DWORD WINAPI CheckThread(void*)
{
    g_check.readable = g_readable(g_check.path);
    const HWND notify = g_notify;
    SetEvent(g_check.ended);
    if (notify) PostMessageA(notify, WM_PICTURE_CHECKED, 0, 0);
    return 0;
}

bool CheckUnderWay()
{
    return g_check.ended && WaitForSingleObject(g_check.ended, 0) == WAIT_TIMEOUT;
}

// Whether the file is on a local disk, which answers at once: a network's, a
// removable disk's or a disc's may keep the asker waiting.
bool OnALocalDisk(const char* path)
{
    if (!path[0] || path[1] != ':') return false;   // a network's name, or relative
    const char root[] = {path[0], ':', '\\', '\0'};
    const UINT type = GetDriveTypeA(root);
    return type == DRIVE_FIXED || type == DRIVE_RAMDISK;
}

// Starts the check of the waiting picture and waits a moment for it: true when
// it ended within it.
bool CheckWaitingPicture()
{
    if (!g_check.ended) g_check.ended = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    lstrcpynA(g_check.path, g_waiting.path, sizeof g_check.path);
    ResetEvent(g_check.ended);
    // A thread costs each start more than the wallpaper call itself: a local
    // disk is asked here.
    if (!OnALocalDisk(g_check.path)) {
        DWORD id;
        HANDLE thread = CreateThread(nullptr, 0, CheckThread, nullptr, 0, &id);
        if (thread) {
            CloseHandle(thread);
            return WaitForSingleObject(g_check.ended, CHECK_MOMENT_MS) == WAIT_OBJECT_0;
        }
    }
    // A local disk, or no thread to be had: the answer, however long, is asked here.
    g_check.readable = g_readable(g_check.path);
    SetEvent(g_check.ended);
    return true;
}

// The ended check's answer: the waiting picture installed when it is readable.
void Conclude()
{
    if (!g_waiting.waiting || !g_check.readable || g_waiting.path != g_check.path) return;
    g_waiting.waiting = false;
    CRegKey desktop;
    if (desktop.Open(HKEY_CURRENT_USER, DESKTOP_KEY) == ERROR_SUCCESS)
        SetDesktopTiling(desktop, g_waiting.tile);
    desktop.Close();
    SetDesktopWallpaper(g_waiting.path);
}
}

void SetReadableCheck(ReadableCheck check)
{
    g_readable = check ? check : FileCanBeRead;
}

void SetPictureCheckWindow(HWND hWnd)
{
    g_notify = hWnd;
}

void InstallWhenReadable(const CString& path, const CString& tile)
{
    g_waiting.path = path;
    g_waiting.tile = tile;
    g_waiting.waiting = true;
    RetryWaitingPicture();
}

void ForgetWaitingPicture()
{
    g_waiting.waiting = false;
}

bool PictureWaiting()
{
    return g_waiting.waiting;
}

void RetryWaitingPicture()
{
    if (g_waiting.waiting && !CheckUnderWay() && CheckWaitingPicture()) Conclude();
}

void PictureCheckEnded()
{
    // A later check under way answers for itself.
    if (CheckUnderWay()) return;
    if (g_waiting.path == g_check.path)
        Conclude();
    else
        RetryWaitingPicture();   // another day's picture came while it was out
}
