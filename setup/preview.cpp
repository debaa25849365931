// The preview monitor, the picture chosen in the list, and trying it on the desktop.
#include "app/mirval_dlg.h"
#include "app/mirval_app.h"
#include "res/resource.h"
#include "schedule/photo.h"
#include "schedule/todays_picture.h"
#include "schedule/try_wallpaper.h"
#include "setup/setup.h"
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

int g_previewLoaded = 0;

SIZE PreviewSize(SIZE frame, SIZE picture, SIZE screen)
{
    if (screen.cx <= 0 || screen.cy <= 0) return {0, 0};
    return {static_cast<LONG>(static_cast<double>(frame.cx) * picture.cx / screen.cx),
            static_cast<LONG>(static_cast<double>(frame.cy) * picture.cy / screen.cy)};
}

CBuffer<POINT> PreviewOrigins(SIZE frame, SIZE size, bool tiled)
{
    // A picture that scales to nothing is not drawn: tiles of no width would never
    // cover the frame.
    if (size.cx <= 0 || size.cy <= 0) return CBuffer<POINT>();
    if (!tiled) {
        CBuffer<POINT> centred(1);
        if (!centred.empty()) centred[0] = {(frame.cx - size.cx) / 2, (frame.cy - size.cy) / 2};
        return centred;
    }
    // Tiles from the corner on, as many as start before the frame's end and one more.
    auto count = [](LONG frameLength, LONG tile) {
        return frameLength + tile <= 0 ? 0 : (frameLength + tile - 1) / tile + 1;
    };
    const LONG across = count(frame.cx, size.cx), down = count(frame.cy, size.cy);
    CBuffer<POINT> origins(static_cast<size_t>(across) * static_cast<size_t>(down));
    if (origins.empty()) return origins;
    for (LONG row = 0; row < down; ++row)
        for (LONG column = 0; column < across; ++column)
            origins[static_cast<size_t>(row * across + column)] = {column * size.cx + 1, row * size.cy + 1};
    return origins;
}

bool BitmapFileIsWhole(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    BITMAPFILEHEADER head = {};
    BITMAPV5HEADER info = {};   // the longest header; shorter ones fill its start
    DWORD read = 0, infoRead = 0;
    const DWORD size = GetFileSize(file, nullptr);
    const bool headOk = ReadFile(file, &head, sizeof head, &read, nullptr) && read == sizeof head;
    if (headOk) ReadFile(file, &info, sizeof info, &infoRead, nullptr);
    CloseHandle(file);
    if (!headOk || size == INVALID_FILE_SIZE || head.bfType != 0x4D42) return false;

    // What the headers say lies in the file, in 64 bits so that no figure wraps.
    const DWORD infoSize = info.bV5Size;
    if (infoSize > infoRead) return false;
    uint64_t width, height, bits, tableEntries, entryBytes, compression = BI_RGB;
    uint64_t tableStart = sizeof head + infoSize;
    if (infoSize == sizeof(BITMAPCOREHEADER)) {
        BITMAPCOREHEADER core;
        memcpy(&core, &info, sizeof core);
        width = core.bcWidth;
        height = core.bcHeight;
        bits = core.bcBitCount;
        tableEntries = bits <= 8 ? 1u << bits : 0;
        entryBytes = sizeof(RGBTRIPLE);
    } else if (infoSize >= sizeof(BITMAPINFOHEADER)) {
        width = info.bV5Width < 0 ? 0 : info.bV5Width;
        height = info.bV5Height < 0 ? -static_cast<int64_t>(info.bV5Height) : info.bV5Height;
        bits = info.bV5BitCount;
        compression = info.bV5Compression;
        // The loader reads at most 256 entries, and none past 8 bits a pixel.
        tableEntries = bits > 8 ? 0 : info.bV5ClrUsed ? std::min<DWORD>(info.bV5ClrUsed, 256) : 1u << bits;
        entryBytes = sizeof(RGBQUAD);
        // The three colour masks follow the plain header.
        if (infoSize == sizeof(BITMAPINFOHEADER) && compression == BI_BITFIELDS) tableStart += 12;
    } else {
        return false;
    }
    if (width == 0 || height == 0 || bits == 0 || bits > 32) return false;
    if (tableStart + tableEntries * entryBytes > head.bfOffBits || head.bfOffBits >= size)
        return false;
    const uint64_t pixels = compression == BI_RGB || compression == BI_BITFIELDS
                                ? (width * bits + 31) / 32 * 4 * height
                                : info.bV5SizeImage;
    return pixels > 0 && head.bfOffBits + pixels <= size;
}

namespace {
// A photo for the preview, decoded, turned upright and fitted to the screen as
// the desktop will show it, on a thread of its own.
struct PreviewJob : PictureJob {
    char path[2 * LIST_TEXT_BYTES] = "";
    SIZE screen = {};
    COLORREF background = 0;
    bool decoded = false;
    Picture picture;
    void Run() override { decoded = DecodeForScreen(path, screen, background, &picture); }
};
// The newest load asked for: an older photo's answer is not shown.
LONG g_newestPreview = 0;
// One photo decodes at a time, the newest chosen next: the arrow keys walking a
// folder of photos would otherwise set every core decoding pictures nobody
// waits for, and the window with them. One that takes longer than a decode
// should (a network gone) holds up no newer one.
constexpr DWORD PREVIEW_PATIENCE_MS = 3000;
PreviewJob* g_pNextPreview = nullptr;
bool g_bPreviewUnderWay = false;
DWORD g_previewStarted = 0;

void StartPreview(PreviewJob* job)
{
    g_bPreviewUnderWay = true;
    g_previewStarted = GetTickCount();
    StartJob(job);
}

void DropNextPreview()
{
    delete g_pNextPreview;
    g_pNextPreview = nullptr;
}

// Whether a file is a photo to decode. Its first bytes tell, not its name; a
// name that promises a photo is not opened here, where the window must answer:
// its job reads it.
bool NeedsDecoding(const char* path)
{
    PictureKind kind = PictureKind::Other;
    return KindOfName(path) != PictureKind::Other || (KindOfFile(path, &kind) && IsPhoto(path, kind));
}

// Stretches the whole of a bitmap of width x height over a control's client area.
void StretchOver(CDC& dc, const CWnd& control, const CBitmap& bitmap, int width, int height)
{
    RECT client;
    control.GetClientRect(&client);
    CDC memory;
    memory.CreateCompatibleDC(&dc);
    HGDIOBJ previous = memory.SelectObject(bitmap);
    dc.StretchBlt(0, 0, client.right, client.bottom, &memory, 0, 0, width, height, SRCCOPY);
    memory.SelectObject(previous);
}
}

void CMirvalDlg::RepaintScreenFrame()
{
    RECT frame;
    m_frameScreen.GetWindowRect(&frame);
    ScreenToClient(&frame);
    InvalidateRect(&frame, TRUE);
}

void CMirvalDlg::OnItemChangedPictureList(NMHDR*, LRESULT* pResult)
{
    for (int i = 0, n = m_listPictures.GetItemCount(); i < n; ++i) {
        if (!(m_listPictures.GetItemState(i, LVIS_SELECTED) & LVIS_SELECTED)) continue;
        char folder[LIST_TEXT_BYTES], file[LIST_TEXT_BYTES];
        m_listPictures.GetItemText(i, 1, folder, sizeof folder);
        m_listPictures.GetItemText(i, 0, file, sizeof file);
        g_selectedPicture = folder;
        g_selectedPicture += file;
        m_strPictureName = file;
        g_previewLoaded = LoadPreviewPicture(g_selectedPicture) ? 1 : 0;
        UpdateData(FALSE);
        RepaintScreenFrame();
    }
    *pResult = 0;
}

BOOL CMirvalDlg::LoadPreviewPicture(const char* path)
{
    m_bmpPicture.DeleteObject();
    const LONG number = ++g_newestPreview;
    DropNextPreview();
    // A photo shows once its job answers; the empty screen meanwhile.
    if (NeedsDecoding(path)) {
        auto* job = new PreviewJob;
        job->message = WM_PREVIEW_DECODED;
        job->number = number;
        lstrcpynA(job->path, path, sizeof job->path);
        job->screen = PhotoScreen();
        job->background = PhotoBackground();
        if (g_bPreviewUnderWay && GetTickCount() - g_previewStarted < PREVIEW_PATIENCE_MS)
            g_pNextPreview = job;
        else
            StartPreview(job);
        return FALSE;
    }
    // The platform's loader reads as far as the headers say, past the end of a
    // file cut short: such a file is a picture that cannot be loaded.
    if (!BitmapFileIsWhole(path)) return FALSE;
    if (!m_bmpPicture.Attach(LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0,
                                        LR_LOADFROMFILE | LR_CREATEDIBSECTION)))
        return FALSE;

    DIBSECTION dib = {};
    m_bmpPicture.GetObject(&dib);
    const WORD bits = dib.dsBmih.biBitCount;
    DWORD colours = dib.dsBmih.biClrUsed;
    CClientDC screen(theApp.m_pMainWnd);
    // Pictures deeper than 8 bits have no colour table, whatever count their header
    // gives: they take the halftone palette like any picture of many colours.
    if (bits > 8 || colours > 256) {
        m_palPicture.CreateHalftonePalette(screen);
        return TRUE;
    }
    if (colours == 0) colours = 1u << bits;

    std::unique_ptr<RGBQUAD[]> table(new RGBQUAD[colours]());
    {
        CDC memory;
        memory.CreateCompatibleDC(&screen);
        HGDIOBJ previous = memory.SelectObject(m_bmpPicture);
        GetDIBColorTable(memory, 0, colours, table.get());
        memory.SelectObject(previous);
    }
    std::unique_ptr<BYTE[]> buffer(new BYTE[sizeof(LOGPALETTE) + colours * sizeof(PALETTEENTRY)]);
    auto* palette = reinterpret_cast<LOGPALETTE*>(buffer.get());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(colours);
    for (DWORD i = 0; i < colours; ++i)
        palette->palPalEntry[i] = {table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
    m_palPicture.CreatePalette(palette);
    return TRUE;
}

LRESULT CMirvalDlg::OnPreviewDecoded(WPARAM, LPARAM lParam)
{
    std::unique_ptr<PreviewJob> job(reinterpret_cast<PreviewJob*>(lParam));
    g_bPreviewUnderWay = false;
    if (PreviewJob* next = g_pNextPreview) {
        g_pNextPreview = nullptr;
        StartPreview(next);
    }
    if (job->number != g_newestPreview) return 0;
    g_previewLoaded = 0;
    const Picture& picture = job->picture;
    BITMAPINFO info = {};
    info.bmiHeader = TopDownHeader(picture);
    void* bits = nullptr;
    if (job->decoded &&
        m_bmpPicture.Attach(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0))) {
        memcpy(bits, picture.pixels.data(), picture.pixels.size() * sizeof(DWORD));
        // Many colours: the halftone palette, as for any deep bitmap.
        CClientDC screen(theApp.m_pMainWnd);
        m_palPicture.CreateHalftonePalette(screen);
        g_previewLoaded = 1;
    }
    RepaintScreenFrame();
    return 0;
}

void CMirvalDlg::OnPaint()
{
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC), 0);
        RECT client;
        GetClientRect(&client);
        int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
        int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
        dc.DrawIcon(x, y, m_hIcon);
        return;
    }

    Default();

    CPaintDC monitorDC(&m_frameMonitor);
    StretchOver(monitorDC, m_frameMonitor, m_bmpMonitor, 150, 139);

    if (g_previewLoaded == 1) {
        RECT desktop;
        ::GetClientRect(::GetDesktopWindow(), &desktop);
        CWindowDC frameDC(&m_frameScreen);
        RECT client;
        m_frameScreen.GetClientRect(&client);
        // A palette still selected into a DC could not be deleted with the next load.
        HPALETTE oldPalette = frameDC.SelectPalette(m_palPicture, FALSE);
        frameDC.RealizePalette();

        DIBSECTION dib = {};
        m_bmpPicture.GetObject(&dib);
        const SIZE picture = {dib.dsBm.bmWidth, dib.dsBm.bmHeight};
        CDC memory;
        memory.CreateCompatibleDC(&frameDC);
        HGDIOBJ previous = memory.SelectObject(m_bmpPicture);
        frameDC.SetStretchBltMode(COLORONCOLOR);

        const SIZE frame = {client.right, client.bottom};
        const SIZE size = PreviewSize(frame, picture, {desktop.right, desktop.bottom});
        for (const POINT& at : PreviewOrigins(frame, size, m_btnMosaique.GetCheck() == BST_CHECKED))
            frameDC.StretchBlt(at.x, at.y, size.cx, size.cy, &memory, 0, 0, picture.cx, picture.cy,
                               SRCCOPY);
        memory.SelectObject(previous);
        if (oldPalette) frameDC.SelectPalette(oldPalette, FALSE);
    } else {
        CPaintDC screenDC(&m_frameScreen);
        StretchOver(screenDC, m_frameScreen, m_bmpEmptyScreen, 82, 88);
    }
}

void CMirvalDlg::OnTileOrCentre()
{
    RepaintScreenFrame();
}

void CMirvalDlg::OnApercu()
{
    UpdateData(TRUE);
    ShowWindow(SW_HIDE);
    TryWallpaper(g_selectedPicture, m_btnMosaique.GetCheck() == BST_CHECKED);
    // "&Quitter" chosen meanwhile ended the program with the test: nothing more.
    if (IsEnding()) return;
    // A day that began during the test gets its picture now that the old one is back.
    CheckDate();
    ShowWindow(SW_SHOW);
}
