// Today's picture, installed only once its file can be read: the wallpaper call
// with a file that cannot be read (a network drive not yet reconnected, a USB
// stick not plugged in, a folder renamed) leaves the desktop a plain colour.
// Until then the picture waits, and is tried again at each look at the date,
// when a drive arrives, and when a check that took long ends.
#pragma once
#include "framework/afxwin.h"

// Posted to the window given below when a check that outlasted its moment ends.
constexpr UINT WM_PICTURE_CHECKED = WM_APP + 1;
void SetPictureCheckWindow(HWND hWnd);

// Installs the picture, tiled ("1") or centred, once its file can be opened for
// reading: at once when the check answers within a moment, else once a later
// try finds it so. A picture given later takes its place.
void InstallWhenReadable(const CString& path, const CString& tile);
// Nothing for today: a waiting picture is given up.
void ForgetWaitingPicture();
bool PictureWaiting();
// Tries the waiting picture again, unless a check is still under way (its end
// is posted).
void RetryWaitingPicture();
// The end of a check that took long: installs the waiting picture if the check
// found it readable; otherwise it waits for the next try.
void PictureCheckEnded();

// Whether a file can be opened for reading; the check runs on a thread of its
// own, since asking about a network that is not there can take Windows tens of
// seconds. Tests may put their own in place (nullptr: the real one).
using ReadableCheck = bool (*)(const char* path);
void SetReadableCheck(ReadableCheck check);
