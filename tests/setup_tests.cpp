// The setup dialog's controls on the test world's drives and files: the folder
// tree and picture list, the preview, the calendar and drops.
#include "tests/support/support.h"
#include <psapi.h>

namespace {
const std::string kImages = std::string(kFiles) + "Images\\";
const std::string kChain = std::string(kFiles) + "chemins\\" + std::string(60, 'a') + "\\";
using Path = std::vector<std::string>;

std::string ColourTable(int n)   // entry i is RGB(255 - i, 2i, i), stored blue first
{
    std::string table;
    for (int i = 0; i < n; ++i) table += {char(i), char(2 * i), char(255 - i), 0};
    return table;
}

// Files cut short: in their pixels, in their colour table, their pixels past the end.
std::vector<std::pair<std::string, std::string>> CutBitmaps()
{
    const std::string deep = Dib(Header(16, 16, 24), "", Pixels(16, 16, 24));
    const std::string table = Dib(Header(16, 16, 8), ColourTable(256), Pixels(16, 16, 8));
    std::string beyond = deep;
    beyond[10] = '\x7F';   // bfOffBits
    // 58 bytes whose header promises 256 colours that the file does not hold.
    const std::string noTable = Dib(Header(1, 1, 8, 256), "", Pixels(1, 1, 8));
    return {{"PIXELS.BMP", deep.substr(0, deep.size() - 40)},
            {"TABLE.BMP", table.substr(0, 14 + 40 + 100)},
            {"BEYOND.BMP", beyond},
            {"NOTABLE.BMP", noTable}};
}

POINT NodePoint(HWND tree, HTREEITEM item)
{
    RECT r = {};
    TreeView_GetItemRect(tree, item, &r, TRUE);
    return Middle(tree, r);
}

POINT ItemPoint(HWND list, int index)
{
    RECT r = {LVIR_LABEL};
    ListView_GetItemRect(list, index, &r, LVIR_LABEL);
    return Middle(list, r);
}

// A hand's drag: pressed (unless already down), moved off in small steps (the
// list then reports a drag), moved on to the point and, unless told not to,
// released there.
void Drag(POINT from, POINT to, bool release = true, bool press = true)
{
    MouseAt(from);
    if (press) MouseAt(from, MOUSEEVENTF_LEFTDOWN);
    for (int i = 1; i <= 4; ++i) MouseAt({from.x + 3 * i, from.y + 2 * i});
    for (int i = 1; i <= 6; ++i)
        MouseAt({from.x + (to.x - from.x) * i / 6, from.y + (to.y - from.y) * i / 6});
    Sleep(100);
    if (release) MouseAt(to, MOUSEEVENTF_LEFTUP);
    Sleep(150);
}

// The dialog's thread may be behind on the pointer: read once it has caught up.
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

void MakeFile(const std::wstring& path)   // past MAX_PATH when it must be
{
    CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
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
        // Wine's search gives names in the order of their capitals ("_base" after
        // "Zeta"), the tree sorts them by the language's rules ("_base" first, "été"
        // among the e's).
        for (const char* sub : {"Zeta", ".cache", "alpha", "Cachette", "_base", "\xE9t\xE9"})
            CreateDirectoryA((kImages + sub).c_str(), nullptr);
        SetFileAttributesA((kImages + "Cachette").c_str(), FILE_ATTRIBUTE_HIDDEN);
        WriteBitmap(kImages + "alpha\\seule.bmp", 8, 8, RGB(0, 0, 255));
        WriteBitmap("E:\\racine.bmp", 8, 8, RGB(0, 0, 255));
        // The longest name the disk takes, and folders of 255 and 256 characters.
        const std::wstring root = L"\\\\?\\C:\\mirval-tests\\";
        CreateDirectoryW((root + L"long").c_str(), nullptr);
        MakeFile(root + L"long\\" + std::wstring(251, L'l') + L".bmp");
        std::wstring chain(kChain.begin(), kChain.end());
        CreateDirectoryW((root + L"chemins").c_str(), nullptr);
        CreateDirectoryW((L"\\\\?\\" + chain).c_str(), nullptr);
        for (size_t length : {255u, 256u}) {
            const std::wstring z(length - chain.size() - 1, L'z');   // the list adds a backslash
            const std::wstring folder = L"\\\\?\\" + chain + z;
            CreateDirectoryW(folder.c_str(), nullptr);
            MakeFile(folder + L"\\Y.BMP");
        }
        for (const auto& [name, bytes] : CutBitmaps())
            WriteBytes(std::string(kFiles) + "abimees\\" + name, bytes);
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
    Path expected, texts = Children(tree, nullptr);
    for (const char* r = roots; *r; r += strlen(r) + 1) expected.push_back(r);
    for (std::string& text : texts) text.resize(3);
    EXPECT_EQ(texts, expected);
    // A floppy whose label is never read, a CD-ROM without a disc, a labelled disk.
    for (const char* drive : {"A:\\ Disquette |3", "C:\\  |1", "D:\\  |2", "E:\\ DONNEES |1"}) {
        HTREEITEM node = Node(tree, {std::string(drive, 3)});
        EXPECT_EQ(NodeText(tree, node) + "|" + std::to_string(NodeImage(tree, node)), drive);
    }
    EXPECT_STREQ(g_pDriveTable[texts.size()].text, "") << "a record past the last drive";
}

namespace {
// How much of an image list's image I the figure spans, left to right, in pixels.
int FigureWidth(HIMAGELIST images, int i)
{
    int cx = 0, cy = 0, left = INT_MAX, right = -1;
    ImageList_GetIconSize(images, &cx, &cy);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, CreateBitmap(cx, cy, 1, 1, nullptr));
    PatBlt(dc, 0, 0, cx, cy, WHITENESS);
    ImageList_Draw(images, i, dc, 0, 0, ILD_MASK);   // black where the image is not clear
    for (int x = 0; x < cx; ++x)
        for (int y = 0; y < cy; ++y)
            if (GetPixel(dc, x, y) == 0) left = std::min(left, x), right = std::max(right, x);
    DeleteObject(SelectObject(dc, old));
    DeleteDC(dc);
    return right - left + 1;
}
}

// The sizes given for a 96-DPI screen, at the system's (the world's LogPixels):
// the list's columns, wide enough for its names, and the images of the two trees
// and the list at the small-icon size, each with its figure across its cell.
TEST_F(Setup, SizesFollowTheSystemsDpi)
{
    struct { int dpi, name, folder, image; } const table[] = {
        {96, 110, 200, 16}, {120, 138, 250, 20}, {144, 165, 300, 24}, {192, 220, 400, 32}};
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const auto* sizes = std::find_if(std::begin(table), std::end(table),
                                     [dpi](const auto& row) { return row.dpi == dpi; });
    ASSERT_NE(sizes, std::end(table)) << dpi << " DPI";
    WriteBitmap(std::string(kFiles) + "damier\\DAMIER.BMP", 8, 8, RGB(0, 0, 0));
    Resident dlg;
    HWND list = dlg.Item(IDC_PICTURE_LIST);
    std::string columns;   // title, width, format and sub-item of each
    for (int column = 0; column < 3; ++column) {
        char title[32] = "";
        const UINT asked = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        LVCOLUMNA c = {asked, 0, 0, title, sizeof title};
        if (!ListView_GetColumn(list, column, &c)) break;
        columns += title + (" " + std::to_string(c.cx) + " " + std::to_string(c.fmt));
        columns += " " + std::to_string(c.iSubItem) + "|";
    }
    EXPECT_EQ(columns, "Nom " + std::to_string(sizes->name) + " 0 0|R\xE9pertoire " +
                           std::to_string(sizes->folder) + " 0 1|");
    dlg.OpenFolder({"C:", "mirval-tests", "damier"});
    RECT label = {LVIR_LABEL};
    ASSERT_TRUE(ListView_GetItemRect(list, 0, &label, LVIR_LABEL));
    // The list cuts a name that does not fit its label with its margins.
    EXPECT_GE(label.right - label.left, ListView_GetStringWidth(list, "DAMIER.BMP") + 12);
    const HIMAGELIST lists[] = {TreeView_GetImageList(dlg.Item(IDC_CALENDAR_TREE), TVSIL_NORMAL),
                                TreeView_GetImageList(dlg.Item(IDC_FOLDER_TREE), TVSIL_NORMAL),
                                ListView_GetImageList(list, LVSIL_SMALL)};
    for (HIMAGELIST images : lists) {
        int cx = 0, cy = 0;
        ImageList_GetIconSize(images, &cx, &cy);
        EXPECT_EQ(std::to_string(cx) + "x" + std::to_string(cy),
                  std::to_string(sizes->image) + "x" + std::to_string(sizes->image));
        for (int i = 0; i < ImageList_GetImageCount(images); ++i)
            EXPECT_GE(FigureWidth(images, i), cx / 2) << "image " << i << " of " << images;
    }
}

// The list's texts pass through 256 bytes: a longer folder would be cut, and is
// not searched.
TEST_F(Setup, AFolderListsItsPicturesInTheSearchsOrderAndItsFoldersSortedOnce)
{
    Resident dlg;
    HWND tree = dlg.Item(IDC_FOLDER_TREE), list = dlg.Item(IDC_PICTURE_LIST);
    const Path images = {"C:", "mirval-tests", "Images"};
    for (int twice = 0; twice < 2; ++twice) {   // no second set of nodes
        dlg.OpenFolder(images);
        Path listed;
        for (int i = 0; i < ListView_GetItemCount(list); ++i) listed.push_back(ListRow(list, i));
        EXPECT_EQ(listed, (Path{"ABCBMP|" + kImages, "BMP|" + kImages, "CACHE.BMP|" + kImages,
                                "FOND.BMP|" + kImages, "IMAGE.BMP|" + kImages}));
        const Path sorted = {"_base", "alpha", "Cachette", "\xE9t\xE9", "Zeta"};
        EXPECT_EQ(Children(tree, Node(tree, images)), sorted);
        dlg.OpenFolder({"C:", "mirval-tests", "Images", "alpha"});
        EXPECT_EQ(Children(tree, Node(tree, {"C:", "mirval-tests", "Images", "alpha"})), Path{});
    }
    const std::string a60(60, 'a'), z254(254 - kChain.size(), 'z'), z255(255 - kChain.size(), 'z');
    struct { Path path; int count; std::string first; } others[] = {
        {{"C:", "mirval-tests", "Images", "alpha"}, 1, "SEULE.BMP|" + kImages + "alpha\\"},
        {{"E:"}, 1, "RACINE.BMP|E:\\"},
        {{"E:", "vingt-mille"}, 10000, "P00000.BMP|E:\\vingt-mille\\"},
        {{"D:"}, 0, "|"},   // no disc
        {{"C:", "mirval-tests", "long"}, 1,
         std::string(251, 'L') + ".BMP|" + std::string(kFiles) + "long\\"},
        {{"C:", "mirval-tests", "chemins", a60, z254}, 1, "Y.BMP|" + kChain + z254 + "\\"},
        {{"C:", "mirval-tests", "chemins", a60, z255}, 0, "|"},   // 256 with its backslash
    };
    for (const auto& o : others) {
        dlg.OpenFolder(o.path);
        EXPECT_EQ(ListView_GetItemCount(list), o.count) << o.path.back();
        EXPECT_EQ(ListRow(list, 0), o.first) << o.path.back();
    }
    EXPECT_EQ(Children(tree, Node(tree, {"D:"})), Path{});
}

// Chosen in the real list: named, previewed on the monitor, centred or tiled; a
// picture that cannot be loaded leaves the screen empty.
TEST_F(Setup, ChoosingAPictureNamesItAndPaintsItOnTheMonitor)
{
    RECT desktop;
    GetClientRect(GetDesktopWindow(), &desktop);   // a quarter of the screen: of the frame
    const COLORREF red = RGB(255, 0, 0), empty = RGB(0, 128, 128);   // the empty screen is teal
    const std::string rouge = std::string(kFiles) + "peint\\ROUGE.BMP";
    WriteBitmap(rouge, desktop.right / 4, desktop.bottom / 4, red);
    Resident dlg;
    dlg.Tray(WM_LBUTTONDOWN);
    HWND list = dlg.Item(IDC_PICTURE_LIST), frame = dlg.Item(IDC_SCREEN_FRAME);
    RECT client;
    GetClientRect(frame, &client);
    const POINT middle = Middle(frame, client), corner = OnScreen(frame, {3, 3});
    struct { const char* folder; const char* name; int loaded; } choices[] = {
        {"Images", "IMAGE.BMP", 1},   // Image.Bmp on the disk
        {"Images", "CACHE.BMP", 0},   // empty
        {"abimees", "PIXELS.BMP", 0},
        {"abimees", "TABLE.BMP", 0},
        {"abimees", "BEYOND.BMP", 0},
        {"peint", "ROUGE.BMP", 1},
    };
    for (const auto& c : choices) {
        dlg.OpenFolder({"C:", "mirval-tests", c.folder});
        for (int i = 0; i < ListView_GetItemCount(list); ++i)
            if (ListRow(list, i).rfind(c.name + std::string("|"), 0) == 0) dlg.ChoosePicture(i);
        EXPECT_EQ(std::string(g_selectedPicture), std::string(kFiles) + c.folder + "\\" + c.name);
        EXPECT_EQ(Text(dlg.Item(IDC_PICTURE_NAME)), c.name);
        EXPECT_EQ(g_previewLoaded, c.loaded) << c.name;
        if (!c.loaded) {
            EXPECT_EQ(ScreenPixel(middle, empty), empty) << c.name;
        }
    }
    EXPECT_EQ(ScreenPixel(middle, red), red);
    EXPECT_NE(ScreenPixel(corner, red, 500), red) << "centred";
    dlg.Click(IDC_MOSAIQUE);
    EXPECT_EQ(ScreenPixel(corner, red), red) << "tiled";
    EXPECT_NE(ScreenPixel(OnScreen(frame, {0, 0}), red, 300), red) << "tiles stand one pixel in";
    dlg.Click(IDC_CENTRE);
    EXPECT_EQ(ScreenPixel(corner, empty), empty);
    dlg.OpenFolder({"A:"});   // another folder empties the list, the choice stays
    EXPECT_EQ(Text(dlg.Item(IDC_PICTURE_NAME)), "ROUGE.BMP");
}

TEST(PreviewGeometry, ScalesByTheScreenAndTilesFromOnePixelIn)
{
    const SIZE frame = {120, 90}, screen = {1200, 900};
    struct { SIZE picture; bool tiled; std::string size, origins; } cases[] = {
        {{300, 150}, false, "30x15", "45,37 "},
        {{2400, 1800}, false, "240x180", "-60,-45 "},
        {{5, 900}, true, "0x90", ""},   // scales to nothing: no tiles, and the tiling ends
        {{600, 450}, true, "60x45", "1,1 61,1 121,1 1,46 61,46 121,46 1,91 61,91 121,91 "},
    };
    for (const auto& c : cases) {
        const SIZE size = PreviewSize(frame, c.picture, screen);
        std::string origins;
        for (POINT p : PreviewOrigins(frame, size, c.tiled))
            origins += std::to_string(p.x) + "," + std::to_string(p.y) + " ";
        EXPECT_EQ(std::to_string(size.cx) + "x" + std::to_string(size.cy), c.size);
        EXPECT_EQ(origins, c.origins) << c.size;
    }
}

// Wine's DIB sections report 2^bits colours used whatever the file says: an 8-bit
// picture of 20 colours gets 256 entries here, its own 20 first. Pictures of
// more than 8 bits get the halftone palette.
TEST(Preview, PalettesFollowTheColourTable)
{
    CMirvalDlg dlg;
    HPALETTE halftone = CreateHalftonePalette(nullptr);
    WORD many = 0;
    GetObjectA(halftone, sizeof many, &many);
    DeleteObject(halftone);
    struct { int bits; DWORD used; int table, entries; } cases[] = {
        {8, 20, 20, 256}, {4, 0, 16, 16}, {1, 0, 2, 2}, {16, 0, 0, many}, {24, 0, 0, many},
        {32, 0, 0, many}, {24, 100, 0, many},
    };
    const std::string path = std::string(kFiles) + "palette.bmp";
    for (const auto& c : cases) {
        const std::string pixels = Pixels(16, 16, c.bits);
        WriteBytes(path, Dib(Header(16, 16, c.bits, c.used), ColourTable(c.table), pixels));
        ASSERT_TRUE(dlg.LoadPreviewPicture(path.c_str())) << c.bits;
        EXPECT_EQ(dlg.m_palPicture.GetEntryCount(), c.entries) << c.bits;
        std::vector<PALETTEENTRY> e(size_t(c.table) + 1);
        GetPaletteEntries(dlg.m_palPicture, 0, c.table, e.data());
        for (int i = 0; i < c.table; ++i)
            EXPECT_EQ(RGB(e[i].peRed, e[i].peGreen, e[i].peBlue), RGB(255 - i, 2 * i, i)) << i;
    }
}

// (The soak benchmark measures the memory of many loads.)
TEST(Preview, BadBitmapsAreRefusedGoodOnesLoadAndReplacedOnesAreReleased)
{
    CMirvalDlg dlg;
    BITMAPINFOHEADER rle = Header(4, 2, 8, 2, BI_RLE8), fields = Header(4, 4, 16, 0, BI_BITFIELDS);
    rle.biSizeImage = 8;
    const std::string core("BM\0\0\0\0\0\0\0\0\x1A\0\0\0\x0C\0\0\0\4\0\4\0\1\0\x18\0", 26);
    const std::string masks("\0\xF8\0\0\xE0\7\0\0\x1F\0\0\0", 12);
    std::vector<std::tuple<std::string, std::string, bool>> cases = {
        {"empty", "", false},
        {"header only", Dib(Header(16, 16, 24), "", "").substr(0, 14), false},
        {"zero-sized", Dib(Header(0, 0, 24), "", ""), false},
        {"absurd", Dib(Header(100000, 100000, 24), "", Pixels(16, 16, 24)), false},
        {"text", "Ceci n'est pas une image.\r\n", false},
        {"one pixel", Dib(Header(1, 1, 24), "", Pixels(1, 1, 24)), true},
        {"RLE8", Dib(rle, ColourTable(2), std::string("\4\1\0\0\4\0\0\1", 8)), true},
        {"bit fields", Dib(fields, masks, Pixels(4, 4, 16)), true},
        {"OS/2 header", core + Pixels(4, 4, 24), true},
        {"1000 colours", Dib(Header(16, 16, 8, 1000), ColourTable(256), Pixels(16, 16, 8)), true},
    };
    for (const auto& [name, bytes] : CutBitmaps()) cases.emplace_back(name, bytes, false);
    const std::string path = std::string(kFiles) + "mauvais.bmp";
    for (const auto& [what, bytes, loads] : cases) {
        WriteBytes(path, bytes);
        EXPECT_EQ(dlg.LoadPreviewPicture(path.c_str()) != FALSE, loads) << what;
        EXPECT_EQ(dlg.m_bmpPicture.GetSafeHandle() != nullptr, loads) << what;
    }
    WriteBytes(path, Dib(Header(16, 16, 8, 20), ColourTable(20), Pixels(16, 16, 8)));
    ASSERT_TRUE(dlg.LoadPreviewPicture(path.c_str()));
    HGDIOBJ bitmap = dlg.m_bmpPicture.GetSafeHandle(), palette = dlg.m_palPicture.GetSafeHandle();
    ASSERT_TRUE(dlg.LoadPreviewPicture(path.c_str()));
    EXPECT_EQ(GetObjectType(bitmap) | GetObjectType(palette), 0u) << "the last picture kept";
}

// ---- The calendar ----

namespace {
class Calendar : public Setup {
protected:
    void SetUp() override
    {
        Setup::SetUp();
        const std::string folder = std::string(kFiles) + "calendrier\\";
        const std::string week = ProfileKey("Semaine");
        WriteBitmap(folder + "MARDI.BMP", 16, 16, RGB(0, 255, 0));
        WriteBitmap(folder + "DECEMBRE.BMP", 16, 16, RGB(0, 0, 255));
        SetText(week.c_str(), "Lundi", folder + "minuscule.bmp");
        SetText(week.c_str(), "Mardi", folder + "MARDI.BMP");
        SetText(week.c_str(), "MosaMardi", "1");
        SetText(week.c_str(), "Mercredi", std::string(kFiles) + "abimees\\PIXELS.BMP");
        SetText(ProfileKey("Mois").c_str(), "D\xE9""cembre", folder + "DECEMBRE.BMP");
        SetText(ProfileKey("Mois").c_str(), "MosaD\xE9""cembre", "1\xAD");   // "1", a soft hyphen
        Start();
    }
    void Start()
    {
        *g_pSchedule = ScheduleTable();
        LoadSchedule();
        g_selectedPicture.Empty();
        m_dlg = std::make_unique<Resident>();
        m_dlg->Tray(WM_LBUTTONDOWN);
        m_tree = m_dlg->Item(IDC_CALENDAR_TREE);
        m_list = m_dlg->Item(IDC_PICTURE_LIST);
        TreeView_Expand(m_tree, At({"Semaine", "Mardi"}), TVE_EXPAND);
    }
    void TearDown() override
    {
        m_dlg.reset();
        Setup::TearDown();
    }
    HTREEITEM At(const Path& path) { return Node(m_tree, path); }
    // A real drag of list item 0 onto a node; the question answered if one comes.
    const MessageBoxAnswer& Drop(const Path& target, int answer, bool asked)
    {
        m_box = std::make_unique<MessageBoxAnswer>(answer, asked ? 10000 : 800);
        Drag(ItemPoint(m_list, 0), NodePoint(m_tree, At(target)));
        EXPECT_EQ(m_box->Answered(), asked) << target.back();
        EXPECT_EQ(Highlight(m_tree, nullptr), nullptr);
        EXPECT_EQ(CaptureOf(m_dlg->m_hwnd), nullptr);
        return *m_box;
    }
    std::unique_ptr<Resident> m_dlg;
    std::unique_ptr<MessageBoxAnswer> m_box;
    HWND m_tree = nullptr, m_list = nullptr;
};

void ExpectQuestion(const MessageBoxAnswer& box, UINT text, UINT caption)
{
    EXPECT_EQ(box.text + "|" + box.caption, String(text) + "|" + String(caption));
    EXPECT_EQ(box.buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(box.icon, LoadIconA(nullptr, IDI_QUESTION));
}
}

TEST_F(Calendar, ShowsTheWeekAndTheMonthsWithTheirPictures)
{
    const Path days = {"Lundi", "Mardi", "Mercredi", "Jeudi", "Vendredi", "Samedi", "Dimanche"};
    const Path months = {"Janvier", "F\xE9vrier", "Mars", "Avril", "Mai", "Juin", "Juillet",
                         "Ao\xFBt", "Septembre", "Octobre", "Novembre", "D\xE9""cembre"};
    EXPECT_EQ(Children(m_tree, nullptr), (Path{"Semaine", "Mois"}));
    EXPECT_EQ(Children(m_tree, At({"Semaine"})), days);
    EXPECT_EQ(Children(m_tree, At({"Mois"})), months);
    EXPECT_EQ(NodeImage(m_tree, At({"Semaine"})) + 10 * NodeImage(m_tree, At({"Mois"})), 10);
    EXPECT_TRUE(TreeView_GetItemState(m_tree, At({"Semaine"}), TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_FALSE(TreeView_GetItemState(m_tree, At({"Mois"}), TVIS_EXPANDED) & TVIS_EXPANDED);
    for (int slot = 1; slot <= LAST_SLOT; ++slot) {
        const bool week = slot < 8;
        const Path day = {week ? "Semaine" : "Mois", week ? days[slot - 1] : months[slot - 8]};
        const std::string file = g_pSchedule->slot[slot].file;
        EXPECT_EQ(NodeImage(m_tree, At(day)), slot + 1) << day[1];
        EXPECT_EQ(Children(m_tree, At(day)), file.empty() ? Path{} : Path{file}) << day[1];
        if (!file.empty()) {
            EXPECT_EQ(NodeImage(m_tree, TreeView_GetChild(m_tree, At(day))), 22) << day[1];
        }
    }
    EXPECT_EQ(Children(m_tree, At({"Mois", "D\xE9""cembre"})), Path{"DECEMBRE.BMP"});
}

// The list's choice stays the one that "&Aperçu" tries and "Ok" may save.
TEST_F(Calendar, APictureNodeShowsItsPictureAndOnlyAnExact1Tiles)
{
    m_dlg->OpenFolder({"C:", "mirval-tests", "glisser"});
    m_dlg->ChoosePicture(0);
    struct { Path node; int loaded; bool tiled; } picks[] = {
        {{"Semaine", "Mardi", "MARDI.BMP"}, 1, true},
        {{"Mois", "D\xE9""cembre", "DECEMBRE.BMP"}, 1, false},
        {{"Semaine", "Mercredi", "PIXELS.BMP"}, 0, false},   // cut short
    };
    for (const auto& p : picks) {
        TreeView_SelectItem(m_tree, At(p.node));
        EXPECT_EQ(g_previewLoaded, p.loaded) << p.node[2];
        EXPECT_EQ(m_dlg->Checked(IDC_MOSAIQUE), p.tiled) << p.node[2];
        EXPECT_EQ(m_dlg->Checked(IDC_CENTRE), !p.tiled) << p.node[2];
    }
    m_dlg->Click(IDC_MOSAIQUE);   // roots, days and a name not in capitals change nothing
    const Path lower = {"Semaine", "Lundi", "minuscule.bmp"};
    for (const Path& node : {Path{"Semaine"}, Path{"Semaine", "Mardi"}, lower}) {
        g_previewLoaded = 7;
        TreeView_SelectItem(m_tree, At(node));
        EXPECT_EQ(g_previewLoaded + m_dlg->Checked(IDC_MOSAIQUE), 8) << node.back();
    }
    EXPECT_EQ(std::string(g_selectedPicture), std::string(kFiles) + "glisser\\ETE.BMP");
}

TEST_F(Calendar, DeleteAsksThenEmptiesTheSlotAndSavesAtOnce)
{
    const std::string week = ProfileKey("Semaine");
    g_pSchedule->slot[4] = {"C:\\", "JEUDI.BMP", "1"};   // an unsaved drop, saved with it
    for (const Path& node : {Path{"Semaine"}, Path{"Semaine", "Mardi"}}) {
        Click(NodePoint(m_tree, At(node)));
        MessageBoxAnswer none(IDYES, 600);
        Key(VK_DELETE);
        EXPECT_FALSE(none.Answered()) << "asked on " << node.back();
    }
    Click(NodePoint(m_tree, At({"Semaine", "Mardi", "MARDI.BMP"})));
    for (WORD key : {WORD(VK_DELETE), WORD(VK_DECIMAL)}) {   // No, then Yes
        MessageBoxAnswer box(key == VK_DELETE ? IDNO : IDYES);
        Key(key);
        ASSERT_TRUE(box.Answered());
        ExpectQuestion(box, IDS_CONFIRM_DELETE, IDS_CONFIRM);
        const char* thursday = key == VK_DELETE ? "<missing>" : "C:\\JEUDI.BMP";
        EXPECT_EQ(ReadText(week.c_str(), "Jeudi"), thursday);
    }
    EXPECT_EQ(At({"Semaine", "Mardi", "MARDI.BMP"}), nullptr);
    EXPECT_EQ(SlotText(2), "||");
    EXPECT_EQ(ReadText(week.c_str(), "Mardi") + ReadText(week.c_str(), "MosaMardi"), "");
    EXPECT_TRUE(m_dlg->Checked(IDC_MOSAIQUE)) << "the radio buttons stay as they were";
}

TEST_F(Calendar, DropsGoToTheNodeUnderThePointerAskBeforeReplacingAndCanBeCalledOff)
{
    m_dlg->OpenFolder({"C:", "mirval-tests", "glisser"});
    const std::string before = Snapshot(kCompanyKey);
    const std::string ete = std::string(kFiles) + "glisser\\|ETE.BMP|";
    const Path december = {"Mois", "D\xE9""cembre"};
    Drop({"Semaine", "Vendredi"}, IDYES, false);   // an empty day: taken at once, unfolded
    EXPECT_TRUE(TreeView_GetItemState(m_tree, At({"Semaine", "Vendredi"}), TVIS_EXPANDED));
    EXPECT_EQ(SlotText(5), ete + "0");
    ExpectQuestion(Drop({"Semaine", "Mardi"}, IDNO, true), IDS_REPLACE_PICTURE, IDS_WARNING);
    EXPECT_EQ(Children(m_tree, At({"Semaine", "Mardi"})), Path{"MARDI.BMP"});
    m_dlg->Click(IDC_MOSAIQUE);
    Drop({"Semaine", "Mardi"}, IDYES, true);
    EXPECT_EQ(Children(m_tree, At({"Semaine", "Mardi"})), Path{"ETE.BMP"});
    EXPECT_EQ(SlotText(2), ete + "1");
    TreeView_Expand(m_tree, At({"Mois"}), TVE_EXPAND);   // a picture node always asks
    TreeView_Expand(m_tree, At(december), TVE_EXPAND);
    TreeView_EnsureVisible(m_tree, At({"Mois", "D\xE9""cembre", "DECEMBRE.BMP"}));
    Drop({"Mois", "D\xE9""cembre", "DECEMBRE.BMP"}, IDYES, true);
    EXPECT_EQ(NodeImage(m_tree, At({"Mois", "D\xE9""cembre", "ETE.BMP"})), 22);
    EXPECT_EQ(SlotText(19), ete + "1");
    // Roots take nothing: "Semaine", the selected node, which Wine's tree does not
    // drop-highlight, must not pass the drop to another.
    TreeView_Expand(m_tree, At({"Mois"}), TVE_COLLAPSE);
    ASSERT_EQ(TreeView_GetSelection(m_tree), At({"Semaine"}));
    std::string kept = LoadedSlots();
    Drop({"Semaine"}, IDYES, false);
    Drop({"Mois"}, IDYES, false);
    EXPECT_EQ(LoadedSlots(), kept);
    EXPECT_EQ(Snapshot(kCompanyKey), before) << "a drop wrote to the registry";

    // A drag shows its target and holds the mouse; off the tree, below the last
    // node, on Escape or on a lost capture (as to a task switch) it ends with
    // nothing dropped.
    const HTREEITEM saturday = At({"Semaine", "Samedi"});
    const POINT onSaturday = NodePoint(m_tree, saturday), onList = ItemPoint(m_list, 0);
    Drag(onList, onSaturday, false);
    EXPECT_EQ(Highlight(m_tree, saturday), saturday);
    EXPECT_TRUE(Eventually([&] { return CaptureOf(m_dlg->m_hwnd) == m_dlg->m_hwnd; }, 2000));
    Drag(onSaturday, onList, true, false);
    EXPECT_EQ(Highlight(m_tree, nullptr), nullptr) << "off the tree";
    RECT tree;
    GetClientRect(m_tree, &tree);
    Drag(onList, OnScreen(m_tree, {tree.right / 2, tree.bottom - 5}));   // below the last node
    for (bool escape : {true, false}) {
        Drag(onList, onSaturday, false);
        escape ? Key(VK_ESCAPE) : void(m_dlg->Send(WM_CANCELMODE));
        EXPECT_TRUE(Eventually([&] { return !CaptureOf(m_dlg->m_hwnd); }, 2000)) << escape;
        EXPECT_EQ(Highlight(m_tree, nullptr), nullptr) << escape;
        MouseAt(onSaturday, MOUSEEVENTF_LEFTUP);
    }
    EXPECT_FALSE(m_dlg->m_ended) << "Escape ended the program";
    EXPECT_EQ(LoadedSlots(), kept) << "something was dropped";
    m_dlg->OpenFolder({"C:", "mirval-tests", "long"});   // the next drag keeps a long name whole
    Drop({"Semaine", "Samedi"}, IDYES, false);
    EXPECT_EQ(g_pSchedule->slot[6].file, std::string(251, 'L') + ".BMP");
}

// 2026-12-07 is a Monday. A day that begins while "Terminer !" is open gets its
// picture once the box has put the old one back; one that begins while a drop
// waits unsaved gets the stored picture, the drop kept for "Ok".
TEST_F(Calendar, ANewDayWaitsForTheDesktopTestAndLeavesAnUnsavedDropAsItIs)
{
    const std::string folder = std::string(kFiles) + "calendrier\\";
    FixedClock clock(CTime(2026, 12, 7, 23, 59, 0));
    ApplyTodaysWallpaper(APPLY_STARTUP);
    g_selectedPicture = (folder + "DECEMBRE.BMP").c_str();
    std::string during;
    MessageBoxAnswer box(IDOK, 10000, [&] {
        g_fixedTime = CTime(2026, 12, 8, 0, 0, 5).GetTime();
        m_dlg->Send(WM_TIMECHANGE);
        during = Wallpaper();
    });
    m_dlg->Click(IDC_APERCU);
    ASSERT_TRUE(box.Answered());
    EXPECT_EQ(during, folder + "DECEMBRE.BMP") << "the test's picture stays while it runs";
    EXPECT_EQ(Wallpaper() + "|" + ReadText(kDesktop, "TileWallpaper"), folder + "MARDI.BMP|1");

    m_dlg->OpenFolder({"C:", "mirval-tests", "glisser"});
    Drop({"Semaine", "Mercredi"}, IDYES, true);
    const std::string table = LoadedSlots();
    g_fixedTime = CTime(2026, 12, 9, 0, 0, 5).GetTime();
    m_dlg->Send(WM_TIMECHANGE);
    EXPECT_EQ(Wallpaper(), std::string(kFiles) + "abimees\\PIXELS.BMP") << "the stored picture";
    EXPECT_EQ(LoadedSlots(), table);
    EXPECT_EQ(Children(m_tree, At({"Semaine", "Mercredi"})), Path{"ETE.BMP"});
    EXPECT_TRUE(m_dlg->Shown());
    m_dlg->Click(IDC_OK);
    EXPECT_EQ(Wallpaper(), std::string(kFiles) + "glisser\\ETE.BMP") << "Ok saves the drop";
}

// "&Quitter" chosen from the tray menu while a question or box is open ends the
// program there: nothing is touched or saved, and the desktop test puts back.
TEST_F(Calendar, QuittingWhileABoxIsOpenEndsTheProgramCleanly)
{
    const std::string desktop = ReadText(kDesktop, "Wallpaper");
    struct { const char* what; std::function<void()> open; } ways[] = {
        {"the Delete question", [&] {
             Click(NodePoint(m_tree, At({"Semaine", "Mardi", "MARDI.BMP"})));
             Key(VK_DELETE);
         }},
        {"the replace question", [&] {
             m_dlg->OpenFolder({"C:", "mirval-tests", "glisser"});
             Drag(ItemPoint(m_list, 0), NodePoint(m_tree, At({"Semaine", "Mardi"})));
         }},
        {"the desktop test", [&] { m_dlg->Post(WM_COMMAND, IDC_APERCU); }},
    };
    for (auto& way : ways) {
        if (!m_dlg) Start();
        const std::string before = Snapshot(kCompanyKey);
        way.open();
        HWND box = nullptr;   // a dialog of the program's thread over its main window
        auto other = [&](HWND w) { return w != m_dlg->m_hwnd; };
        ASSERT_TRUE(Eventually([&] { return (box = FindOwn("#32770", other)) != nullptr; }));
        m_dlg->Post(WM_TRAYICON, TRAY_ICON_ID, WM_RBUTTONDOWN);
        HWND menu = nullptr;
        ASSERT_TRUE(Eventually([&] { return (menu = FindOwn("#32768")) != nullptr; })) << way.what;
        PostMessageA(menu, WM_CHAR, 'q', 0);   // "&Quitter"
        EXPECT_TRUE(m_dlg->WaitEnded()) << way.what;
        EXPECT_EQ(m_dlg->m_result, 0) << way.what;
        EXPECT_FALSE(IsWindow(box)) << way.what << " stayed open";
        m_dlg.reset();
        EXPECT_EQ(Snapshot(kCompanyKey), before) << way.what;
        EXPECT_EQ(ReadText(kDesktop, "Wallpaper"), desktop) << way.what;
    }
}
