// The setup dialog's controls on the test world's drives and files: the folder
// tree and picture list, and the preview.
#include "tests/support/setup_world.h"

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
