// Photos (JPEG, PNG, GIF): told by their first bytes, measured by their own
// headers before anything is decoded, decoded by the system's own decoders,
// turned upright by their EXIF orientation, shrunk to fill the screen, and
// written as the bitmap that every desktop from Windows 95 on takes.
#pragma once
#include <windows.h>
#include "framework/buffer.h"

enum class PictureKind { Other, Bitmap, Jpeg, Png, Gif };
// The kind from a file's first bytes (12 are enough).
PictureKind KindOfBytes(const BYTE* pBytes, size_t nBytes);
// The kind a file's name promises: ".JPG", ".JPEG", ".JPE", ".JFIF", ".PNG",
// ".GIF" in any case; Other for any other name.
PictureKind KindOfName(const char* pszName);
// The kind of a file by its first bytes; false when it cannot be opened.
bool KindOfFile(const char* pszPath, PictureKind* pKind);
// Whether a file is a photo, to be decoded rather than handed on as it is: by
// its name or by its first bytes.
inline bool IsPhoto(const char* pszPath, PictureKind kindOfBytes)
{
    return KindOfName(pszPath) != PictureKind::Other ||
           (kindOfBytes != PictureKind::Bitmap && kindOfBytes != PictureKind::Other);
}
// The kinds this system has a decoder for, as bits (1 << kind); none on Windows 95.
unsigned DecodableKinds();
constexpr unsigned KindBit(PictureKind kind) { return 1u << static_cast<unsigned>(kind); }

// What a photo's header says, before a pixel is decoded.
struct PhotoFacts {
    LONG width = 0, height = 0;
    int orientation = 1;   // EXIF's 1 to 8; 1 when the photo has none
};
// The largest photo decoded: a small file may declare a huge picture.
constexpr LONG PHOTO_MAX_SIDE = 16384;
constexpr ULONGLONG PHOTO_MAX_PIXELS = 50000000;
// False when the header gives no size, or one over the limits.
bool ReadPhotoFacts(const BYTE* pBytes, size_t nBytes, PictureKind kind, PhotoFacts* pFacts);

// A picture in memory: 32-bit pixels (blue, green, red, 255), rows from the top.
struct Picture {
    LONG width = 0, height = 0;
    CBuffer<DWORD> pixels;
    bool Make(LONG cx, LONG cy)
    {
        width = cx, height = cy;
        return pixels.Resize(static_cast<size_t>(cx) * static_cast<size_t>(cy)) && !pixels.empty();
    }
};

// The header of a DIB of such pixels.
inline BITMAPINFOHEADER TopDownHeader(const Picture& picture)
{
    return {sizeof(BITMAPINFOHEADER), picture.width, -picture.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
}

// The picture as EXIF orientation n says it is to be seen (2 to 8 mirror or
// turn it; any other value leaves it as it is).
Picture Oriented(const Picture& picture, int orientation);
// A photo both wider and taller than the screen: the smallest size, in its own
// proportions, that covers the whole screen; any other keeps its size.
SIZE FillSize(SIZE picture, SIZE screen);
// The picture shrunk to size by the mean of the pixels each new one covers.
Picture Shrunk(const Picture& picture, SIZE size);
// Writes the picture as a 24-bit bottom-up bitmap file.
bool WriteBitmapFile(const char* pszPath, const Picture& picture);

// The system's decoders behind one door: the photo in the file's bytes, its
// transparent pixels laid over the background; false when no decoder takes it.
bool SystemDecode(const CBuffer<BYTE>& bytes, PhotoFacts facts, COLORREF background,
                  Picture* pPicture);

// The whole way from a photo's file to what the screen shows: read, measured,
// decoded, turned upright and fitted to the screen. False for a file that
// cannot be read, is no photo, is too large or cannot be decoded.
bool DecodeForScreen(const char* pszPath, SIZE screen, COLORREF background, Picture* pPicture);

// Mirval's copies of photos, in its folder of the user's local application data.
enum class PhotoCopy { Desktop, Trial };
// Where a photo is given to the desktop as a bitmap: a copy already made from
// the same file for the same screen is used again, else the photo is decoded
// and written, to a temporary name and then renamed into place, under the name
// the desktop does not show. False, with nothing to install, when it cannot be.
bool MakePhotoCopy(const char* pszPhoto, SIZE screen, COLORREF background, PhotoCopy which,
                   char* pszCopy, size_t nCopy);
// The same, only when a copy already made serves: no decoding.
bool FindPhotoCopy(const char* pszPhoto, SIZE screen, COLORREF background, char* pszCopy,
                   size_t nCopy);
// Mirval's folder of copies ("...\Mirval\", made if need be); false without one.
bool CopiesFolder(char* pszFolder, size_t nFolder);
// Whether a path names one of the copies the desktop may show.
bool IsDesktopCopy(const char* pszPath);
