#include "schedule/photo.h"
#include "framework/sync.h"
#include "framework/systext.h"
#include <objidl.h>
#include <ocidl.h>
#include <shlobj.h>

namespace {
// ---- Reading headers: every figure checked against the bytes there are ----

unsigned Big16(const BYTE* p) { return static_cast<unsigned>(p[0]) << 8 | p[1]; }
unsigned Little16(const BYTE* p) { return static_cast<unsigned>(p[1]) << 8 | p[0]; }
DWORD Big32(const BYTE* p) { return static_cast<DWORD>(Big16(p)) << 16 | Big16(p + 2); }
DWORD Little32(const BYTE* p) { return static_cast<DWORD>(Little16(p + 2)) << 16 | Little16(p); }

bool Within(LONG width, LONG height)
{
    return width > 0 && height > 0 && width <= PHOTO_MAX_SIDE && height <= PHOTO_MAX_SIDE &&
           static_cast<ULONGLONG>(width) * static_cast<ULONGLONG>(height) <= PHOTO_MAX_PIXELS;
}

// The orientation tag (0x0112) of IFD0 in an APP1 "Exif" segment's payload; 1
// when it is missing or anything points past the payload's end.
int ExifOrientation(const BYTE* p, size_t n)
{
    if (n < 14 || memcmp(p, "Exif\0\0", 6) != 0) return 1;
    const BYTE* tiff = p + 6;
    const size_t size = n - 6;
    const bool big = tiff[0] == 'M' && tiff[1] == 'M';
    if (!big && !(tiff[0] == 'I' && tiff[1] == 'I')) return 1;
    auto u16 = [&](size_t at) { return big ? Big16(tiff + at) : Little16(tiff + at); };
    auto u32 = [&](size_t at) { return big ? Big32(tiff + at) : Little32(tiff + at); };
    const DWORD ifd = u32(4);
    if (ifd > size - 2) return 1;
    const unsigned entries = u16(ifd);
    for (unsigned i = 0; i < entries; ++i) {
        const size_t entry = ifd + 2 + 12 * static_cast<size_t>(i);
        if (entry + 12 > size) return 1;
        if (u16(entry) == 0x0112 && u16(entry + 2) == 3) {
            const unsigned value = u16(entry + 8);
            return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
        }
    }
    return 1;
}

// A JPEG's size from its first frame header (SOF0 to SOF15 but DHT, JPG and
// DAC, which share their numbers), after whatever APPn segments come first.
bool JpegFacts(const BYTE* p, size_t n, PhotoFacts* facts)
{
    size_t at = 2;
    while (at + 4 <= n) {
        if (p[at] != 0xFF) return false;
        const BYTE marker = p[at + 1];
        if (marker == 0xFF) {   // a fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {   // no length
            at += 2;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) return false;   // image data before any frame
        const size_t length = Big16(p + at + 2);
        if (length < 2 || at + 2 + length > n) return false;
        const BYTE* segment = p + at + 4;
        if (marker == 0xE1) {
            const int orientation = ExifOrientation(segment, length - 2);
            if (orientation != 1) facts->orientation = orientation;
        }
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            if (length < 7) return false;
            facts->height = static_cast<LONG>(Big16(segment + 1));
            facts->width = static_cast<LONG>(Big16(segment + 3));
            return true;
        }
        at += 2 + length;
    }
    return false;
}

// ---- The system's decoders, loaded once, by full path, from the system folder ----

// GDI+'s flat interface (XP on; a redistributable before).
struct GdiplusStartupInput {
    UINT32 version;
    void* debugEventCallback;
    BOOL suppressBackgroundThread;
    BOOL suppressExternalCodecs;
};
struct GpRect {
    INT x, y, width, height;
};
struct GpBitmapData {
    UINT width, height;
    INT stride;
    INT pixelFormat;
    void* scan0;
    UINT_PTR reserved;
};
constexpr INT PIXEL_FORMAT_32BPP_ARGB = 0x26200A;
constexpr UINT IMAGE_LOCK_MODE_READ = 1;

struct Decoders {
    int (WINAPI* startup)(ULONG_PTR*, const GdiplusStartupInput*, void*) = nullptr;
    int (WINAPI* fromStream)(IStream*, void**) = nullptr;
    int (WINAPI* width)(void*, UINT*) = nullptr;
    int (WINAPI* height)(void*, UINT*) = nullptr;
    int (WINAPI* lockBits)(void*, const GpRect*, UINT, INT, GpBitmapData*) = nullptr;
    int (WINAPI* unlockBits)(void*, GpBitmapData*) = nullptr;
    int (WINAPI* dispose)(void*) = nullptr;
    bool gdiplus = false;
    // OLE's (oleaut32), JPEG and GIF, where GDI+ is not.
    HRESULT (WINAPI* oleLoadPicture)(IStream*, LONG, BOOL, REFIID, void**) = nullptr;
    HRESULT (WINAPI* streamOnHGlobal)(HGLOBAL, BOOL, IStream**) = nullptr;
    bool loaded = false;
};

template <class F>
void Take(F& to, HMODULE module, const char* name)
{
    to = module ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

// Jobs decode on threads of their own: the first one loads the decoders.
CCriticalSection g_decoderLock, g_copyLock, g_folderLock;

OSVERSIONINFOA Version()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    return version;
}

bool IsWindows95()
{
    const OSVERSIONINFOA v = Version();
    return v.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && v.dwMinorVersion == 0;
}

// OLE's JPEG and GIF came with Windows 98 and 2000.
bool IsNt4OrEarlier()
{
    const OSVERSIONINFOA v = Version();
    return v.dwPlatformId == VER_PLATFORM_WIN32_NT && v.dwMajorVersion < 5;
}

const Decoders& LoadDecoders()
{
    static Decoders d;
    CSingleLock held(&g_decoderLock);
    if (d.loaded) return d;
    d.loaded = true;
    if (IsWindows95()) return d;   // GDI+ never came to it, nor OLE's JPEG
    const HMODULE ole32 = LoadSystemLibrary("ole32.dll");
    Take(d.streamOnHGlobal, ole32, "CreateStreamOnHGlobal");
    const HMODULE gdiplus = LoadSystemLibrary("gdiplus.dll");
    Take(d.startup, gdiplus, "GdiplusStartup");
    Take(d.fromStream, gdiplus, "GdipCreateBitmapFromStream");
    Take(d.width, gdiplus, "GdipGetImageWidth");
    Take(d.height, gdiplus, "GdipGetImageHeight");
    Take(d.lockBits, gdiplus, "GdipBitmapLockBits");
    Take(d.unlockBits, gdiplus, "GdipBitmapUnlockBits");
    Take(d.dispose, gdiplus, "GdipDisposeImage");
    if (d.startup && d.fromStream && d.width && d.height && d.lockBits && d.unlockBits && d.dispose) {
        // Started once for the process, never shut down: the process's end takes it.
        const GdiplusStartupInput input = {1, nullptr, FALSE, FALSE};
        ULONG_PTR token = 0;
        d.gdiplus = d.startup(&token, &input, nullptr) == 0;
    }
    if (!IsNt4OrEarlier()) Take(d.oleLoadPicture, LoadSystemLibrary("oleaut32.dll"), "OleLoadPicture");
    return d;
}

// The bytes as a stream of the system's, for either decoder.
IStream* StreamOf(const Decoders& d, const BYTE* bytes, size_t n)
{
    if (!d.streamOnHGlobal) return nullptr;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, n);
    if (!memory) return nullptr;
    memcpy(GlobalLock(memory), bytes, n);
    GlobalUnlock(memory);
    IStream* stream = nullptr;
    if (FAILED(d.streamOnHGlobal(memory, TRUE, &stream))) {
        GlobalFree(memory);
        return nullptr;
    }
    return stream;
}

BYTE Over(BYTE colour, BYTE background, unsigned alpha)
{
    return static_cast<BYTE>((colour * alpha + background * (255 - alpha) + 127) / 255);
}

bool GdiplusDecode(const Decoders& d, IStream* stream, COLORREF background, Picture* out)
{
    void* bitmap = nullptr;
    if (d.fromStream(stream, &bitmap) != 0 || !bitmap) return false;
    UINT width = 0, height = 0;
    d.width(bitmap, &width);
    d.height(bitmap, &height);
    bool ok = Within(static_cast<LONG>(width), static_cast<LONG>(height)) &&
              out->Make(static_cast<LONG>(width), static_cast<LONG>(height));
    GpBitmapData data = {};
    const GpRect all = {0, 0, static_cast<INT>(width), static_cast<INT>(height)};
    ok = ok && d.lockBits(bitmap, &all, IMAGE_LOCK_MODE_READ, PIXEL_FORMAT_32BPP_ARGB, &data) == 0;
    if (ok) {
        const BYTE red = GetRValue(background), green = GetGValue(background), blue = GetBValue(background);
        for (UINT y = 0; y < height; ++y) {
            const BYTE* row = static_cast<const BYTE*>(data.scan0) + static_cast<INT_PTR>(data.stride) * y;
            DWORD* to = &out->pixels[static_cast<size_t>(y) * width];
            for (UINT x = 0; x < width; ++x, row += 4) {
                const unsigned a = row[3];
                to[x] = 0xFF000000u | static_cast<DWORD>(Over(row[2], red, a)) << 16 |
                        static_cast<DWORD>(Over(row[1], green, a)) << 8 | Over(row[0], blue, a);
            }
        }
        d.unlockBits(bitmap, &data);
    }
    d.dispose(bitmap);
    return ok;
}

// OLE's picture drawn at the header's size over the background.
bool OleDecode(const Decoders& d, IStream* stream, LONG size, PhotoFacts facts, COLORREF background,
               Picture* out)
{
    static const GUID IID_Picture = {0x7BF80980, 0xBF32, 0x101A,
                                     {0x8B, 0xBB, 0x00, 0xAA, 0x00, 0x30, 0x0C, 0xAB}};
    IPicture* picture = nullptr;
    if (FAILED(d.oleLoadPicture(stream, size, FALSE, IID_Picture, reinterpret_cast<void**>(&picture))) ||
        !picture)
        return false;
    OLE_XSIZE_HIMETRIC hmWidth = 0;
    OLE_YSIZE_HIMETRIC hmHeight = 0;
    picture->get_Width(&hmWidth);
    picture->get_Height(&hmHeight);
    bool ok = out->Make(facts.width, facts.height);
    BITMAPINFO info = {};
    info.bmiHeader = TopDownHeader(*out);
    void* bits = nullptr;
    HBITMAP dib = ok ? CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    ok = ok && dib && dc;
    if (ok) {
        HGDIOBJ previous = SelectObject(dc, dib);
        HBRUSH brush = CreateSolidBrush(background);
        const RECT all = {0, 0, facts.width, facts.height};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        ok = SUCCEEDED(picture->Render(dc, 0, 0, facts.width, facts.height, 0, hmHeight, hmWidth,
                                       -hmHeight, nullptr));
        GdiFlush();
        SelectObject(dc, previous);
        const DWORD* from = static_cast<const DWORD*>(bits);
        for (size_t i = 0; i < out->pixels.size(); ++i) out->pixels[i] = from[i] | 0xFF000000u;
    }
    if (dc) DeleteDC(dc);
    if (dib) DeleteObject(dib);
    picture->Release();
    return ok;
}

// A file's bytes, all of them; nothing for a file that cannot be read or is
// larger than any photo worth showing.
constexpr DWORD PHOTO_MAX_FILE_BYTES = 256u << 20;

CBuffer<BYTE> FileBytes(const char* path)
{
    CBuffer<BYTE> bytes;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    const DWORD size = GetFileSize(file, nullptr);
    DWORD read = 0;
    if (size != INVALID_FILE_SIZE && size <= PHOTO_MAX_FILE_BYTES && bytes.Resize(size) &&
        !(ReadFile(file, bytes.data(), size, &read, nullptr) && read == size))
        bytes = CBuffer<BYTE>();
    CloseHandle(file);
    return bytes;
}

// ---- Mirval's copies ----

const char* const kCopyNames[] = {"FOND1", "FOND2", "ESSAI"};

bool CopyPath(const char* name, const char* extension, char* path, size_t n)
{
    char folder[MAX_PATH];
    if (!CopiesFolder(folder, sizeof folder)) return false;
    if (lstrlenA(folder) + lstrlenA(name) + lstrlenA(extension) >= static_cast<int>(n)) return false;
    wsprintfA(path, "%s%s%s", folder, name, extension);
    return true;
}

// What a copy was made from: the photo's path, size and time, the screen and
// the background its transparent pixels lie on. Empty when the photo cannot be
// opened.
bool SourceKey(const char* photo, SIZE screen, COLORREF background, char* key, size_t n)
{
    HANDLE file = CreateFileA(photo, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    FILETIME written = {};
    const DWORD size = GetFileSize(file, nullptr);
    GetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
    if (static_cast<size_t>(lstrlenA(photo)) + 80 > n) return false;
    wsprintfA(key, "%s|%lu|%08lX%08lX|%ldx%ld|%06lX", photo, size, written.dwHighDateTime,
              written.dwLowDateTime, screen.cx, screen.cy, background & 0xFFFFFF);
    return true;
}

// Whether the copy of that name holds the photo of that key.
bool CopyMadeFrom(const char* name, const char* key)
{
    char path[MAX_PATH], stored[MAX_PATH + 100] = "";
    if (!CopyPath(name, ".TXT", path, sizeof path)) return false;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD read = 0;
    ReadFile(file, stored, sizeof stored - 1, &read, nullptr);
    CloseHandle(file);
    stored[read] = '\0';
    return lstrcmpA(stored, key) == 0 && CopyPath(name, ".BMP", path, sizeof path) &&
           GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool WriteText(const char* path, const char* text)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const DWORD n = static_cast<DWORD>(lstrlenA(text));
    const bool ok = WriteFile(file, text, n, &written, nullptr) && written == n;
    CloseHandle(file);
    return ok;
}

// The desktop's wallpaper as the ANSI calls name it.
bool DesktopShows(const char* path)
{
    HKEY desktop;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\desktop", 0, KEY_READ, &desktop)) return false;
    char shown[MAX_PATH + 1] = "";
    DWORD size = sizeof shown - 1, type = 0;
    const bool read = RegQueryValueExA(desktop, "Wallpaper", nullptr, &type,
                                       reinterpret_cast<BYTE*>(shown), &size) == ERROR_SUCCESS;
    RegCloseKey(desktop);
    return read && lstrcmpiA(shown, path) == 0;
}
}

PictureKind KindOfBytes(const BYTE* p, size_t n)
{
    if (n >= 2 && p[0] == 'B' && p[1] == 'M') return PictureKind::Bitmap;
    if (n >= 3 && p[0] == 0xFF && p[1] == 0xD8 && p[2] == 0xFF) return PictureKind::Jpeg;
    if (n >= 8 && memcmp(p, "\x89PNG\r\n\x1A\n", 8) == 0) return PictureKind::Png;
    if (n >= 6 && (memcmp(p, "GIF87a", 6) == 0 || memcmp(p, "GIF89a", 6) == 0)) return PictureKind::Gif;
    return PictureKind::Other;
}

bool KindOfFile(const char* path, PictureKind* kind)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    BYTE first[12] = {};
    DWORD read = 0;
    ReadFile(file, first, sizeof first, &read, nullptr);
    CloseHandle(file);
    *kind = KindOfBytes(first, read);
    return true;
}

PictureKind KindOfName(const char* name)
{
    const char* dot = nullptr;
    for (const char* c = name; *c; ++c)
        if (*c == '.') dot = c;
        else if (*c == '\\') dot = nullptr;
    if (!dot) return PictureKind::Other;
    static const struct { const char* extension; PictureKind kind; } kinds[] = {
        {".JPG", PictureKind::Jpeg}, {".JPEG", PictureKind::Jpeg}, {".JPE", PictureKind::Jpeg},
        {".JFIF", PictureKind::Jpeg}, {".PNG", PictureKind::Png}, {".GIF", PictureKind::Gif}};
    for (const auto& k : kinds)
        if (lstrcmpiA(dot, k.extension) == 0) return k.kind;
    return PictureKind::Other;
}

unsigned DecodableKinds()
{
    // Asked at each listing: the decoders' files, not the decoders, are looked for.
    if (IsWindows95()) return 0;
    char path[MAX_PATH + 16];
    const UINT n = GetSystemDirectoryA(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 0;
    lstrcatA(path, "\\gdiplus.dll");
    const unsigned ole = KindBit(PictureKind::Jpeg) | KindBit(PictureKind::Gif);
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) return ole | KindBit(PictureKind::Png);
    return IsNt4OrEarlier() ? 0 : ole;
}

bool ReadPhotoFacts(const BYTE* p, size_t n, PictureKind kind, PhotoFacts* facts)
{
    *facts = PhotoFacts();
    bool found = false;
    switch (kind) {
    case PictureKind::Jpeg:
        found = JpegFacts(p, n, facts);
        break;
    case PictureKind::Png:   // IHDR comes first
        found = n >= 24 && memcmp(p + 12, "IHDR", 4) == 0 && Big32(p + 16) <= 0x7FFFFFFF &&
                Big32(p + 20) <= 0x7FFFFFFF;
        if (found) facts->width = static_cast<LONG>(Big32(p + 16)), facts->height = static_cast<LONG>(Big32(p + 20));
        break;
    case PictureKind::Gif:   // the logical screen's size
        found = n >= 10;
        if (found) facts->width = static_cast<LONG>(Little16(p + 6)), facts->height = static_cast<LONG>(Little16(p + 8));
        break;
    default:
        break;
    }
    return found && Within(facts->width, facts->height);
}

Picture Oriented(const Picture& from, int orientation)
{
    if (orientation < 2 || orientation > 8) return from;
    const LONG w = from.width, h = from.height;
    const bool turned = orientation >= 5;
    Picture to;
    if (!to.Make(turned ? h : w, turned ? w : h)) return Picture();
    for (LONG y = 0; y < to.height; ++y)
        for (LONG x = 0; x < to.width; ++x) {
            LONG sx = x, sy = y;
            switch (orientation) {
            case 2: sx = w - 1 - x; break;                  // mirrored
            case 3: sx = w - 1 - x, sy = h - 1 - y; break;  // upside down
            case 4: sy = h - 1 - y; break;                  // mirrored upside down
            case 5: sx = y, sy = x; break;                  // mirrored and turned
            case 6: sx = y, sy = h - 1 - x; break;          // to be turned a quarter clockwise
            case 7: sx = w - 1 - y, sy = h - 1 - x; break;  // mirrored and turned back
            case 8: sx = w - 1 - y, sy = x; break;          // to be turned a quarter back
            }
            to.pixels[static_cast<size_t>(y) * to.width + x] = from.pixels[static_cast<size_t>(sy) * w + sx];
        }
    return to;
}

SIZE FillSize(SIZE picture, SIZE screen)
{
    if (screen.cx <= 0 || screen.cy <= 0 || picture.cx <= screen.cx || picture.cy <= screen.cy)
        return picture;
    const LONGLONG w = picture.cx, h = picture.cy;
    // The side that meets the screen first keeps the screen's length; the other
    // is rounded up, so that nothing of the screen is left bare.
    if (w * screen.cy >= h * screen.cx)
        return {static_cast<LONG>((w * screen.cy + h - 1) / h), screen.cy};
    return {screen.cx, static_cast<LONG>((h * screen.cx + w - 1) / w)};
}

namespace {
// One direction of the shrink: each new pixel the mean of the run of old ones it
// covers, a partly covered one by its share. Lines of `count` pixels `step`
// apart, `lines` of them `lineStep` apart.
void ShrinkLines(const DWORD* from, DWORD* to, LONG oldLength, LONG newLength, LONG lines,
                 size_t step, size_t lineStep, size_t toStep, size_t toLineStep)
{
    // In units where an old pixel is newLength long and a new one oldLength.
    for (LONG line = 0; line < lines; ++line) {
        const DWORD* in = from + line * lineStep;
        DWORD* out = to + line * toLineStep;
        LONG old = 0;
        LONGLONG oldEnd = newLength;
        for (LONG n = 0; n < newLength; ++n) {
            const LONGLONG begin = static_cast<LONGLONG>(n) * oldLength, end = begin + oldLength;
            ULONGLONG sum[3] = {0, 0, 0};
            LONGLONG at = begin;
            while (at < end && old < oldLength) {
                const LONGLONG upTo = oldEnd < end ? oldEnd : end;
                const ULONGLONG weight = static_cast<ULONGLONG>(upTo - at);
                const DWORD pixel = in[old * step];
                sum[0] += weight * (pixel & 0xFF);
                sum[1] += weight * (pixel >> 8 & 0xFF);
                sum[2] += weight * (pixel >> 16 & 0xFF);
                at = upTo;
                if (at == oldEnd) ++old, oldEnd += newLength;
            }
            const ULONGLONG half = static_cast<ULONGLONG>(oldLength) / 2;
            out[n * toStep] = 0xFF000000u | static_cast<DWORD>((sum[2] + half) / oldLength) << 16 |
                              static_cast<DWORD>((sum[1] + half) / oldLength) << 8 |
                              static_cast<DWORD>((sum[0] + half) / oldLength);
        }
    }
}
}

Picture Shrunk(const Picture& from, SIZE size)
{
    if (size.cx == from.width && size.cy == from.height) return from;
    Picture across, down;
    if (size.cx <= 0 || size.cy <= 0 || !across.Make(size.cx, from.height) || !down.Make(size.cx, size.cy))
        return Picture();
    ShrinkLines(from.pixels.data(), across.pixels.data(), from.width, size.cx, from.height, 1,
                static_cast<size_t>(from.width), 1, static_cast<size_t>(size.cx));
    ShrinkLines(across.pixels.data(), down.pixels.data(), from.height, size.cy, size.cx,
                static_cast<size_t>(size.cx), 1, static_cast<size_t>(size.cx), 1);
    return down;
}

bool WriteBitmapFile(const char* path, const Picture& picture)
{
    const DWORD stride = (static_cast<DWORD>(picture.width) * 3 + 3) & ~3u;
    const DWORD pixelBytes = stride * static_cast<DWORD>(picture.height);
    CBuffer<BYTE> bytes(14 + sizeof(BITMAPINFOHEADER) + pixelBytes);
    if (bytes.empty() || picture.pixels.empty()) return false;
    BITMAPFILEHEADER file = {0x4D42, static_cast<DWORD>(bytes.size()), 0, 0, 14 + sizeof(BITMAPINFOHEADER)};
    const BITMAPINFOHEADER info = {sizeof info, picture.width, picture.height, 1, 24, BI_RGB, pixelBytes, 0, 0, 0, 0};
    memcpy(bytes.data(), &file, 14);
    memcpy(bytes.data() + 14, &info, sizeof info);
    for (LONG y = 0; y < picture.height; ++y) {   // the bottom row first
        BYTE* row = bytes.data() + file.bfOffBits + stride * static_cast<DWORD>(picture.height - 1 - y);
        const DWORD* from = &picture.pixels[static_cast<size_t>(y) * picture.width];
        for (LONG x = 0; x < picture.width; ++x) memcpy(row + 3 * x, &from[x], 3);
    }
    HANDLE out = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(out);
    if (!ok) DeleteFileA(path);
    return ok;
}

bool SystemDecode(const CBuffer<BYTE>& bytes, PhotoFacts facts, COLORREF background, Picture* out)
{
    const Decoders& d = LoadDecoders();
    IStream* stream = StreamOf(d, bytes.data(), bytes.size());
    if (!stream) return false;
    const PictureKind kind = KindOfBytes(bytes.data(), bytes.size());
    bool ok = false;
    if (d.gdiplus)
        ok = GdiplusDecode(d, stream, background, out);
    else if (d.oleLoadPicture && kind != PictureKind::Png)
        ok = OleDecode(d, stream, static_cast<LONG>(bytes.size()), facts, background, out);
    stream->Release();
    if (!ok) *out = Picture();
    return ok;
}

bool DecodeForScreen(const char* path, SIZE screen, COLORREF background, Picture* out)
{
    *out = Picture();
    const CBuffer<BYTE> bytes = FileBytes(path);
    const PictureKind kind = KindOfBytes(bytes.data(), bytes.size());
    PhotoFacts facts;
    if (kind == PictureKind::Bitmap || kind == PictureKind::Other ||
        !ReadPhotoFacts(bytes.data(), bytes.size(), kind, &facts))
        return false;
    Picture decoded;
    if (!SystemDecode(bytes, facts, background, &decoded)) return false;
    // Shrunk before it is turned: the same pixels, fewer of them to move.
    const bool turned = facts.orientation >= 5;
    const SIZE upright = turned ? SIZE{decoded.height, decoded.width} : SIZE{decoded.width, decoded.height};
    SIZE size = FillSize(upright, screen);
    if (turned) size = {size.cy, size.cx};
    *out = Oriented(Shrunk(decoded, size), facts.orientation);
    return !out->pixels.empty();
}

bool CopiesFolder(char* folder, size_t n)
{
    // Looked up once, at run time: Windows 95, 98 and NT 4.0 may have no such
    // folder. Jobs ask from their own threads.
    static char found[MAX_PATH] = "";
    static bool looked = false;
    CSingleLock held(&g_folderLock);
    if (!looked) {
        looked = true;
        using FolderPathFunction = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, char*);
        FolderPathFunction folderPath;
        Take(folderPath, GetModuleHandleA("SHELL32.DLL"), "SHGetFolderPathA");
        if (!folderPath) Take(folderPath, LoadSystemLibrary("shfolder.dll"), "SHGetFolderPathA");
        char path[MAX_PATH + 1] = "";
        if (folderPath && SUCCEEDED(folderPath(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, path)) &&
            path[0] && lstrlenA(path) + 9 < MAX_PATH) {
            wsprintfA(found, "%s\\Mirval", path);
            CreateDirectoryA(found, nullptr);
            lstrcatA(found, "\\");
            if (GetFileAttributesA(found) == INVALID_FILE_ATTRIBUTES) found[0] = '\0';
        }
    }
    if (!found[0] || static_cast<size_t>(lstrlenA(found)) >= n) return false;
    lstrcpyA(folder, found);
    return true;
}

bool IsDesktopCopy(const char* path)
{
    char copy[MAX_PATH];
    for (int i = 0; i < 2; ++i)
        if (CopyPath(kCopyNames[i], ".BMP", copy, sizeof copy) && lstrcmpiA(copy, path) == 0) return true;
    return false;
}

namespace {
// The copy, among the names first to last, made from the photo of that key.
bool CopyOfKey(const char* key, int first, int last, char* copy, size_t n)
{
    CSingleLock held(&g_copyLock);
    for (int i = first; i <= last; ++i)
        if (CopyMadeFrom(kCopyNames[i], key)) return CopyPath(kCopyNames[i], ".BMP", copy, n);
    return false;
}
}

bool FindPhotoCopy(const char* photo, SIZE screen, COLORREF background, char* copy, size_t n)
{
    char key[MAX_PATH + 100];
    return SourceKey(photo, screen, background, key, sizeof key) && CopyOfKey(key, 0, 1, copy, n);
}

bool MakePhotoCopy(const char* photo, SIZE screen, COLORREF background, PhotoCopy which, char* copy,
                   size_t n)
{
    char key[MAX_PATH + 100];
    if (!SourceKey(photo, screen, background, key, sizeof key)) return false;
    const bool trial = which == PhotoCopy::Trial;
    if (CopyOfKey(key, trial ? 2 : 0, trial ? 2 : 1, copy, n)) return true;
    Picture picture;
    if (!DecodeForScreen(photo, screen, background, &picture)) return false;

    // One job at a time chooses and writes: two could otherwise take one name.
    CSingleLock held(&g_copyLock);
    const char* name = kCopyNames[2];
    if (which == PhotoCopy::Desktop) {
        char first[MAX_PATH];
        name = CopyPath(kCopyNames[0], ".BMP", first, sizeof first) && DesktopShows(first)
                   ? kCopyNames[1] : kCopyNames[0];
    }
    char target[MAX_PATH], temporary[MAX_PATH], keyFile[MAX_PATH];
    if (!CopyPath(name, ".BMP", target, sizeof target) || !CopyPath(name, ".TMP", temporary, sizeof temporary) ||
        !CopyPath(name, ".TXT", keyFile, sizeof keyFile) || static_cast<size_t>(lstrlenA(target)) >= n)
        return false;
    DeleteFileA(keyFile);   // no key may name a copy being written
    if (!WriteBitmapFile(temporary, picture)) return false;
    DeleteFileA(target);
    if (!MoveFileA(temporary, target)) {
        DeleteFileA(temporary);
        return false;
    }
    WriteText(keyFile, key);
    lstrcpyA(copy, target);
    return true;
}
