// Today's picture, installed only once its file can be read (the wallpaper call
// with a file that cannot be read, a network drive not yet reconnected or a
// stick not plugged in, leaves the desktop a plain colour) and, for a photo,
// once its bitmap copy is made. What can take long (a network, a decode) is a
// job on a thread of its own: each request has its own, numbered; the newest
// wins and an older one's answer is dropped.
#pragma once
#include "framework/afxwin.h"

// A piece of slow work with its own copy of what it needs and its own answer.
// Run on a thread of its own, then posted, as the lParam of its message, to
// the window given below (kept until there is one); that window owns it then.
struct PictureJob {
    virtual ~PictureJob() = default;
    virtual void Run() = 0;
    UINT message = 0;
    LONG number = 0;
};
void StartJob(PictureJob* pJob);

// Posted with an install job when it ends.
constexpr UINT WM_PICTURE_CHECKED = WM_APP + 1;
void SetPictureCheckWindow(HWND hWnd);

// Installs the picture, tiled ("1") or centred, once it can be: at once for a
// local bitmap or a photo whose copy is made, else when its job answers. A
// picture given later takes its place.
void InstallWhenReadable(const CString& path, const CString& tile);
// Nothing for today: a waiting picture is given up.
void ForgetWaitingPicture();
bool PictureWaiting();
// Whether the newest request's job has yet to answer.
bool PictureJobUnderWay();
// Tries the waiting picture again: with an answer kept for the moment, else
// with a new job unless one is under way (bAlways: a drive arrived, which a job
// under way may have missed).
void RetryWaitingPicture(bool bAlways = false);
// An install job's answer (the message's lParam). The newest is installed, or,
// while bHeld (a drag, the desktop test), kept for their end's retry.
void PictureCheckEnded(LPARAM lParam, bool bHeld);

// Whether a file can be opened for reading, asked first by every job. Tests
// may put their own in place (nullptr: the real one).
using ReadableCheck = bool (*)(const char* path);
void SetReadableCheck(ReadableCheck check);

// The screen the photos are fitted to (the primary monitor) and the colour
// their transparent pixels lie on (the desktop's).
SIZE PhotoScreen();
COLORREF PhotoBackground();
