// What the setup dialog's controls share beyond the dialog class.
#pragma once
#include <windows.h>
#include "framework/buffer.h"

// The drive nodes' records, made once while the dialog initialises.
constexpr int DRIVE_TABLE_SIZE = 1000;
struct DriveEntry {
    int kind;        // the node's image: one of DRIVE_KIND_*
    char text[52];   // root, a blank, the volume label, a blank
};
extern DriveEntry* g_pDriveTable;

// Images of the folder tree, which are also the kinds of drive.
constexpr int DRIVE_KIND_UNKNOWN = 0;   // and every folder node
constexpr int DRIVE_KIND_DISK = 1;
constexpr int DRIVE_KIND_CDROM = 2;
constexpr int DRIVE_KIND_FLOPPY = 3;

// The picture list's texts go through buffers of this size, zero included.
constexpr int LIST_TEXT_BYTES = 256;

// Whether a .BMP file holds all that its headers announce: the colour table
// before the pixels, and the pixels inside the file.
bool BitmapFileIsWhole(const char* path);

// Posted with a photo decoded for the preview.
constexpr UINT WM_PREVIEW_DECODED = WM_APP + 2;

// 1 when the last load for the preview succeeded.
extern int g_previewLoaded;

// Where the preview draws a picture: the frame stands for the whole screen, so
// the picture takes the share of the frame it would take of the screen.
SIZE PreviewSize(SIZE frame, SIZE picture, SIZE screen);
// The top left corners of the picture's copies in the frame: one, centred, or
// tiles from (1, 1) covering the frame. None when the scaled picture is empty.
CBuffer<POINT> PreviewOrigins(SIZE frame, SIZE size, bool tiled);

// Images of the calendar tree: the two roots, then one per weekday and month
// (slot + 1), then the picture nodes.
constexpr int CALENDAR_IMAGE_WEEK = 0;
constexpr int CALENDAR_IMAGE_MONTH = 1;
constexpr int CALENDAR_IMAGE_PICTURE = 22;
