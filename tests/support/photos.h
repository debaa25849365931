// Photos for the tests: the world's (made by ImageMagick as it starts), EXIF
// orientation put into a JPEG, and Mirval's copies read back.
#pragma once
#include "schedule/photo.h"
#include "tests/support/support.h"

inline std::string PhotoPath(const char* name)
{
    return WinPath(getenv("MIRVAL_TEST_WORLD") + std::string("/photos/") + name);
}

inline std::string FileText(const std::string& path)   // the bytes of a file, or none
{
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    bytes.resize(GetFileSize(file, nullptr));
    DWORD read = 0;
    ReadFile(file, &bytes[0], DWORD(bytes.size()), &read, nullptr);
    CloseHandle(file);
    return bytes;
}

// The JPEG with an APP1 "Exif" segment of orientation n after its start; with
// `past`, its first directory points past the segment's end.
inline std::string WithOrientation(const std::string& jpeg, int n, bool past = false)
{
    const std::string tiff = std::string("MM\0*\0\0\0", 7) + (past ? '\x7F' : '\x08') +
                             std::string("\0\x01\x01\x12\0\x03\0\0\0\x01\0", 11) + char(n) +
                             std::string(6, '\0');
    const std::string payload = std::string("Exif\0\0", 6) + tiff;
    const size_t length = payload.size() + 2;
    return jpeg.substr(0, 2) + "\xFF\xE1" + char(length >> 8) + char(length & 0xFF) + payload + jpeg.substr(2);
}

inline COLORREF Rgb(DWORD pixel)   // of a picture's 0xAARRGGBB
{
    return RGB(pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF);
}

inline std::string BitmapSize(const std::string& path)   // "WxH" of a bitmap file, as loaded
{
    HANDLE loaded = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    BITMAP bm = {};
    GetObjectA(loaded, sizeof bm, &bm);
    DeleteObject(loaded);
    return std::to_string(bm.bmWidth) + "x" + std::to_string(bm.bmHeight);
}

inline std::string CopyFolder()
{
    char folder[MAX_PATH] = "";
    CopiesFolder(folder, sizeof folder);
    return folder;
}

inline void ClearCopies()
{
    for (const char* name : {"FOND1", "FOND2", "ESSAI", "RETOUR"})
        for (const char* extension : {".BMP", ".TXT", ""}) DeleteFileA((CopyFolder() + name + extension).c_str());
}
