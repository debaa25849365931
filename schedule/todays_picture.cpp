#include "schedule/todays_picture.h"
#include "schedule/photo.h"
#include "schedule/wallpaper.h"

namespace {
ReadableCheck volatile g_readable = nullptr;

// Whether the file can be read, and its kind by its first bytes.
bool ReadableKind(const char* path, PictureKind* kind)
{
    const ReadableCheck check = g_readable;
    return (!check || check(path)) && KindOfFile(path, kind);
}

// Where answers go; the one that ends before there is a window (the start's)
// waits for it.
CCriticalSection g_deliveryLock;
HWND g_notify = nullptr;
PictureJob* g_undelivered = nullptr;

void Deliver(PictureJob* job)
{
    CSingleLock held(&g_deliveryLock);
    if (g_notify) {
        if (!PostMessageA(g_notify, job->message, 0, reinterpret_cast<LPARAM>(job))) delete job;
    } else if (!g_undelivered || g_undelivered->number < job->number) {
        delete g_undelivered;
        g_undelivered = job;
    } else {
        delete job;
    }
}

DWORD WINAPI JobThread(void* job)
{
    static_cast<PictureJob*>(job)->Run();
    Deliver(static_cast<PictureJob*>(job));
    return 0;
}

// An install: its own copy of the picture's path, the screen and background
// of the moment; its answer, what the wallpaper call is to be given.
struct InstallJob : PictureJob {
    char path[WALLPAPER_PATH_CHARS + 1] = "";
    SIZE screen = {};
    COLORREF background = 0;
    bool ready = false;
    char wallpaper[MAX_PATH + 1] = "";
    void Run() override
    {
        PictureKind kind;
        if (!ReadableKind(path, &kind)) return;
        if (IsPhoto(path, kind))
            ready = MakePhotoCopy(path, screen, background, PhotoCopy::Desktop, wallpaper, sizeof wallpaper);
        else
            ready = lstrlenA(lstrcpynA(wallpaper, path, sizeof wallpaper)) > 0;
    }
};

// The picture that waits, and the jobs for it.
struct Waiting {
    CString path, tile;
    bool waiting = false;
};
Waiting g_waiting;
LONG g_newest = 0;             // the number of the newest request
bool g_underWay = false;       // the newest request's job has not answered
InstallJob* g_kept = nullptr;  // an answer that came during a drag or the test

// A request answered here, without a job: whatever is under way answers an
// older one.
void Supersede()
{
    ++g_newest;
    g_underWay = false;
}

void DropKept()
{
    delete g_kept;
    g_kept = nullptr;
}

void Install(const char* wallpaper)
{
    g_waiting.waiting = false;
    CRegKey desktop;
    if (desktop.Open(HKEY_CURRENT_USER, DESKTOP_KEY) == ERROR_SUCCESS) SetDesktopTiling(desktop, g_waiting.tile);
    desktop.Close();
    SetDesktopWallpaper(wallpaper);
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

void StartInstallJob()
{
    auto* job = new InstallJob;
    job->message = WM_PICTURE_CHECKED;
    job->number = ++g_newest;
    lstrcpynA(job->path, g_waiting.path, sizeof job->path);
    job->screen = PhotoScreen();
    job->background = PhotoBackground();
    g_underWay = true;
    StartJob(job);
}

// A local bitmap, or a photo whose copy is made, installed here: a thread would
// cost each start more than the wallpaper call itself. Anything else is a job.
void TryWaitingPicture(bool always)
{
    if (OnALocalDisk(g_waiting.path)) {
        PictureKind kind;
        if (!ReadableKind(g_waiting.path, &kind)) return;
        char wallpaper[MAX_PATH + 1];
        if (!IsPhoto(g_waiting.path, kind)) {
            Supersede();
            lstrcpynA(wallpaper, g_waiting.path, sizeof wallpaper);
            Install(wallpaper);
            return;
        }
        if (FindPhotoCopy(g_waiting.path, PhotoScreen(), PhotoBackground(), wallpaper, sizeof wallpaper)) {
            Supersede();
            Install(wallpaper);
            return;
        }
    }
    if (always || !g_underWay) StartInstallJob();
}

void Conclude(InstallJob* job)
{
    if (g_waiting.waiting && job->ready && g_waiting.path == job->path) Install(job->wallpaper);
    delete job;
}
}

void StartJob(PictureJob* job)
{
    DWORD id;
    HANDLE thread = CreateThread(nullptr, 0, JobThread, job, 0, &id);
    if (thread) {
        CloseHandle(thread);
        return;
    }
    JobThread(job);   // no thread to be had: the work is done here
}

void SetReadableCheck(ReadableCheck check)
{
    g_readable = check;
}

void SetPictureCheckWindow(HWND hWnd)
{
    CSingleLock held(&g_deliveryLock);
    g_notify = hWnd;
    if (hWnd && g_undelivered) {
        if (!PostMessageA(hWnd, g_undelivered->message, 0, reinterpret_cast<LPARAM>(g_undelivered)))
            delete g_undelivered;
        g_undelivered = nullptr;
    }
}

SIZE PhotoScreen()
{
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

COLORREF PhotoBackground()
{
    return GetSysColor(COLOR_DESKTOP);
}

void InstallWhenReadable(const CString& path, const CString& tile)
{
    g_waiting.path = path;
    g_waiting.tile = tile;
    g_waiting.waiting = true;
    DropKept();
    g_underWay = false;   // whatever is under way answers an older request
    TryWaitingPicture(true);
}

void ForgetWaitingPicture()
{
    g_waiting.waiting = false;
    Supersede();
    DropKept();
}

bool PictureWaiting()
{
    return g_waiting.waiting;
}

bool PictureJobUnderWay()
{
    return g_underWay;
}

void RetryWaitingPicture(bool always)
{
    if (!g_waiting.waiting) return;
    if (InstallJob* kept = g_kept) {
        g_kept = nullptr;
        if (kept->ready) {
            Conclude(kept);
            return;
        }
        delete kept;   // it could not be read then: asked again
    }
    TryWaitingPicture(always);
}

void PictureCheckEnded(LPARAM lParam, bool held)
{
    auto* job = reinterpret_cast<InstallJob*>(lParam);
    if (job->number != g_newest) {   // a newer request answers for itself
        delete job;
        return;
    }
    g_underWay = false;
    if (held) {
        DropKept();
        g_kept = job;
        return;
    }
    Conclude(job);
}
