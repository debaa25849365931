// The folder tree, the picture list, the preview and the desktop test, in the
// real dialog on the test world's drives and files.
#include "app/mirval_app.h"
#include "app/mirval_dlg.h"
#include "res/resource.h"
#include "schedule/schedule.h"
#include "schedule/try_wallpaper.h"
#include "schedule/wallpaper.h"
#include "setup/setup.h"
#include "tests/support/resident.h"
#include "tests/support/test_support.h"
#include "tests/support/fresh_profile.h"
#include <gtest/gtest.h>
#include <psapi.h>
#include <vector>

namespace {
const char kRoot[] = "C:\\mirval-tests\\";

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
}

template <class T>
std::string Bytes(const T& value)
{
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

// A bitmap file from its parts, the file header worked out from them.
std::string Dib(const BITMAPINFOHEADER& info, const std::string& colours, const std::string& bits)
{
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = static_cast<DWORD>(sizeof file + info.biSize + colours.size());
    file.bfSize = file.bfOffBits + static_cast<DWORD>(bits.size());
    return Bytes(file) + Bytes(info).substr(0, info.biSize) + colours + bits;
}

BITMAPINFOHEADER Header(int width, int height, int bitCount, DWORD clrUsed = 0, DWORD compression = BI_RGB)
{
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = static_cast<WORD>(bitCount);
    info.biCompression = compression;
    info.biClrUsed = clrUsed;
    return info;
}

std::string Pixels(int width, int height, int bitCount)
{
    return std::string(static_cast<size_t>(((width * bitCount + 31) / 32) * 4 * height), '\x01');
}

std::string ColourTable(int n)
{
    std::string table;
    for (int i = 0; i < n; ++i) {
        RGBQUAD q = {static_cast<BYTE>(i), static_cast<BYTE>(2 * i), static_cast<BYTE>(255 - i), 0};
        table += Bytes(q);
    }
    return table;
}

// The nodes under parent (the roots for nullptr), by text.
std::vector<std::string> Children(HWND tree, HTREEITEM parent)
{
    std::vector<std::string> texts;
    HTREEITEM item = parent ? TreeView_GetChild(tree, parent) : TreeView_GetRoot(tree);
    for (; item; item = TreeView_GetNextSibling(tree, item)) texts.push_back(NodeText(tree, item));
    return texts;
}

HTREEITEM Child(HWND tree, HTREEITEM parent, const std::string& text)
{
    return FindNode(tree, parent, text, parent == nullptr);   // drive roots by their letter
}

int Image(HWND tree, HTREEITEM item)
{
    TVITEMA tv = {};
    tv.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    tv.hItem = item;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    return tv.iImage == tv.iSelectedImage ? tv.iImage : -1;
}

std::vector<std::pair<std::string, std::string>> ListItems(HWND list)
{
    std::vector<std::pair<std::string, std::string>> items;
    for (int i = 0, n = ListView_GetItemCount(list); i < n; ++i) {
        char name[300] = "", folder[300] = "";
        ListView_GetItemText(list, i, 0, name, sizeof name);
        ListView_GetItemText(list, i, 1, folder, sizeof folder);
        items.emplace_back(name, folder);
    }
    return items;
}

// The file names that the platform's search gives for a folder, in its order.
std::vector<std::string> SearchOrder(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE h = FindFirstFileA((folder + "*.*").c_str(), &entry);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(entry.cFileName);
    } while (FindNextFileA(h, &entry));
    FindClose(h);
    return names;
}

std::string Upper(std::string s)
{
    CharUpperBuffA(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

class Setup : public FreshProfile {
protected:
    void SetUp() override
    {
        FreshProfile::SetUp();
        StartUp();
    }

    // Selects the node of a folder below a drive, opening the nodes on the way as
    // a user's clicks would.
    static HTREEITEM Open(Resident& dlg, const std::string& drive, const std::vector<std::string>& folders)
    {
        HWND tree = dlg.Item(IDC_FOLDER_TREE);
        HTREEITEM node = Child(tree, nullptr, drive);
        TreeView_SelectItem(tree, node);
        for (const auto& name : folders) {
            node = Child(tree, node, name);
            if (!node) return nullptr;
            TreeView_SelectItem(tree, node);
        }
        return node;
    }
    static void SelectListItem(Resident& dlg, int index)
    {
        ListView_SetItemState(dlg.Item(IDC_PICTURE_LIST), index, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
    }
};
}

// ---- Drives ----

TEST_F(Setup, DriveNodesFollowThePlatformsList)
{
    Resident dlg;
    HWND tree = dlg.Item(IDC_FOLDER_TREE);
    char roots[256];
    GetLogicalDriveStringsA(sizeof roots, roots);
    std::vector<std::string> expected;
    for (const char* r = roots; *r; r += strlen(r) + 1) expected.push_back(r);
    std::vector<std::string> texts = Children(tree, nullptr);
    ASSERT_EQ(texts.size(), expected.size());
    for (size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(texts[i].substr(0, 3), expected[i]);

    // The test world's drives: a floppy whose own label is never read, a CD-ROM
    // without a disc, a fixed drive with a label.
    struct { const char* root; const char* text; int image; } drives[] = {
        {"A:\\", "A:\\ Disquette ", 3},
        {"C:\\", "C:\\  ", 1},
        {"D:\\", "D:\\  ", 2},
        {"E:\\", "E:\\ DONNEES ", 1},
    };
    for (const auto& d : drives) {
        HTREEITEM node = Child(tree, nullptr, d.root);
        ASSERT_TRUE(node) << d.root;
        EXPECT_EQ(Children(tree, nullptr)[std::find(expected.begin(), expected.end(), d.root) - expected.begin()], d.text);
        EXPECT_EQ(Image(tree, node), d.image) << d.root;
    }
    ASSERT_TRUE(g_pDriveTable);
    EXPECT_STREQ(g_pDriveTable[0].text, "A:\\ Disquette ");
    EXPECT_EQ(g_pDriveTable[0].kind, 3);
    EXPECT_EQ(g_pDriveTable[texts.size()].text[0], '\0') << "a record past the last drive";
}

// ---- Folders and pictures ----

class Folders : public Setup {
protected:
    static void SetUpTestSuite()
    {
        std::string dir = std::string(kRoot) + "Images\\";
        WriteBitmap(dir + "fond.bmp", 40, 30, RGB(255, 0, 0));
        WriteBitmap(dir + "Image.Bmp", 40, 30, RGB(0, 255, 0));
        WriteBitmap(dir + "ABCBMP", 8, 8, RGB(0, 0, 255));
        WriteBitmap(dir + "bmp", 8, 8, RGB(0, 0, 255));
        WriteBitmap(dir + "photo.dib", 8, 8, RGB(0, 0, 255));
        WriteFileBytes(dir + "LISEZMOI.TXT", "lisez-moi");
        SetFileAttributesA((dir + "cache.bmp").c_str(), FILE_ATTRIBUTE_NORMAL);
        WriteFileBytes(dir + "cache.bmp", "");
        SetFileAttributesA((dir + "cache.bmp").c_str(), FILE_ATTRIBUTE_HIDDEN);
        for (const char* sub : {"Zeta", ".cache", "alpha", "Cachette"}) {
            CreateDirectoryA((dir + sub).c_str(), nullptr);
        }
        SetFileAttributesA((dir + "Cachette").c_str(), FILE_ATTRIBUTE_HIDDEN);
        WriteBitmap(dir + "alpha\\seule.bmp", 8, 8, RGB(0, 0, 255));
        WriteBitmap("E:\\racine.bmp", 8, 8, RGB(0, 0, 255));
        // The longest name the disk takes (255 characters) just fits the list's
        // buffers; its full path is past what the ANSI calls take.
        std::wstring wide = L"\\\\?\\C:\\mirval-tests\\Images\\Zeta\\" + std::wstring(251, L'n') + L".bmp";
        CloseHandle(CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
};

TEST_F(Folders, ListsPicturesInTheSearchsOrderAndMakesSortedFolderNodesOnce)
{
    Resident dlg;
    HWND tree = dlg.Item(IDC_FOLDER_TREE), list = dlg.Item(IDC_PICTURE_LIST);
    HTREEITEM images = Open(dlg, "C:\\", {"mirval-tests", "Images"});
    ASSERT_TRUE(images);

    const std::string folder = std::string(kRoot) + "Images\\";
    std::vector<std::pair<std::string, std::string>> expected;
    for (const auto& name : SearchOrder(folder)) {
        std::string upper = Upper(name);
        if (upper.size() >= 3 && upper.compare(upper.size() - 3, 3, "BMP") == 0)
            expected.emplace_back(upper, folder);
    }
    EXPECT_EQ(ListItems(list), expected);
    std::vector<std::string> names;
    for (auto& item : expected) names.push_back(item.first);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"ABCBMP", "BMP", "CACHE.BMP", "FOND.BMP", "IMAGE.BMP"}));

    // Hidden folders shown, names with a full stop in front never; sorted once made.
    const std::vector<std::string> subfolders = {"alpha", "Cachette", "Zeta"};
    EXPECT_EQ(Children(tree, images), subfolders);
    EXPECT_TRUE(TreeView_GetItemState(tree, images, TVIS_EXPANDED) & TVIS_EXPANDED);

    // Again: the same listing, no second set of nodes.
    TreeView_SelectItem(tree, Child(tree, images, "alpha"));
    EXPECT_EQ(ListItems(list), (std::vector<std::pair<std::string, std::string>>{{"SEULE.BMP", folder + "alpha\\"}}));
    EXPECT_EQ(TreeView_GetChild(tree, Child(tree, images, "alpha")), nullptr) << "a folder of pictures only";
    TreeView_SelectItem(tree, images);
    EXPECT_EQ(ListItems(list), expected);
    EXPECT_EQ(Children(tree, images), subfolders);

    // A drive root: the three-character root as the folder.
    Open(dlg, "E:\\", {});
    EXPECT_EQ(ListItems(list), (std::vector<std::pair<std::string, std::string>>{{"RACINE.BMP", "E:\\"}}));
}

TEST_F(Folders, ListsTheLongestNameTheDiskTakes)
{
    Resident dlg;
    ASSERT_TRUE(Open(dlg, "C:\\", {"mirval-tests", "Images", "Zeta"}));
    auto items = ListItems(dlg.Item(IDC_PICTURE_LIST));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].first, std::string(251, 'N') + ".BMP");
}

TEST_F(Folders, AFolderPathTooLongToSearchListsNothing)
{
    std::string path = kRoot;
    std::vector<std::string> chain = {"mirval-tests"};
    while (path.size() < 300) {
        std::string name(40, static_cast<char>('a' + chain.size()));
        path += name + "\\";
        CreateDirectoryA(path.c_str(), nullptr);
        chain.push_back(name);
    }
    Resident dlg;
    // The folders on the way list as usual until the path no longer fits.
    HWND tree = dlg.Item(IDC_FOLDER_TREE);
    HTREEITEM node = Open(dlg, "C:\\", chain);
    ASSERT_TRUE(node == nullptr || TreeView_GetChild(tree, node) == nullptr);
    EXPECT_EQ(ListView_GetItemCount(dlg.Item(IDC_PICTURE_LIST)), 0);
}

TEST_F(Folders, ChoosingAPictureNamesItAndOpensItUnderItsUpperCaseName)
{
    Resident dlg;
    dlg.Tray(WM_LBUTTONDOWN);
    Open(dlg, "C:\\", {"mirval-tests", "Images"});
    auto items = ListItems(dlg.Item(IDC_PICTURE_LIST));
    int image = static_cast<int>(std::find_if(items.begin(), items.end(), [](auto& i) { return i.first == "IMAGE.BMP"; }) - items.begin());
    SelectListItem(dlg, image);
    // On disk the file is Image.Bmp; the platform's lookup ignores case.
    EXPECT_EQ(std::string(g_selectedPicture), std::string(kRoot) + "Images\\IMAGE.BMP");
    EXPECT_EQ(g_previewLoaded, 1);
    EXPECT_EQ(Text(dlg.Item(IDC_PICTURE_NAME)), "IMAGE.BMP");

    // An empty file named .BMP: named, but the empty screen.
    int hidden = static_cast<int>(std::find_if(items.begin(), items.end(), [](auto& i) { return i.first == "CACHE.BMP"; }) - items.begin());
    SelectListItem(dlg, hidden);
    EXPECT_EQ(g_previewLoaded, 0);
    EXPECT_EQ(Text(dlg.Item(IDC_PICTURE_NAME)), "CACHE.BMP");
    EXPECT_EQ(std::string(g_selectedPicture), std::string(kRoot) + "Images\\CACHE.BMP");

    // Another folder empties the list but keeps the choice.
    Open(dlg, "A:\\", {});
    EXPECT_EQ(Text(dlg.Item(IDC_PICTURE_NAME)), "CACHE.BMP");
}

// ---- The preview's geometry ----

TEST(PreviewGeometry, ScalesByTheScreenAndTilesFromOnePixelIn)
{
    const SIZE frame = {120, 90}, screen = {1200, 900};
    SIZE size = PreviewSize(frame, {300, 150}, screen);
    EXPECT_EQ(size.cx, 30);
    EXPECT_EQ(size.cy, 15);
    auto centred = PreviewOrigins(frame, size, false);
    ASSERT_EQ(centred.size(), 1u);
    EXPECT_EQ(centred[0].x, 45);
    EXPECT_EQ(centred[0].y, 37);

    auto tiles = PreviewOrigins(frame, size, true);
    std::vector<LONG> xs, ys;
    for (auto& p : tiles) {
        if (std::find(xs.begin(), xs.end(), p.x) == xs.end()) xs.push_back(p.x);
        if (std::find(ys.begin(), ys.end(), p.y) == ys.end()) ys.push_back(p.y);
    }
    EXPECT_EQ(xs, (std::vector<LONG>{1, 31, 61, 91, 121}));
    EXPECT_EQ(ys, (std::vector<LONG>{1, 16, 31, 46, 61, 76, 91}));
    EXPECT_EQ(tiles.size(), 35u);

    size = PreviewSize(frame, {2400, 1800}, screen);
    EXPECT_EQ(size.cx, 240);
    centred = PreviewOrigins(frame, size, false);
    EXPECT_EQ(centred[0].x, -60);
    EXPECT_EQ(centred[0].y, -45);

    // A picture that scales to nothing: no tiles, and the tiling ends.
    size = PreviewSize(frame, {5, 900}, screen);
    EXPECT_EQ(size.cx, 0);
    EXPECT_TRUE(PreviewOrigins(frame, size, true).empty());
    EXPECT_TRUE(PreviewOrigins(frame, size, false).empty());
}

// ---- Painting ----

TEST_F(Setup, PaintsThePictureCentredOrTiledOnTheScreen)
{
    const std::string path = std::string(kRoot) + "peint\\ROUGE.BMP";
    RECT desktop;
    GetClientRect(GetDesktopWindow(), &desktop);
    // A quarter of the screen each way: a quarter of the frame.
    WriteBitmap(path, desktop.right / 4, desktop.bottom / 4, RGB(255, 0, 0));
    Resident dlg;
    dlg.Tray(WM_LBUTTONDOWN);
    Open(dlg, "C:\\", {"mirval-tests", "peint"});
    HWND frame = dlg.Item(IDC_SCREEN_FRAME);
    RECT client;
    GetClientRect(frame, &client);
    POINT middle = {client.right / 2, client.bottom / 2}, corner = {3, 3};
    ClientToScreen(frame, &middle);
    ClientToScreen(frame, &corner);

    HDC screen = GetDC(nullptr);
    COLORREF empty = GetPixel(screen, middle.x, middle.y);
    ReleaseDC(nullptr, screen);
    EXPECT_NE(empty, RGB(255, 0, 0));

    SelectListItem(dlg, 0);
    EXPECT_EQ(WaitForScreenPixel(middle.x, middle.y, RGB(255, 0, 0)), RGB(255, 0, 0));
    EXPECT_NE(WaitForScreenPixel(corner.x, corner.y, RGB(255, 0, 0), 500), RGB(255, 0, 0));

    SendMessageA(dlg.Item(IDC_MOSAIQUE), BM_CLICK, 0, 0);
    EXPECT_EQ(WaitForScreenPixel(corner.x, corner.y, RGB(255, 0, 0)), RGB(255, 0, 0));
    // Tiles stand one pixel in: the frame's first row and column are not painted over.
    POINT edge = {0, 0};
    ClientToScreen(frame, &edge);
    EXPECT_NE(WaitForScreenPixel(edge.x, edge.y, RGB(255, 0, 0), 300), RGB(255, 0, 0));

    SendMessageA(dlg.Item(IDC_CENTRE), BM_CLICK, 0, 0);
    EXPECT_NE(WaitForScreenPixel(corner.x, corner.y, empty), RGB(255, 0, 0));
    EXPECT_EQ(g_previewLoaded, 1) << "switching repaints, it does not reload";
}

// ---- Loading and palettes ----

class Preview : public ::testing::Test {
protected:
    static std::string Write(const char* name, const std::string& bytes)
    {
        std::string path = std::string(kRoot) + "palettes\\" + name;
        CreateDirectoryA(kRoot, nullptr);
        CreateDirectoryA((std::string(kRoot) + "palettes").c_str(), nullptr);
        WriteFileBytes(path, bytes);
        return path;
    }
    CMirvalDlg m_dlg;
};

TEST_F(Preview, PalettesFollowTheColourTable)
{
    HDC screen = GetDC(nullptr);
    HPALETTE halftone = CreateHalftonePalette(screen);
    ReleaseDC(nullptr, screen);
    WORD halftoneEntries = 0;
    GetObjectA(halftone, sizeof halftoneEntries, &halftoneEntries);
    DeleteObject(halftone);

    // Wine's DIB sections report the whole table of 2^bits entries, whatever count
    // the file gives (0 marks those cases); the file's own colours come first.
    struct { const char* name; int bits; DWORD used; int table; int entries; } cases[] = {
        {"used20.bmp", 8, 20, 20, 0},
        {"four.bmp", 4, 0, 16, 16},
        {"mono.bmp", 1, 0, 2, 2},
        {"sixteen.bmp", 16, 0, 0, halftoneEntries},
        {"truecolour.bmp", 24, 0, 0, halftoneEntries},
        {"thirtytwo.bmp", 32, 0, 0, halftoneEntries},
        // Deep pictures have no table to read their stated colours from.
        {"deep-used.bmp", 24, 100, 0, halftoneEntries},
    };
    for (const auto& c : cases) {
        std::string path = Write(c.name, Dib(Header(16, 16, c.bits, c.used), ColourTable(c.table),
                                             Pixels(16, 16, c.bits)));
        ASSERT_TRUE(m_dlg.LoadPreviewPicture(path.c_str())) << c.name;
        DIBSECTION dib = {};
        m_dlg.m_bmpPicture.GetObject(&dib);
        int entries = c.entries ? c.entries : dib.dsBmih.biClrUsed ? int(dib.dsBmih.biClrUsed) : 1 << c.bits;
        EXPECT_EQ(m_dlg.m_palPicture.GetEntryCount(), entries) << c.name;
        if (c.table) {
            PALETTEENTRY last;
            GetPaletteEntries(m_dlg.m_palPicture, c.table - 1, 1, &last);
            int i = c.table - 1;
            EXPECT_EQ(RGB(last.peRed, last.peGreen, last.peBlue), RGB(255 - i, 2 * i, i)) << c.name;
        }
    }

    // A failed load keeps the palette it had.
    HGDIOBJ palette = m_dlg.m_palPicture.GetSafeHandle();
    EXPECT_FALSE(m_dlg.LoadPreviewPicture((std::string(kRoot) + "absent.bmp").c_str()));
    EXPECT_EQ(m_dlg.m_palPicture.GetSafeHandle(), palette);
    EXPECT_EQ(m_dlg.m_bmpPicture.GetSafeHandle(), nullptr);
}

TEST_F(Preview, BadBitmapsLoadWhatThePlatformReadsAndLeakNothing)
{
    const std::string good = Dib(Header(16, 16, 24), "", Pixels(16, 16, 24));
    BITMAPINFOHEADER absurd = Header(100000, 100000, 24);
    BITMAPINFOHEADER zero = Header(0, 0, 24);
    BITMAPINFOHEADER manyColours = Header(16, 16, 8, 1000);
    BITMAPINFOHEADER overBits = Header(16, 16, 4, 300);
    BITMAPINFOHEADER rle = Header(4, 2, 8, 2, BI_RLE8);
    BITMAPINFOHEADER fields = Header(4, 4, 16, 0, BI_BITFIELDS);
    BITMAPCOREHEADER core = {sizeof core, 4, 4, 1, 24};
    BITMAPFILEHEADER coreFile = {0x4D42, 0, 0, 0, sizeof coreFile + sizeof core};
    struct { const char* name; std::string bytes; bool unreadable; } cases[] = {
        {"empty.bmp", "", true},
        {"header-only.bmp", good.substr(0, sizeof(BITMAPFILEHEADER)), true},
        {"zero-sized.bmp", Dib(zero, "", ""), true},
        {"absurd.bmp", Dib(absurd, "", Pixels(16, 16, 24)), true},
        {"text.BMP", "Ceci n'est pas une image.\r\n", true},
        // What the platform makes of these decides; none may overflow or crash.
        {"truncated.bmp", good.substr(0, good.size() / 3), false},
        {"many-colours.bmp", Dib(manyColours, ColourTable(256), Pixels(16, 16, 8)), false},
        {"over-bits.bmp", Dib(overBits, ColourTable(16), Pixels(16, 16, 4)), false},
        {"rle8.bmp", Dib(rle, ColourTable(2), std::string("\x04\x01\x00\x00\x04\x00\x00\x01", 8)), false},
        {"bitfields.bmp", Dib(fields, Bytes(0xF800u) + Bytes(0x07E0u) + Bytes(0x001Fu), Pixels(4, 4, 16)), false},
        {"os2.bmp", Bytes(coreFile) + Bytes(core) + Pixels(4, 4, 24), false},
    };
    for (const auto& c : cases) {
        std::string path = Write(c.name, c.bytes);
        HANDLE bare = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
        const bool readable = bare != nullptr;
        if (bare) DeleteObject(bare);
        if (c.unreadable) {
            EXPECT_FALSE(readable) << c.name;
        }
        EXPECT_EQ(m_dlg.LoadPreviewPicture(path.c_str()) != FALSE, readable) << c.name;
        EXPECT_EQ(m_dlg.m_bmpPicture.GetSafeHandle() != nullptr, readable) << c.name;
        if (readable) {
            int entries = m_dlg.m_palPicture.GetEntryCount();
            EXPECT_TRUE(entries >= 1 && entries <= 256) << c.name << ": " << entries;
        }
    }

    // A thousand loads: each picture and palette is released when replaced.
    std::string deep = Write("deep.bmp", good);
    std::string table = Write("table.bmp", Dib(Header(16, 16, 8, 20), ColourTable(20), Pixels(16, 16, 8)));
    PROCESS_MEMORY_COUNTERS before = {}, after = {};
    m_dlg.LoadPreviewPicture(deep.c_str());
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    for (int i = 0; i < 1000; ++i) {
        HGDIOBJ bitmap = m_dlg.m_bmpPicture.GetSafeHandle(), palette = m_dlg.m_palPicture.GetSafeHandle();
        ASSERT_TRUE(m_dlg.LoadPreviewPicture((i % 2 ? deep : table).c_str()));
        ASSERT_EQ(GetObjectType(bitmap), 0u) << "load " << i << " kept the old picture";
        ASSERT_EQ(GetObjectType(palette), 0u) << "load " << i << " kept the old palette";
    }
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    EXPECT_LT(after.PagefileUsage, before.PagefileUsage + 1024 * 1024);
}

// ---- Trying a picture on the desktop ----

class Desktop : public Setup {
protected:
    void SetUp() override
    {
        Setup::SetUp();
        m_wallpaper = ReadValue(kDesktop, "Wallpaper");
        m_tile = ReadValue(kDesktop, "TileWallpaper");
    }
    void TearDown() override
    {
        Restore("Wallpaper", m_wallpaper);
        Restore("TileWallpaper", m_tile);
        Setup::TearDown();
    }
    static void Restore(const char* name, const RegValue& v)
    {
        if (v.present) SetRawValue(kDesktop, name, v.type, v.data);
        else DeleteValue(kDesktop, name);
    }
    RegValue m_wallpaper, m_tile;
};

TEST_F(Desktop, ShowsThePictureUntilDismissedThenPutsBackExactlyWhatWasThere)
{
    const std::string picture = std::string(kRoot) + "essai\\VERT.BMP";
    const std::string before = std::string(kRoot) + "essai\\BLEU.BMP";
    WriteBitmap(picture, 16, 16, RGB(0, 255, 0));
    WriteBitmap(before, 16, 16, RGB(0, 0, 255));
    theApp.WriteProfileString(SECTION_MISC, VALUE_EVERY_DAY, "C:\\autre\\X.BMP");
    const std::string ours = ReadText(ProfileKey(SECTION_MISC).c_str(), VALUE_EVERY_DAY);

    struct Case {
        const char* what;
        RegValue wallpaper, tile;
        BOOL tileFlag;
        const char* shownTile;
    };
    auto sz = [](const std::string& s) { return RegValue{true, REG_SZ, s + '\0'}; };
    Case cases[] = {
        {"a tiled desktop, tried centred", sz(before), sz("1"), FALSE, "0"},
        {"a centred desktop, tried tiled", sz(before), sz("0"), TRUE, "1"},
        {"no values at all", RegValue{}, RegValue{}, TRUE, "1"},
        {"a wallpaper too long for the call", sz(std::string(300, 'w')), sz("0"), FALSE, "0"},
        {"other types", RegValue{true, REG_EXPAND_SZ, before + '\0'}, RegValue{true, REG_DWORD, std::string("\1\0\0\0", 4)}, FALSE, "0"},
    };
    for (const auto& c : cases) {
        Restore("Wallpaper", c.wallpaper);
        Restore("TileWallpaper", c.tile);
        std::string during, duringTile;
        COLORREF seen = 0;
        MessageBoxAnswer box(IDOK, [&] {
            during = ReadText(kDesktop, "Wallpaper");
            duringTile = ReadText(kDesktop, "TileWallpaper");
            seen = WaitForScreenPixel(10, 10, RGB(0, 255, 0));   // clear of the box
        });
        EXPECT_TRUE(TryWallpaper(picture.c_str(), c.tileFlag)) << c.what;
        ASSERT_TRUE(box.Answered()) << c.what;
        EXPECT_EQ(box.caption, "Test");
        EXPECT_EQ(box.text, "Terminer !");
        EXPECT_EQ(during, picture) << c.what;
        EXPECT_EQ(duringTile, c.shownTile) << c.what;
        if (c.tileFlag) {
            EXPECT_EQ(seen, RGB(0, 255, 0)) << c.what;
        }

        RegValue w = ReadValue(kDesktop, "Wallpaper"), t = ReadValue(kDesktop, "TileWallpaper");
        EXPECT_EQ(w.present, c.wallpaper.present) << c.what;
        EXPECT_EQ(w.type, c.wallpaper.type) << c.what;
        EXPECT_EQ(w.data, c.wallpaper.data) << c.what;
        EXPECT_EQ(t.present, c.tile.present) << c.what;
        EXPECT_EQ(t.type, c.tile.type) << c.what;
        EXPECT_EQ(t.data, c.tile.data) << c.what;
    }
    EXPECT_EQ(ReadText(ProfileKey(SECTION_MISC).c_str(), VALUE_EVERY_DAY), ours);
}

TEST_F(Desktop, ApercuHidesTheDialogAndTriesTheListsChoice)
{
    const std::string picture = std::string(kRoot) + "apercu\\VERT.BMP";
    WriteBitmap(picture, 16, 16, RGB(0, 255, 0));
    SetText(kDesktop, "Wallpaper", "");
    Resident dlg;
    dlg.Tray(WM_LBUTTONDOWN);

    // Nothing chosen yet: the empty path, as it is.
    {
        std::string during = "<unread>";
        bool hidden = false;
        MessageBoxAnswer box(IDOK, [&] {
            during = ReadText(kDesktop, "Wallpaper");
            hidden = !dlg.Shown();
        });
        dlg.Post(WM_COMMAND, IDC_APERCU);
        ASSERT_TRUE(box.Answered());
        EXPECT_EQ(during, "");
        EXPECT_TRUE(hidden);
    }
    EXPECT_TRUE(Eventually([&] { return dlg.Shown(); }));

    Open(dlg, "C:\\", {"mirval-tests", "apercu"});
    SelectListItem(dlg, 0);
    SendMessageA(dlg.Item(IDC_MOSAIQUE), BM_CLICK, 0, 0);
    std::string during, duringTile;
    MessageBoxAnswer box(IDOK, [&] {
        during = ReadText(kDesktop, "Wallpaper");
        duringTile = ReadText(kDesktop, "TileWallpaper");
    });
    dlg.Post(WM_COMMAND, IDC_APERCU);
    ASSERT_TRUE(box.Answered());
    EXPECT_EQ(during, picture);
    EXPECT_EQ(duringTile, "1");
    EXPECT_TRUE(Eventually([&] { return dlg.Shown(); }));
    EXPECT_EQ(ReadText(kDesktop, "Wallpaper"), "");
}

// ---- The calendar tree ----

namespace {
// Real input, through the platform, at screen points.
// (Only input events: a pointer already put in place by SetCursorPos would make
// the move no move, and the window under it would never hear of it.)
void MouseAt(POINT p, DWORD flags = 0)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(p.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(p.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
    SendInput(1, &in, sizeof in);
    Sleep(40);
}

void Key(WORD vk)
{
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof in[0]);
    Sleep(100);
}

POINT Centre(HWND control, const RECT& r)
{
    POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(control, &p);
    return p;
}

POINT NodePoint(HWND tree, HTREEITEM item)
{
    RECT r = {};
    TreeView_GetItemRect(tree, item, &r, TRUE);
    return Centre(tree, r);
}

POINT ListItemPoint(HWND list, int index)
{
    RECT r = {};
    ListView_GetItemRect(list, index, &r, LVIR_LABEL);
    return Centre(list, r);
}

void Click(POINT p)
{
    MouseAt(p);
    MouseAt(p, MOUSEEVENTF_LEFTDOWN);
    MouseAt(p, MOUSEEVENTF_LEFTUP);
    Sleep(100);
}

// Presses on a list item and moves off it in steps, as a hand does; the list
// then reports the drag's beginning. The button stays down.
void StartDrag(POINT from)
{
    MouseAt(from);
    MouseAt(from, MOUSEEVENTF_LEFTDOWN);
    for (int i = 1; i <= 5; ++i) MouseAt({from.x + 3 * i, from.y + 2 * i});
}

void DragTo(POINT to)
{
    POINT at;
    GetCursorPos(&at);
    for (int i = 1; i <= 6; ++i)
        MouseAt({at.x + (to.x - at.x) * i / 6, at.y + (to.y - at.y) * i / 6});
    Sleep(100);
}

void Release(POINT at)
{
    MouseAt(at, MOUSEEVENTF_LEFTUP);
    Sleep(150);
}

// The dialog's thread may still be behind on the pointer's moves: the highlight
// is read once it has caught up, or after a while.
HTREEITEM HighlightOnceSettled(HWND tree, HTREEITEM expected)
{
    HTREEITEM seen = nullptr;
    Eventually([&] { return (seen = TreeView_GetDropHilight(tree)) == expected; }, 2000);
    return seen;
}

HWND CaptureOf(HWND window)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndCapture;
}

class Calendar : public Setup {
protected:
    void SetUp() override
    {
        Setup::SetUp();
        m_folder = std::string(kRoot) + "calendrier\\";
        WriteBitmap(m_folder + "MARDI.BMP", 16, 16, RGB(0, 255, 0));
        WriteBitmap(m_folder + "DECEMBRE.BMP", 16, 16, RGB(0, 0, 255));
        const std::string week = ProfileKey(SECTION_WEEK), month = ProfileKey(SECTION_MONTH);
        SetText(week.c_str(), "Lundi", m_folder + "minuscule.bmp");
        SetText(week.c_str(), "Mardi", m_folder + "MARDI.BMP");
        SetText(week.c_str(), "MosaMardi", "1");
        SetText(month.c_str(), "D\xE9""cembre", m_folder + "DECEMBRE.BMP");
        SetText(month.c_str(), "MosaD\xE9""cembre", "0");
        // The pictures dragged in the tests.
        WriteBitmap(std::string(kRoot) + "glisser\\ETE.BMP", 16, 16, RGB(255, 0, 0));
        LoadSchedule();
    }

    HTREEITEM Node(Resident& dlg, const char* root, const char* key = nullptr, bool picture = false)
    {
        HWND tree = dlg.Item(IDC_CALENDAR_TREE);
        HTREEITEM node = Child(tree, nullptr, root);
        if (key) node = Child(tree, node, key);
        if (picture) node = node ? TreeView_GetChild(tree, node) : nullptr;
        return node;
    }
    std::string m_folder;
};
}

TEST_F(Calendar, ShowsTheWeekAndTheMonthsWithTheirPictures)
{
    Resident dlg;
    HWND tree = dlg.Item(IDC_CALENDAR_TREE);
    EXPECT_EQ(Children(tree, nullptr), (std::vector<std::string>{"Semaine", "Mois"}));
    HTREEITEM week = Node(dlg, "Semaine"), months = Node(dlg, "Mois");
    EXPECT_EQ(Image(tree, week), 0);
    EXPECT_EQ(Image(tree, months), 1);
    EXPECT_TRUE(TreeView_GetItemState(tree, week, TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_FALSE(TreeView_GetItemState(tree, months, TVIS_EXPANDED) & TVIS_EXPANDED);

    int slot = FIRST_WEEKDAY_SLOT;
    for (HTREEITEM root : {week, months}) {
        for (HTREEITEM n = TreeView_GetChild(tree, root); n; n = TreeView_GetNextSibling(tree, n), ++slot) {
            SCOPED_TRACE(CalendarKey(slot));
            EXPECT_EQ(Children(tree, root)[static_cast<size_t>(slot - (root == week ? 1 : 8))], CalendarKey(slot));
            EXPECT_EQ(Image(tree, n), slot + 1);
            HTREEITEM picture = TreeView_GetChild(tree, n);
            const char* file = g_pSchedule->slot[slot].file;
            EXPECT_EQ(picture != nullptr, file[0] != '\0');
            if (picture) {
                EXPECT_EQ(Children(tree, n), std::vector<std::string>{file});
                EXPECT_EQ(Image(tree, picture), 22);
            }
        }
    }
    EXPECT_EQ(slot, LAST_SLOT + 1);
    EXPECT_EQ(Children(tree, Node(dlg, "Mois", "D\xE9""cembre")), std::vector<std::string>{"DECEMBRE.BMP"});
    EXPECT_EQ(Children(tree, Node(dlg, "Semaine", "Lundi")), std::vector<std::string>{"minuscule.bmp"});
}

TEST_F(Calendar, APictureNodeShowsItsPictureAndTileMode)
{
    Resident dlg;
    dlg.Tray(WM_LBUTTONDOWN);
    HWND tree = dlg.Item(IDC_CALENDAR_TREE);
    TreeView_SelectItem(tree, Node(dlg, "Semaine", "Mardi", true));
    EXPECT_EQ(g_previewLoaded, 1);
    EXPECT_TRUE(dlg.Checked(IDC_MOSAIQUE));
    EXPECT_FALSE(dlg.Checked(IDC_CENTRE));

    TreeView_SelectItem(tree, Node(dlg, "Mois", "D\xE9""cembre", true));
    EXPECT_EQ(g_previewLoaded, 1);
    EXPECT_FALSE(dlg.Checked(IDC_MOSAIQUE));
    EXPECT_TRUE(dlg.Checked(IDC_CENTRE));

    // Roots, days, months and a name not in capitals change nothing.
    SendMessageA(dlg.Item(IDC_MOSAIQUE), BM_CLICK, 0, 0);
    for (HTREEITEM node : {Node(dlg, "Semaine"), Node(dlg, "Semaine", "Mardi"), Node(dlg, "Semaine", "Jeudi"),
                           Node(dlg, "Semaine", "Lundi", true)}) {
        g_previewLoaded = 7;
        TreeView_SelectItem(tree, node);
        EXPECT_EQ(g_previewLoaded, 7);
        EXPECT_TRUE(dlg.Checked(IDC_MOSAIQUE));
    }
    EXPECT_TRUE(g_selectedPicture.IsEmpty()) << "the list's choice is left alone";
}

TEST_F(Calendar, DeleteAsksThenEmptiesTheSlotAndSaves)
{
    Resident dlg;
    dlg.Tray(WM_LBUTTONDOWN);
    HWND tree = dlg.Item(IDC_CALENDAR_TREE);
    const std::string week = ProfileKey(SECTION_WEEK);
    // An unsaved change made earlier, which the deletion's save writes too.
    lstrcpyA(g_pSchedule->slot[4].folder, "C:\\");
    lstrcpyA(g_pSchedule->slot[4].file, "JEUDI.BMP");
    lstrcpyA(g_pSchedule->slot[4].mosa, "1");

    // Nodes that are not pictures are never deleted, and nothing is asked.
    for (HTREEITEM node : {Node(dlg, "Semaine"), Node(dlg, "Semaine", "Mardi"), Node(dlg, "Mois", "Mai")}) {
        Click(NodePoint(tree, node));
        MessageBoxAnswer none(IDYES, 600);
        Key(VK_DELETE);
        EXPECT_FALSE(none.Answered());
    }
    TreeView_Expand(tree, Node(dlg, "Semaine", "Mardi"), TVE_EXPAND);
    Click(NodePoint(tree, Node(dlg, "Semaine", "Mardi", true)));
    {
        MessageBoxAnswer no(IDNO);
        Key(VK_DELETE);
        ASSERT_TRUE(no.Answered());
        EXPECT_EQ(no.text, "Confimez la suppression\nde cette image");
        EXPECT_EQ(no.caption, "Confirmation");
        EXPECT_EQ(no.style & 0xF, static_cast<UINT>(MB_YESNO) & 0xF);
    }
    EXPECT_TRUE(Node(dlg, "Semaine", "Mardi", true));
    EXPECT_EQ(ReadText(week.c_str(), "Jeudi"), "<missing>") << "No saves nothing";

    {
        MessageBoxAnswer yes(IDYES);
        Key(VK_DECIMAL);
        ASSERT_TRUE(yes.Answered());
    }
    EXPECT_EQ(Node(dlg, "Semaine", "Mardi", true), nullptr);
    EXPECT_STREQ(g_pSchedule->slot[2].file, "");
    EXPECT_EQ(ReadText(week.c_str(), "Mardi"), "");
    EXPECT_EQ(ReadText(week.c_str(), "MosaMardi"), "");
    EXPECT_EQ(ReadText(week.c_str(), "Jeudi"), "C:\\JEUDI.BMP");
    EXPECT_EQ(ReadText(ProfileKey(SECTION_MONTH).c_str(), "D\xE9""cembre"), m_folder + "DECEMBRE.BMP");
    EXPECT_TRUE(dlg.Checked(IDC_MOSAIQUE)) << "the radio buttons stay as they were";

    // A lower-case name is still a picture node to Delete.
    TreeView_Expand(tree, Node(dlg, "Semaine", "Lundi"), TVE_EXPAND);
    Click(NodePoint(tree, Node(dlg, "Semaine", "Lundi", true)));
    MessageBoxAnswer yes(IDYES);
    Key(VK_DELETE);
    ASSERT_TRUE(yes.Answered());
    EXPECT_EQ(ReadText(week.c_str(), "Lundi"), "");
}

TEST_F(Calendar, DropsFollowTheNodeUnderThePointer)
{
    Resident dlg;
    dlg.Tray(WM_LBUTTONDOWN);
    HWND tree = dlg.Item(IDC_CALENDAR_TREE), list = dlg.Item(IDC_PICTURE_LIST);
    Open(dlg, "C:\\", {"mirval-tests", "glisser"});
    ASSERT_EQ(ListView_GetItemCount(list), 1);
    const std::string before = Snapshot(ProfileKey(SECTION_WEEK).c_str()) + Snapshot(ProfileKey(SECTION_MONTH).c_str());
    auto drop = [&](HTREEITEM target, int answer, bool asked) {
        POINT to = NodePoint(tree, target);
        MessageBoxAnswer box(answer, asked ? 10000 : 800);
        StartDrag(ListItemPoint(list, 0));
        DragTo(to);
        Release(to);
        EXPECT_EQ(box.Answered(), asked);
        if (asked) {
            EXPECT_EQ(box.text, "Voulez vous remplacer\nl'image");
            EXPECT_EQ(box.caption, "Attention");
        }
        EXPECT_EQ(HighlightOnceSettled(tree, nullptr), nullptr);
        EXPECT_EQ(CaptureOf(dlg.m_hwnd), nullptr);
    };
    const std::string folder = std::string(kRoot) + "glisser\\";

    // An empty weekday: taken at once, the node unfolds; the tile flag is "&Mosaïque"'s.
    drop(Node(dlg, "Semaine", "Vendredi"), IDYES, false);
    EXPECT_EQ(Children(tree, Node(dlg, "Semaine", "Vendredi")), std::vector<std::string>{"ETE.BMP"});
    EXPECT_TRUE(TreeView_GetItemState(tree, Node(dlg, "Semaine", "Vendredi"), TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_EQ(Image(tree, Node(dlg, "Semaine", "Vendredi", true)), 22);
    EXPECT_EQ(std::string(g_pSchedule->slot[5].folder), folder);
    EXPECT_STREQ(g_pSchedule->slot[5].file, "ETE.BMP");
    EXPECT_STREQ(g_pSchedule->slot[5].mosa, "0");

    // A day with a picture asks; No keeps it.
    drop(Node(dlg, "Semaine", "Mardi"), IDNO, true);
    EXPECT_EQ(Children(tree, Node(dlg, "Semaine", "Mardi")), std::vector<std::string>{"MARDI.BMP"});
    EXPECT_STREQ(g_pSchedule->slot[2].file, "MARDI.BMP");
    // Yes replaces, tiled this time.
    SendMessageA(dlg.Item(IDC_MOSAIQUE), BM_CLICK, 0, 0);
    drop(Node(dlg, "Semaine", "Mardi"), IDYES, true);
    EXPECT_EQ(Children(tree, Node(dlg, "Semaine", "Mardi")), std::vector<std::string>{"ETE.BMP"});
    EXPECT_STREQ(g_pSchedule->slot[2].mosa, "1");

    // A picture node always asks, the same picture too; Yes replaces its month's.
    TreeView_Expand(tree, Node(dlg, "Mois"), TVE_EXPAND);
    TreeView_Expand(tree, Node(dlg, "Mois", "D\xE9""cembre"), TVE_EXPAND);
    TreeView_EnsureVisible(tree, Node(dlg, "Mois", "D\xE9""cembre", true));
    drop(Node(dlg, "Mois", "D\xE9""cembre", true), IDYES, true);
    EXPECT_EQ(Children(tree, Node(dlg, "Mois", "D\xE9""cembre")), std::vector<std::string>{"ETE.BMP"});
    EXPECT_STREQ(g_pSchedule->slot[19].file, "ETE.BMP");
    drop(Node(dlg, "Mois", "D\xE9""cembre", true), IDNO, true);
    EXPECT_STREQ(g_pSchedule->slot[19].file, "ETE.BMP");

    // Roots take nothing, and nothing is asked.
    // (The months folded again, so that every node shows and nothing scrolls.)
    // "Semaine" is the tree's selected node, which the platform's tree does not
    // drop-highlight: the release over it must still not fall on another node.
    TreeView_Expand(tree, Node(dlg, "Mois"), TVE_COLLAPSE);
    ASSERT_EQ(TreeView_GetSelection(tree), Node(dlg, "Semaine"));
    ScheduleTable kept = *g_pSchedule;
    drop(Node(dlg, "Semaine"), IDYES, false);
    drop(Node(dlg, "Mois"), IDYES, false);
    for (int i = 1; i <= LAST_SLOT; ++i)
        EXPECT_EQ(memcmp(&kept.slot[i], &g_pSchedule->slot[i], sizeof kept.slot[i]), 0) << CalendarKey(i);

    // Nothing reached the registry: that waits for a save.
    EXPECT_EQ(Snapshot(ProfileKey(SECTION_WEEK).c_str()) + Snapshot(ProfileKey(SECTION_MONTH).c_str()), before);
}

TEST_F(Calendar, ADragEndsWithNothingDroppedOffTheNodes)
{
    Resident dlg;
    dlg.Tray(WM_LBUTTONDOWN);
    HWND tree = dlg.Item(IDC_CALENDAR_TREE), list = dlg.Item(IDC_PICTURE_LIST);
    Open(dlg, "C:\\", {"mirval-tests", "glisser"});
    ScheduleTable kept = *g_pSchedule;
    HTREEITEM friday = Node(dlg, "Semaine", "Vendredi");
    RECT treeRect;
    GetClientRect(tree, &treeRect);
    POINT belowNodes = {treeRect.right / 2, treeRect.bottom - 5};
    ClientToScreen(tree, &belowNodes);

    // Hovering a node highlights it; moving off the tree removes the highlight;
    // the release there drops nothing.
    StartDrag(ListItemPoint(list, 0));
    DragTo(NodePoint(tree, friday));
    EXPECT_EQ(HighlightOnceSettled(tree, friday), friday);
    EXPECT_EQ(CaptureOf(dlg.m_hwnd), dlg.m_hwnd);
    POINT onList = ListItemPoint(list, 0);
    DragTo(onList);
    EXPECT_EQ(HighlightOnceSettled(tree, nullptr), nullptr);
    Release(onList);

    // Below the last node: no node, nothing dropped.
    StartDrag(ListItemPoint(list, 0));
    DragTo(belowNodes);
    Release(belowNodes);

    // Escape: the drag ends, the program does not.
    StartDrag(ListItemPoint(list, 0));
    DragTo(NodePoint(tree, friday));
    Key(VK_ESCAPE);
    EXPECT_TRUE(Eventually([&] { return CaptureOf(dlg.m_hwnd) == nullptr; }, 2000));
    EXPECT_FALSE(dlg.m_ended);
    EXPECT_EQ(HighlightOnceSettled(tree, nullptr), nullptr);
    Release(NodePoint(tree, friday));

    // The capture lost, as to a task switch: the same.
    StartDrag(ListItemPoint(list, 0));
    DragTo(NodePoint(tree, friday));
    dlg.Send(WM_CANCELMODE);
    EXPECT_EQ(CaptureOf(dlg.m_hwnd), nullptr);
    EXPECT_EQ(HighlightOnceSettled(tree, nullptr), nullptr);
    Release(NodePoint(tree, friday));
    EXPECT_EQ(memcmp(&kept, g_pSchedule, sizeof kept), 0) << "something was dropped";
    EXPECT_EQ(TreeView_GetChild(tree, friday), nullptr);

    // A drag image the list cannot make (here for an item it does not hold): no
    // drag begins, so no capture and nothing to drop.
    NMLISTVIEW begin = {};
    begin.hdr.hwndFrom = list;
    begin.hdr.idFrom = IDC_PICTURE_LIST;
    begin.hdr.code = LVN_BEGINDRAG;
    begin.iItem = 99;
    dlg.Send(WM_NOTIFY, IDC_PICTURE_LIST, reinterpret_cast<LPARAM>(&begin));
    EXPECT_EQ(CaptureOf(dlg.m_hwnd), nullptr);
    EXPECT_FALSE(dlg.m_dlg->m_bDragging);

    // And the next drag works.
    StartDrag(ListItemPoint(list, 0));
    DragTo(NodePoint(tree, friday));
    Release(NodePoint(tree, friday));
    EXPECT_STREQ(g_pSchedule->slot[5].file, "ETE.BMP");
}

TEST_F(Calendar, TheLongestNameIsCutToTheSlotOnTheDrop)
{
    Resident dlg;
    dlg.Tray(WM_LBUTTONDOWN);
    HWND tree = dlg.Item(IDC_CALENDAR_TREE), list = dlg.Item(IDC_PICTURE_LIST);
    CreateDirectoryA((std::string(kRoot) + "long").c_str(), nullptr);
    std::wstring wide = L"\\\\?\\C:\\mirval-tests\\long\\" + std::wstring(251, L'l') + L".bmp";
    CloseHandle(CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    Open(dlg, "C:\\", {"mirval-tests", "long"});
    ASSERT_EQ(ListView_GetItemCount(list), 1);
    POINT to = NodePoint(tree, Node(dlg, "Semaine", "Samedi"));
    StartDrag(ListItemPoint(list, 0));
    DragTo(to);
    Release(to);
    EXPECT_EQ(std::string(g_pSchedule->slot[6].file), std::string(251, 'L') + ".BM");
    EXPECT_EQ(std::string(g_pSchedule->slot[6].folder), std::string(kRoot) + "long\\");
}
