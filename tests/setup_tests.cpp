// The setup dialog's controls on the test world's drives and files: the folder
// tree and picture list, the preview, the desktop test, the calendar and drops.
#include "tests/support/support.h"
#include <psapi.h>
#include <algorithm>

namespace {
const std::string kImages = std::string(kFiles) + "Images\\";

template <class T>
std::string Bytes(const T& value)
{
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

BITMAPINFOHEADER Header(int width, int height, int bits, DWORD used = 0, DWORD compression = BI_RGB)
{
    return {sizeof(BITMAPINFOHEADER), width, height, 1, static_cast<WORD>(bits), compression, 0, 0, 0, used};
}

// A bitmap file from its parts, the file header worked out from them.
std::string Dib(const BITMAPINFOHEADER& info, const std::string& table, const std::string& bits)
{
    BITMAPFILEHEADER file = {0x4D42, 0, 0, 0, static_cast<DWORD>(14 + info.biSize + table.size())};
    file.bfSize = file.bfOffBits + static_cast<DWORD>(bits.size());
    return Bytes(file) + Bytes(info).substr(0, info.biSize) + table + bits;
}

std::string Pixels(int width, int height, int bits)
{
    return std::string(static_cast<size_t>((width * bits + 31) / 32 * 4 * height), '\x01');
}

std::string ColourTable(int n)   // entry i is RGB(255 - i, 2i, i)
{
    std::string table;
    for (int i = 0; i < n; ++i) table += Bytes(RGBQUAD{BYTE(i), BYTE(2 * i), BYTE(255 - i), 0});
    return table;
}

// Files cut short: in their pixels, in their colour table, their pixels past the end.
std::vector<std::pair<std::string, std::string>> CutBitmaps()
{
    const std::string deep = Dib(Header(16, 16, 24), "", Pixels(16, 16, 24));
    const std::string table = Dib(Header(16, 16, 8), ColourTable(256), Pixels(16, 16, 8));
    std::string beyond = deep;
    beyond[10] = '\x7F';   // bfOffBits far past the end
    return {{"PIXELS.BMP", deep.substr(0, deep.size() - 40)},
            {"TABLE.BMP", table.substr(0, 14 + 40 + 100)},
            {"BEYOND.BMP", beyond}};
}

POINT Centre(HWND control, const RECT& r)
{
    return OnScreen(control, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
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

// Presses on a list item and moves off it in steps, as a hand does; the list then
// reports a drag. The button stays down until Release.
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
    for (int i = 1; i <= 6; ++i) MouseAt({at.x + (to.x - at.x) * i / 6, at.y + (to.y - at.y) * i / 6});
    Sleep(100);
}

void Release(POINT at)
{
    MouseAt(at, MOUSEEVENTF_LEFTUP);
    Sleep(150);
}

// The dialog's thread may still be behind on the pointer: read once caught up.
HTREEITEM Highlight(HWND tree, HTREEITEM expected)
{
    HTREEITEM seen = nullptr;
    Eventually([&] { return (seen = TreeView_GetDropHilight(tree)) == expected; }, 2000);
    return seen;
}

HWND CaptureOf(HWND window)
{
    GUITHREADINFO info = {sizeof info};
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndCapture;
}

class Setup : public FreshProfile {
protected:
    static void SetUpTestSuite()
    {
        for (const char* name : {"fond.bmp", "Image.Bmp", "ABCBMP", "bmp", "photo.dib"})
            WriteBitmap(kImages + name, 40, 30, RGB(0, 255, 0));
        WriteBytes(kImages + "LISEZMOI.TXT", "lisez-moi");
        SetFileAttributesA((kImages + "cache.bmp").c_str(), FILE_ATTRIBUTE_NORMAL);
        WriteBytes(kImages + "cache.bmp", "");
        SetFileAttributesA((kImages + "cache.bmp").c_str(), FILE_ATTRIBUTE_HIDDEN);
        // Wine's folder search gives names in the order of their code points, the
        // tree sorts them by the language's rules: "_base" and "été" tell the two apart.
        for (const char* sub : {"Zeta", ".cache", "alpha", "Cachette", "_base", "\xE9t\xE9", "mu"})
            CreateDirectoryA((kImages + sub).c_str(), nullptr);
        SetFileAttributesA((kImages + "Cachette").c_str(), FILE_ATTRIBUTE_HIDDEN);
        WriteBitmap(kImages + "alpha\\seule.bmp", 8, 8, RGB(0, 0, 255));
        WriteBitmap("E:\\racine.bmp", 8, 8, RGB(0, 0, 255));
        // The longest name the disk takes, past what the ANSI calls reach as a path.
        CreateDirectoryA((std::string(kFiles) + "long").c_str(), nullptr);
        std::wstring wide = L"\\\\?\\C:\\mirval-tests\\long\\" + std::wstring(251, L'l') + L".bmp";
        CloseHandle(CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        for (const auto& [name, bytes] : CutBitmaps()) WriteBytes(std::string(kFiles) + "abimees\\" + name, bytes);
        WriteBitmap(std::string(kFiles) + "glisser\\ETE.BMP", 16, 16, RGB(255, 0, 0));
    }
    void SetUp() override
    {
        FreshProfile::SetUp();
        StartUp();
    }
};
}

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
    // A floppy whose own label is never read, C:, a CD-ROM without a disc, a labelled disk.
    struct { const char* text; int image; } drives[] = {
        {"A:\\ Disquette ", 3}, {"C:\\  ", 1}, {"D:\\  ", 2}, {"E:\\ DONNEES ", 1}};
    for (const auto& d : drives) {
        HTREEITEM node = Node(tree, {std::string(d.text, 3)});
        EXPECT_EQ(NodeText(tree, node), d.text);
        EXPECT_EQ(NodeImage(tree, node), d.image) << d.text;
    }
    EXPECT_STREQ(g_pDriveTable[texts.size()].text, "") << "a record past the last drive";
}

TEST_F(Setup, AFolderListsItsPicturesInTheSearchsOrderAndItsFoldersSortedOnce)
{
    Resident dlg;
    HWND tree = dlg.Item(IDC_FOLDER_TREE), list = dlg.Item(IDC_PICTURE_LIST);
    std::vector<std::vector<std::string>> pictures;
    std::vector<std::string> folders;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((kImages + "*.*").c_str(), &entry);
    do {
        std::string name = entry.cFileName;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (name[0] != '.') folders.push_back(name);
        } else {
            CharUpperBuffA(&name[0], DWORD(name.size()));
            if (name.size() >= 3 && name.compare(name.size() - 3, 3, "BMP") == 0)
                pictures.push_back({name, kImages});
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    std::vector<std::string> sorted = folders;
    std::sort(sorted.begin(), sorted.end(), [](auto& a, auto& b) { return lstrcmpiA(a.c_str(), b.c_str()) < 0; });
    ASSERT_NE(folders, sorted) << "the search gives them sorted already: the sort goes unseen";

    for (int twice = 0; twice < 2; ++twice) {
        dlg.OpenFolder({"C:", "mirval-tests", "Images"});
        std::vector<std::vector<std::string>> listed;
        for (int i = 0; i < ListView_GetItemCount(list); ++i) listed.push_back(ListRow(list, i));
        EXPECT_EQ(listed, pictures);
        EXPECT_EQ(Children(tree, Node(tree, {"C:", "mirval-tests", "Images"})), sorted);
        dlg.OpenFolder({"C:", "mirval-tests", "Images", "alpha"});
    }
    EXPECT_EQ(ListRow(list, 0), (std::vector<std::string>{"SEULE.BMP", kImages + "alpha\\"}));
    EXPECT_EQ(TreeView_GetChild(tree, Node(tree, {"C:", "mirval-tests", "Images", "alpha"})), nullptr);
    std::vector<std::string> names;
    for (auto& p : pictures) names.push_back(p[0]);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"ABCBMP", "BMP", "CACHE.BMP", "FOND.BMP", "IMAGE.BMP"}));

    struct { std::vector<std::string> path; int count; std::vector<std::string> first; } others[] = {
        {{"E:"}, 1, {"RACINE.BMP", "E:\\"}},   // a drive's root
        {{"E:", "vingt-mille"}, 10000, {"P00000.BMP", "E:\\vingt-mille\\"}},
        {{"D:"}, 0, {"", ""}},                  // no disc
        {{"C:", "mirval-tests", "long"}, 1, {std::string(251, 'L') + ".BMP", std::string(kFiles) + "long\\"}},
    };
    for (const auto& o : others) {
        dlg.OpenFolder(o.path);
        EXPECT_EQ(ListView_GetItemCount(list), o.count) << o.path.back();
        EXPECT_EQ(ListRow(list, 0), o.first) << o.path.back();
    }
    EXPECT_EQ(TreeView_GetChild(tree, Node(tree, {"D:"})), nullptr);
}

TEST_F(Setup, AFolderPathOf255CharactersListsAndOneOf256ListsNothing)
{
    // The list's texts pass through 256 bytes: a longer folder would be cut.
    std::vector<std::string> chain = {"C:", "mirval-tests", "chemins"};
    std::string path = std::string(kFiles) + "chemins\\";
    CreateDirectoryA(path.c_str(), nullptr);
    for (int i = 0; i < 3; ++i) {
        chain.push_back(std::string(60, char('a' + i)));
        path += chain.back() + "\\";
        CreateDirectoryA(path.c_str(), nullptr);
    }
    for (size_t length : {255u, 256u}) {   // made before the parent is listed; past MAX_PATH
        const std::string folder = "\\\\?\\" + path + std::string(length - path.size() - 1, 'z');
        const std::wstring wide(folder.begin(), folder.end());
        CreateDirectoryW(wide.c_str(), nullptr);
        CloseHandle(CreateFileW((wide + L"\\Y.BMP").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    Resident dlg;
    for (size_t length : {255u, 256u}) {
        std::vector<std::string> folder = chain;
        folder.push_back(std::string(length - path.size() - 1, 'z'));
        dlg.OpenFolder(folder);
        EXPECT_EQ(ListView_GetItemCount(dlg.Item(IDC_PICTURE_LIST)), length == 255 ? 1 : 0) << length;
    }
}

TEST_F(Setup, ChoosingAPictureNamesItAndPreviewsItUnlessItCannotBeLoaded)
{
    Resident dlg;
    dlg.Tray(WM_LBUTTONDOWN);
    struct { std::vector<std::string> folder; std::string name; int loaded; } choices[] = {
        {{"C:", "mirval-tests", "Images"}, "IMAGE.BMP", 1},   // Image.Bmp on disk
        {{"C:", "mirval-tests", "Images"}, "CACHE.BMP", 0},   // empty
        {{"C:", "mirval-tests", "abimees"}, "PIXELS.BMP", 0},
        {{"C:", "mirval-tests", "abimees"}, "TABLE.BMP", 0},
        {{"C:", "mirval-tests", "abimees"}, "BEYOND.BMP", 0},
    };
    for (const auto& c : choices) {
        dlg.OpenFolder(c.folder);
        HWND list = dlg.Item(IDC_PICTURE_LIST);
        for (int i = 0; i < ListView_GetItemCount(list); ++i)
            if (ListRow(list, i)[0] == c.name) dlg.ChoosePicture(i);
        EXPECT_EQ(std::string(g_selectedPicture), ListRow(list, 0)[1] + c.name);
        EXPECT_EQ(Text(dlg.Item(IDC_PICTURE_NAME)), c.name);
        EXPECT_EQ(g_previewLoaded, c.loaded) << c.name;
    }
    dlg.OpenFolder({"A:"});   // another folder empties the list, the choice stays
    EXPECT_EQ(Text(dlg.Item(IDC_PICTURE_NAME)), "BEYOND.BMP");
}

TEST(PreviewGeometry, ScalesByTheScreenAndTilesFromOnePixelIn)
{
    const SIZE frame = {120, 90}, screen = {1200, 900};
    struct { SIZE picture; bool tiled; SIZE size; std::vector<POINT> origins; } cases[] = {
        {{300, 150}, false, {30, 15}, {{45, 37}}},
        {{2400, 1800}, false, {240, 180}, {{-60, -45}}},
        {{5, 900}, true, {0, 90}, {}},   // scales to nothing: no tiles, and the tiling ends
        {{600, 450}, true, {60, 45}, {{1, 1}, {61, 1}, {121, 1}, {1, 46}, {61, 46}, {121, 46},
                                     {1, 91}, {61, 91}, {121, 91}}},
    };
    for (const auto& c : cases) {
        SIZE size = PreviewSize(frame, c.picture, screen);
        EXPECT_EQ(std::make_pair(size.cx, size.cy), std::make_pair(c.size.cx, c.size.cy)) << c.picture.cx;
        std::vector<POINT> origins = PreviewOrigins(frame, size, c.tiled);
        ASSERT_EQ(origins.size(), c.origins.size()) << c.picture.cx;
        for (size_t i = 0; i < origins.size(); ++i)
            EXPECT_EQ(std::make_pair(origins[i].x, origins[i].y), std::make_pair(c.origins[i].x, c.origins[i].y));
    }
}

TEST_F(Setup, PaintsThePictureCentredOrTiledOnTheScreenFrame)
{
    RECT desktop;
    GetClientRect(GetDesktopWindow(), &desktop);
    // A quarter of the screen each way: a quarter of the frame.
    WriteBitmap(std::string(kFiles) + "peint\\ROUGE.BMP", desktop.right / 4, desktop.bottom / 4, RGB(255, 0, 0));
    Resident dlg;
    dlg.Tray(WM_LBUTTONDOWN);
    dlg.OpenFolder({"C:", "mirval-tests", "peint"});
    HWND frame = dlg.Item(IDC_SCREEN_FRAME);
    RECT client;
    GetClientRect(frame, &client);
    const POINT middle = OnScreen(frame, {client.right / 2, client.bottom / 2});
    const POINT corner = OnScreen(frame, {3, 3}), edge = OnScreen(frame, {0, 0});
    const COLORREF red = RGB(255, 0, 0), empty = ScreenPixel(middle, 0, 0);
    EXPECT_NE(empty, red);
    dlg.ChoosePicture(0);
    EXPECT_EQ(ScreenPixel(middle, red), red);
    EXPECT_NE(ScreenPixel(corner, red, 500), red) << "centred";
    dlg.Click(IDC_MOSAIQUE);
    EXPECT_EQ(ScreenPixel(corner, red), red) << "tiled";
    EXPECT_NE(ScreenPixel(edge, red, 300), red) << "tiles stand one pixel in";
    dlg.Click(IDC_CENTRE);
    EXPECT_NE(ScreenPixel(corner, empty), red);
}

TEST(Preview, PalettesFollowTheColourTable)
{
    CMirvalDlg dlg;
    HDC screen = GetDC(nullptr);
    HPALETTE halftone = CreateHalftonePalette(screen);
    ReleaseDC(nullptr, screen);
    WORD halftoneEntries = 0;
    GetObjectA(halftone, sizeof halftoneEntries, &halftoneEntries);
    DeleteObject(halftone);
    // Wine's DIB sections report 2^bits colours used whatever the file says, so an
    // 8-bit picture of 20 colours gets 256 entries here: its own 20 come first.
    struct { int bits; DWORD used; int table, entries; } cases[] = {
        {8, 20, 20, 256}, {4, 0, 16, 16}, {1, 0, 2, 2}, {16, 0, 0, halftoneEntries},
        {24, 0, 0, halftoneEntries}, {32, 0, 0, halftoneEntries}, {24, 100, 0, halftoneEntries},
    };
    for (const auto& c : cases) {
        const std::string path = std::string(kFiles) + "palettes\\P" + std::to_string(c.bits) + ".BMP";
        WriteBytes(path, Dib(Header(16, 16, c.bits, c.used), ColourTable(c.table), Pixels(16, 16, c.bits)));
        ASSERT_TRUE(dlg.LoadPreviewPicture(path.c_str())) << c.bits;
        EXPECT_EQ(dlg.m_palPicture.GetEntryCount(), c.entries) << c.bits;
        std::vector<PALETTEENTRY> entries(static_cast<size_t>(c.table));
        GetPaletteEntries(dlg.m_palPicture, 0, c.table, entries.data());
        for (int i = 0; i < c.table; ++i)
            EXPECT_EQ(RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue), RGB(255 - i, 2 * i, i))
                << c.bits << " bits, entry " << i;
    }
    HGDIOBJ palette = dlg.m_palPicture.GetSafeHandle();
    EXPECT_FALSE(dlg.LoadPreviewPicture((std::string(kFiles) + "absent.bmp").c_str()));
    EXPECT_EQ(dlg.m_palPicture.GetSafeHandle(), palette) << "a failed load keeps the palette";
    EXPECT_EQ(dlg.m_bmpPicture.GetSafeHandle(), nullptr);
}

TEST(Preview, BadBitmapsAreRefusedGoodOnesLoadAndNothingLeaks)
{
    CMirvalDlg dlg;
    BITMAPINFOHEADER rle = Header(4, 2, 8, 2, BI_RLE8), fields = Header(4, 4, 16, 0, BI_BITFIELDS);
    rle.biSizeImage = 8;
    BITMAPCOREHEADER core = {sizeof core, 4, 4, 1, 24};
    BITMAPFILEHEADER coreFile = {0x4D42, 0, 0, 0, sizeof coreFile + sizeof core};
    std::vector<std::tuple<std::string, std::string, bool>> cases = {
        {"empty", "", false},
        {"header only", Dib(Header(16, 16, 24), "", "").substr(0, 14), false},
        {"zero-sized", Dib(Header(0, 0, 24), "", ""), false},
        {"absurd", Dib(Header(100000, 100000, 24), "", Pixels(16, 16, 24)), false},
        {"text", "Ceci n'est pas une image.\r\n", false},
        {"one pixel", Dib(Header(1, 1, 24), "", Pixels(1, 1, 24)), true},
        {"RLE8", Dib(rle, ColourTable(2), std::string("\x04\x01\x00\x00\x04\x00\x00\x01", 8)), true},
        {"bit fields", Dib(fields, Bytes(0xF800u) + Bytes(0x07E0u) + Bytes(0x001Fu), Pixels(4, 4, 16)), true},
        {"OS/2 header", Bytes(coreFile) + Bytes(core) + Pixels(4, 4, 24), true},
        {"1000 colours used", Dib(Header(16, 16, 8, 1000), ColourTable(256), Pixels(16, 16, 8)), true},
    };
    for (const auto& [name, bytes] : CutBitmaps()) cases.emplace_back(name, bytes, false);
    const std::string path = std::string(kFiles) + "mauvais.bmp";
    for (const auto& [what, bytes, loads] : cases) {
        WriteBytes(path, bytes);
        EXPECT_EQ(dlg.LoadPreviewPicture(path.c_str()) != FALSE, loads) << what;
        EXPECT_EQ(dlg.m_bmpPicture.GetSafeHandle() != nullptr, loads) << what;
    }
    // Every replaced picture and palette is released.
    WriteBytes(path, Dib(Header(16, 16, 8, 20), ColourTable(20), Pixels(16, 16, 8)));
    PROCESS_MEMORY_COUNTERS before = {}, after = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    for (int i = 0; i < 300; ++i) {
        HGDIOBJ bitmap = dlg.m_bmpPicture.GetSafeHandle(), palette = dlg.m_palPicture.GetSafeHandle();
        ASSERT_TRUE(dlg.LoadPreviewPicture(path.c_str()));
        ASSERT_EQ(GetObjectType(bitmap) | GetObjectType(palette), 0u) << "load " << i << " kept one";
    }
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    EXPECT_LT(after.PagefileUsage, before.PagefileUsage + 1024 * 1024);
}

TEST_F(Setup, ApercuHidesTheDialogAndTriesTheListsChoice)
{
    SetText(kDesktop, "Wallpaper", "");
    Resident dlg;
    dlg.Tray(WM_LBUTTONDOWN);
    auto tryIt = [&](const std::string& expected, const char* tile) {
        std::string during;
        MessageBoxAnswer box(IDOK, 10000, [&] {
            during = ReadText(kDesktop, "Wallpaper") + "|" + ReadText(kDesktop, "TileWallpaper") +
                     (dlg.Shown() ? "|shown" : "|hidden");
        });
        dlg.Post(WM_COMMAND, IDC_APERCU);
        ASSERT_TRUE(box.Answered());
        EXPECT_EQ(during, expected + "|" + tile + "|hidden");
        EXPECT_TRUE(Eventually([&] { return dlg.Shown(); }));
        EXPECT_EQ(ReadText(kDesktop, "Wallpaper"), "");
    };
    tryIt("", "0");   // nothing chosen yet: the empty path, as it is
    dlg.OpenFolder({"C:", "mirval-tests", "glisser"});
    dlg.ChoosePicture(0);
    dlg.Click(IDC_MOSAIQUE);
    tryIt(std::string(kFiles) + "glisser\\ETE.BMP", "1");
}

// ---- The calendar ----

namespace {
class Calendar : public Setup {
protected:
    void SetUp() override
    {
        Setup::SetUp();
        const std::string folder = std::string(kFiles) + "calendrier\\";
        WriteBitmap(folder + "MARDI.BMP", 16, 16, RGB(0, 255, 0));
        WriteBitmap(folder + "DECEMBRE.BMP", 16, 16, RGB(0, 0, 255));
        const std::string week = ProfileKey("Semaine"), month = ProfileKey("Mois");
        SetText(week.c_str(), "Lundi", folder + "minuscule.bmp");
        SetText(week.c_str(), "Mardi", folder + "MARDI.BMP");
        SetText(week.c_str(), "MosaMardi", "1");
        SetText(week.c_str(), "Mercredi", std::string(kFiles) + "abimees\\PIXELS.BMP");
        SetText(month.c_str(), "D\xE9""cembre", folder + "DECEMBRE.BMP");
        SetText(month.c_str(), "MosaD\xE9""cembre", "1\xAD");   // "1" and a soft hyphen
        LoadSchedule();
        m_dlg = std::make_unique<Resident>();
        m_dlg->Tray(WM_LBUTTONDOWN);
        m_tree = m_dlg->Item(IDC_CALENDAR_TREE);
        m_list = m_dlg->Item(IDC_PICTURE_LIST);
    }
    void TearDown() override
    {
        m_dlg.reset();
        Setup::TearDown();
    }
    HTREEITEM At(std::vector<std::string> path) { return Node(m_tree, path); }
    // A real drag from list item 0 onto a node; the answer to a question, if one comes.
    MessageBoxAnswer* Drop(HTREEITEM target, int answer, bool asked)
    {
        POINT to = NodePoint(m_tree, target);
        m_box = std::make_unique<MessageBoxAnswer>(answer, asked ? 10000 : 800);
        StartDrag(ListItemPoint(m_list, 0));
        DragTo(to);
        Release(to);
        EXPECT_EQ(m_box->Answered(), asked);
        EXPECT_EQ(Highlight(m_tree, nullptr), nullptr);
        EXPECT_EQ(CaptureOf(m_dlg->m_hwnd), nullptr);
        return m_box.get();
    }
    std::unique_ptr<Resident> m_dlg;
    std::unique_ptr<MessageBoxAnswer> m_box;
    HWND m_tree = nullptr, m_list = nullptr;
};

// A shown dialog of the main window's thread other than the main window: a
// message box, the about box.
BOOL CALLBACK OtherThan(HWND hwnd, LPARAM param)
{
    auto* s = reinterpret_cast<std::pair<HWND, HWND>*>(param);
    char cls[16] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    if (hwnd == s->first || strcmp(cls, "#32770") || !IsWindowVisible(hwnd)) return TRUE;
    s->second = hwnd;
    return FALSE;
}

HWND OtherDialog(HWND main)
{
    std::pair<HWND, HWND> search = {main, nullptr};
    EnumThreadWindows(GetWindowThreadProcessId(main, nullptr), OtherThan, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

void ExpectQuestion(const MessageBoxAnswer& box, UINT text, UINT caption)
{
    CString t, c;
    t.LoadString(text);
    c.LoadString(caption);
    EXPECT_EQ(box.text + "|" + box.caption, std::string(t) + "|" + std::string(c));
    EXPECT_EQ(box.buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(box.icon, LoadIconA(nullptr, IDI_QUESTION));
}
}

TEST_F(Calendar, ShowsTheWeekAndTheMonthsWithTheirPictures)
{
    EXPECT_EQ(Children(m_tree, nullptr), (std::vector<std::string>{"Semaine", "Mois"}));
    EXPECT_EQ(NodeImage(m_tree, At({"Semaine"})), 0);
    EXPECT_EQ(NodeImage(m_tree, At({"Mois"})), 1);
    EXPECT_TRUE(TreeView_GetItemState(m_tree, At({"Semaine"}), TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_FALSE(TreeView_GetItemState(m_tree, At({"Mois"}), TVIS_EXPANDED) & TVIS_EXPANDED);
    for (int slot = 1; slot <= LAST_SLOT; ++slot) {
        const char* root = slot < FIRST_MONTH_SLOT ? "Semaine" : "Mois";
        EXPECT_EQ(Children(m_tree, At({root}))[size_t(slot - (slot < FIRST_MONTH_SLOT ? 1 : 8))], CalendarKey(slot));
        EXPECT_EQ(NodeImage(m_tree, At({root, CalendarKey(slot)})), slot + 1);
        const std::string file = g_pSchedule->slot[slot].file;
        EXPECT_EQ(Children(m_tree, At({root, CalendarKey(slot)})),
                  file.empty() ? std::vector<std::string>{} : std::vector<std::string>{file}) << slot;
        if (!file.empty()) {
            EXPECT_EQ(NodeImage(m_tree, At({root, CalendarKey(slot), file})), 22);
        }
    }
    EXPECT_EQ(Children(m_tree, At({"Mois", "D\xE9""cembre"})), std::vector<std::string>{"DECEMBRE.BMP"});
}

TEST_F(Calendar, APictureNodeShowsItsPictureAndOnlyAnExact1Tiles)
{
    struct { std::vector<std::string> node; int loaded; bool tiled; } picks[] = {
        {{"Semaine", "Mardi", "MARDI.BMP"}, 1, true},
        {{"Mois", "D\xE9""cembre", "DECEMBRE.BMP"}, 1, false},
        {{"Semaine", "Mercredi", "PIXELS.BMP"}, 0, false},   // cut short
    };
    for (const auto& p : picks) {
        g_previewLoaded = 7;
        TreeView_SelectItem(m_tree, At(p.node));
        EXPECT_EQ(g_previewLoaded, p.loaded) << p.node[2];
        EXPECT_EQ(m_dlg->Checked(IDC_MOSAIQUE), p.tiled) << p.node[2];
        EXPECT_EQ(m_dlg->Checked(IDC_CENTRE), !p.tiled) << p.node[2];
    }
    // Roots, days, months and a name not in capitals change nothing.
    m_dlg->Click(IDC_MOSAIQUE);
    for (auto node : {At({"Semaine"}), At({"Semaine", "Mardi"}), At({"Semaine", "Jeudi"}),
                      At({"Semaine", "Lundi", "minuscule.bmp"})}) {
        g_previewLoaded = 7;
        TreeView_SelectItem(m_tree, node);
        EXPECT_EQ(g_previewLoaded, 7);
        EXPECT_TRUE(m_dlg->Checked(IDC_MOSAIQUE));
    }
    EXPECT_TRUE(g_selectedPicture.IsEmpty()) << "the list's choice is left alone";
}

TEST_F(Calendar, DeleteAsksThenEmptiesTheSlotAndSavesAtOnce)
{
    const std::string week = ProfileKey("Semaine");
    lstrcpyA(g_pSchedule->slot[4].folder, "C:\\");   // an unsaved drop, saved with the deletion
    lstrcpyA(g_pSchedule->slot[4].file, "JEUDI.BMP");
    lstrcpyA(g_pSchedule->slot[4].mosa, "1");
    for (auto node : {At({"Semaine"}), At({"Semaine", "Mardi"})}) {
        Click(NodePoint(m_tree, node));
        MessageBoxAnswer none(IDYES, 600);
        Key(VK_DELETE);
        EXPECT_FALSE(none.Answered()) << "asked on a node that is no picture";
    }
    TreeView_Expand(m_tree, At({"Semaine", "Mardi"}), TVE_EXPAND);
    Click(NodePoint(m_tree, At({"Semaine", "Mardi", "MARDI.BMP"})));
    for (int answer : {IDNO, IDYES}) {
        MessageBoxAnswer box(answer);
        Key(answer == IDNO ? VK_DELETE : VK_DECIMAL);
        ASSERT_TRUE(box.Answered());
        ExpectQuestion(box, IDS_CONFIRM_DELETE, IDS_CONFIRM);
        EXPECT_EQ(At({"Semaine", "Mardi", "MARDI.BMP"}) != nullptr, answer == IDNO);
        EXPECT_EQ(ReadText(week.c_str(), "Jeudi"), answer == IDNO ? "<missing>" : "C:\\JEUDI.BMP");
    }
    EXPECT_STREQ(g_pSchedule->slot[2].file, "");
    EXPECT_EQ(ReadText(week.c_str(), "Mardi") + ReadText(week.c_str(), "MosaMardi"), "");
    EXPECT_TRUE(m_dlg->Checked(IDC_MOSAIQUE)) << "the radio buttons stay as they were";
}

TEST_F(Calendar, DropsFollowTheNodeUnderThePointerAndAskBeforeReplacing)
{
    m_dlg->OpenFolder({"C:", "mirval-tests", "glisser"});
    const std::string before = Snapshot(kCompanyKey), folder = std::string(kFiles) + "glisser\\";
    auto slot = [](int n) {
        const ScheduleSlot& s = g_pSchedule->slot[n];
        return std::string(s.folder) + "|" + s.file + "|" + s.mosa;
    };
    Drop(At({"Semaine", "Vendredi"}), IDYES, false);   // empty: taken at once, unfolded
    EXPECT_EQ(Children(m_tree, At({"Semaine", "Vendredi"})), std::vector<std::string>{"ETE.BMP"});
    EXPECT_TRUE(TreeView_GetItemState(m_tree, At({"Semaine", "Vendredi"}), TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_EQ(slot(5), folder + "|ETE.BMP|0");
    ExpectQuestion(*Drop(At({"Semaine", "Mardi"}), IDNO, true), IDS_REPLACE_PICTURE, IDS_WARNING);
    EXPECT_EQ(Children(m_tree, At({"Semaine", "Mardi"})), std::vector<std::string>{"MARDI.BMP"});
    m_dlg->Click(IDC_MOSAIQUE);
    Drop(At({"Semaine", "Mardi"}), IDYES, true);
    EXPECT_EQ(Children(m_tree, At({"Semaine", "Mardi"})), std::vector<std::string>{"ETE.BMP"});
    EXPECT_EQ(slot(2), folder + "|ETE.BMP|1");
    // A picture node always asks, and Yes replaces its month's picture.
    TreeView_Expand(m_tree, At({"Mois"}), TVE_EXPAND);
    TreeView_Expand(m_tree, At({"Mois", "D\xE9""cembre"}), TVE_EXPAND);
    TreeView_EnsureVisible(m_tree, At({"Mois", "D\xE9""cembre", "DECEMBRE.BMP"}));
    Drop(At({"Mois", "D\xE9""cembre", "DECEMBRE.BMP"}), IDYES, true);
    EXPECT_EQ(Children(m_tree, At({"Mois", "D\xE9""cembre"})), std::vector<std::string>{"ETE.BMP"});
    EXPECT_EQ(NodeImage(m_tree, At({"Mois", "D\xE9""cembre", "ETE.BMP"})), 22);
    EXPECT_EQ(slot(19), folder + "|ETE.BMP|1");
    // Roots take nothing and ask nothing; "Semaine", the selected node, which the
    // platform's tree does not drop-highlight, must not pass the drop to another.
    TreeView_Expand(m_tree, At({"Mois"}), TVE_COLLAPSE);
    ASSERT_EQ(TreeView_GetSelection(m_tree), At({"Semaine"}));
    const ScheduleTable kept = *g_pSchedule;
    Drop(At({"Semaine"}), IDYES, false);
    Drop(At({"Mois"}), IDYES, false);
    EXPECT_EQ(memcmp(&kept, g_pSchedule, sizeof kept), 0);
    EXPECT_EQ(Snapshot(kCompanyKey), before) << "a drop wrote to the registry";
}

TEST_F(Calendar, ADragEndsWithNothingDroppedOffTheNodesOnEscapeOrALostCapture)
{
    m_dlg->OpenFolder({"C:", "mirval-tests", "glisser"});
    const ScheduleTable kept = *g_pSchedule;
    const HTREEITEM friday = At({"Semaine", "Vendredi"});
    RECT r;
    GetClientRect(m_tree, &r);
    const POINT belowNodes = OnScreen(m_tree, {r.right / 2, r.bottom - 5}), onList = ListItemPoint(m_list, 0);
    StartDrag(onList);
    DragTo(NodePoint(m_tree, friday));
    EXPECT_EQ(Highlight(m_tree, friday), friday);
    EXPECT_TRUE(Eventually([&] { return CaptureOf(m_dlg->m_hwnd) == m_dlg->m_hwnd; }, 2000));
    DragTo(onList);
    EXPECT_EQ(Highlight(m_tree, nullptr), nullptr) << "off the tree";
    Release(onList);
    StartDrag(onList);
    DragTo(belowNodes);
    Release(belowNodes);
    // Escape, and a lost capture (as a task switch takes it), end the drag there.
    for (bool escape : {true, false}) {
        StartDrag(onList);
        DragTo(NodePoint(m_tree, friday));
        if (escape)
            Key(VK_ESCAPE);
        else
            m_dlg->Send(WM_CANCELMODE);
        EXPECT_TRUE(Eventually([&] { return CaptureOf(m_dlg->m_hwnd) == nullptr; }, 2000)) << escape;
        EXPECT_EQ(Highlight(m_tree, nullptr), nullptr) << escape;
        Release(NodePoint(m_tree, friday));
    }
    EXPECT_FALSE(m_dlg->m_ended) << "Escape ended the program";
    EXPECT_EQ(memcmp(&kept, g_pSchedule, sizeof kept), 0) << "something was dropped";
    // A drag image the list cannot make (an item it does not hold): no drag begins.
    NMLISTVIEW begin = {{m_list, IDC_PICTURE_LIST, LVN_BEGINDRAG}, 99};
    m_dlg->Send(WM_NOTIFY, IDC_PICTURE_LIST, reinterpret_cast<LPARAM>(&begin));
    EXPECT_EQ(CaptureOf(m_dlg->m_hwnd), nullptr);
    // The next drag works, and keeps the longest name whole.
    m_dlg->OpenFolder({"C:", "mirval-tests", "long"});
    Drop(friday, IDYES, false);
    EXPECT_EQ(g_pSchedule->slot[5].file, std::string(251, 'L') + ".BMP");
}

// "&Quitter" chosen from the tray menu while the program waits on a question or
// a box: the program ends at once, touches nothing and saves nothing.
TEST_F(Calendar, QuittingWhileABoxIsOpenEndsTheProgramCleanly)
{
    TreeView_Expand(m_tree, At({"Semaine", "Mardi"}), TVE_EXPAND);
    const std::string desktop = ReadText(kDesktop, "Wallpaper");
    struct { const char* what; std::function<void(Resident&)> open; } ways[] = {
        {"the Delete question", [&](Resident&) {
             Click(NodePoint(m_tree, At({"Semaine", "Mardi", "MARDI.BMP"})));
             Key(VK_DELETE);
         }},
        {"the replace question", [&](Resident& dlg) {
             dlg.OpenFolder({"C:", "mirval-tests", "glisser"});
             StartDrag(ListItemPoint(m_list, 0));
             DragTo(NodePoint(m_tree, At({"Semaine", "Mardi"})));
             Release(NodePoint(m_tree, At({"Semaine", "Mardi"})));
         }},
        {"the every-day warning", [](Resident& dlg) {
             dlg.Click(IDC_EVERY_DAY);
             dlg.Post(WM_COMMAND, IDC_OK);
         }},
        {"the about box", [](Resident& dlg) { dlg.Post(WM_COMMAND, ID_TRAY_ABOUT); }},
        {"the desktop test", [](Resident& dlg) { dlg.Post(WM_COMMAND, IDC_APERCU); }},
    };
    for (auto& way : ways) {
        if (!m_dlg) {
            g_selectedPicture.Empty();   // a drag chooses its picture in the list
            *g_pSchedule = ScheduleTable();
            LoadSchedule();
            m_dlg = std::make_unique<Resident>();
            m_dlg->Tray(WM_LBUTTONDOWN);
            m_tree = m_dlg->Item(IDC_CALENDAR_TREE);
            m_list = m_dlg->Item(IDC_PICTURE_LIST);
            TreeView_Expand(m_tree, At({"Semaine", "Mardi"}), TVE_EXPAND);
        }
        const std::string before = Snapshot(kCompanyKey);
        way.open(*m_dlg);
        HWND box = nullptr;
        ASSERT_TRUE(Eventually([&] { return (box = OtherDialog(m_dlg->m_hwnd)) != nullptr; })) << way.what;
        m_dlg->Post(WM_TRAYICON, TRAY_ICON_ID, WM_RBUTTONDOWN);
        HWND menu = OpenMenu();
        ASSERT_NE(menu, nullptr) << way.what;
        PostMessageA(menu, WM_CHAR, 'q', 0);
        EXPECT_TRUE(m_dlg->WaitEnded()) << way.what;
        EXPECT_EQ(m_dlg->m_result, 0) << way.what;
        EXPECT_FALSE(IsWindow(box)) << way.what << " stayed open";
        m_dlg.reset();   // which gives the next run a table again
        EXPECT_EQ(Snapshot(kCompanyKey), before) << way.what;
        EXPECT_EQ(ReadText(kDesktop, "Wallpaper"), desktop) << way.what;
    }
}
