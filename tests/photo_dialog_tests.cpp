// Photos in the real dialog: listed beside the bitmaps, previewed as the desktop
// will show them once their job has decoded them, while the window answers.
#include "tests/support/photos.h"
#include "tests/support/setup_world.h"

namespace {
bool Near(COLORREF a, COLORREF b)   // as a JPEG gives a plain colour back
{
    return abs(GetRValue(a) - GetRValue(b)) + abs(GetGValue(a) - GetGValue(b)) + abs(GetBValue(a) - GetBValue(b)) < 12;
}

bool Shows(POINT p, COLORREF colour)
{
    return Eventually([&] {
        HDC screen = GetDC(nullptr);
        const COLORREF seen = GetPixel(screen, p.x, p.y);
        ReleaseDC(nullptr, screen);
        return Near(seen, colour);
    });
}
}

TEST_F(Setup, PhotosAreListedAndPreviewedAsTheDesktopWillShowThem)
{
    const std::string folder = std::string(kFiles) + "photos\\";
    WriteBytes(folder + "DEGUISE.JPG", FileText(PhotoPath("VERRE.PNG")));   // a PNG by its bytes
    WriteBytes(folder + "FAUX.JPG", "pas une photo");
    WriteBytes(folder + "ENORME.PNG", FileText(PhotoPath("VERRE.PNG")).substr(0, 16) +
                                          std::string("\0\x01\x86\xA0\0\x01\x86\xA0", 8));
    WriteBitmap(folder + "petit.bmp", 8, 8, RGB(0, 255, 0));
    WriteBytes(folder + "photo.dib", "");
    for (const char* name : {"ROUGE.JPG", "VERRE.PNG", "ANIME.GIF", "GRAND.JPG"})
        CopyFileA(PhotoPath(name).c_str(), (folder + name).c_str(), FALSE);
    Resident dlg;
    dlg.Tray(WM_LBUTTONDOWN);
    dlg.OpenFolder({"C:", "mirval-tests", "photos"});
    HWND list = dlg.Item(IDC_PICTURE_LIST), frame = dlg.Item(IDC_SCREEN_FRAME);
    Path listed;
    for (int i = 0; i < ListView_GetItemCount(list); ++i) listed.push_back(ListRow(list, i));
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (Path{"ANIME.GIF|" + folder, "DEGUISE.JPG|" + folder, "ENORME.PNG|" + folder,
                            "FAUX.JPG|" + folder, "GRAND.JPG|" + folder, "PETIT.BMP|" + folder,
                            "ROUGE.JPG|" + folder, "VERRE.PNG|" + folder}));
    auto pick = [&](const char* name) {
        for (int i = 0; i < ListView_GetItemCount(list); ++i)
            if (ListRow(list, i).rfind(name + std::string("|"), 0) == 0) dlg.ChoosePicture(i);
    };
    auto choose = [&](const char* name) {
        pick(name);
        return std::string(name) + (Eventually([] { return g_previewLoaded == 1; }, 3000) ? " shown" : " empty");
    };
    RECT client;
    GetClientRect(frame, &client);
    const POINT middle = Middle(frame, client);
    // 12 megapixels decode for a while: meanwhile the window answers, the screen empty.
    pick("GRAND.JPG");
    DWORD_PTR answer;
    EXPECT_TRUE(SendMessageTimeoutA(dlg.m_hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer));
    EXPECT_EQ(g_previewLoaded, 0) << "decoded on the window's thread";
    EXPECT_TRUE(Eventually([] { return g_previewLoaded == 1; }) && Shows(middle, RGB(0, 0, 255)));
    // 1600 x 900 fills the screen's height: the frame's middle and its edges red.
    EXPECT_EQ(choose("ROUGE.JPG"), "ROUGE.JPG shown");
    for (POINT at : {middle, OnScreen(frame, {1, client.bottom / 2}), OnScreen(frame, {client.right / 2, 1})})
        EXPECT_TRUE(Shows(at, RGB(255, 0, 0))) << at.x << "," << at.y;
    // Its left half clear: the desktop's colour there, green on the right.
    for (const char* name : {"VERRE.PNG", "DEGUISE.JPG"}) {
        EXPECT_EQ(choose(name), name + std::string(" shown"));
        EXPECT_TRUE(Shows({middle.x + 2, middle.y}, RGB(0, 255, 0))) << name;
        EXPECT_TRUE(Shows({middle.x - 3, middle.y}, GetSysColor(COLOR_DESKTOP))) << name;
    }
    EXPECT_EQ(choose("ANIME.GIF"), "ANIME.GIF shown");
    EXPECT_TRUE(Shows(middle, RGB(0, 0, 255)));
    for (const char* name : {"FAUX.JPG", "ENORME.PNG"}) {
        EXPECT_EQ(choose(name), name + std::string(" empty"));
        EXPECT_EQ(Text(dlg.Item(IDC_PICTURE_NAME)), name);
        EXPECT_TRUE(Shows(middle, RGB(0, 128, 128))) << name;
    }
}
