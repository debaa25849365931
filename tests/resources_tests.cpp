// The resources of the built MIRVAL.EXE, byte for byte: the string table in the
// user's language (run once in French, once in English), the version, the two
// dialogs' texts and the artwork.
#include "tests/support/support.h"

namespace {
std::string ProgramPath()   // MIRVAL_EXE is the built program's path
{
    return WinPath(getenv("MIRVAL_EXE"));
}

HMODULE Program()
{
    static HMODULE module =
        LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    return module;
}

INT_PTR CALLBACK Inert(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A dialog made from the built program's template: its caption, then each
// control's text in the template's order.
std::string DialogTexts(UINT id)
{
    InitCommonControls();
    HWND dialog = CreateDialogParamA(Program(), MAKEINTRESOURCEA(id), nullptr, Inert, 0);
    std::string texts = Text(dialog);
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) texts += "|" + Text(c);
    DestroyWindow(dialog);
    return texts;
}
}

// What the dialogs say, byte for byte (the about box's icon by its number, 128);
// where each control stands is the template's own business.
TEST(Resources, DialogTextsAreTheProgramsOwn)
{
    ASSERT_TRUE(Program()) << "MIRVAL.EXE not found";
    EXPECT_EQ(DialogTexts(102), "Image du mirval|Calendrier :||Images :|||Image s\xE9lectionn\xE9""e tous les "
              "jours|Ok|Annuler|||<---|Glisser l'image vers le jour ou le mois d\xE9sir\xE9 <==||"
              "&Aper\xE7u|&Mosa\xEFque|&Centr\xE9");
    EXPECT_EQ(DialogTexts(100), "A propos de Mirval|\xFF\x80|Mirval version 1.3|OK|Static|Static|Static|Static");
}

TEST(Resources, StringTableInTheUsersLanguageAndNothingElse)
{
    struct { UINT id; const char* french; const char* english; } strings[] = {
        {101, "&Apropos de ...", "&About ..."},
        {103, "%lu KB", "%lu KB"},
        {104, "%lu KB libre sur %c:", "%lu KB on free %c:"},
        {105, "Unavailable", "Unavailable"},
        {106, "Image du mirval", "Mirval picture"},
        {107, "Voulez vous remplacer\nl'image", "Would you like do change\nthe picture"},
        {108, "Attention", "Warning"},
        {109, "Confimez la suppression\nde cette image",
         "Are you sure that you want to deleteon\nthis picture"},
        {110, "Confirmation", "Confirm"},
        {111, "Pour une image tous le jour\nCelle-ci doit \xEAtre s\xE9lectionner !",
         "For a picture every day\nthat picture must be selected first !"},
        {112, "Dimanche ", "Sunday, "}, {113, "Lundi ", "Monday, "}, {114, "Mardi ", "Tuesday, "},
        {115, "Mercredi ", "Wednesday, "}, {116, "Jeudi ", "Thursday, "},
        {117, "Vendredi ", "Friday, "}, {118, "Samedi ", "Saturday, "},
        {119, " Janvier ", " January "}, {120, " F\xE9vrier ", " Febuary "},
        {121, " Mars ", " March "}, {122, " Avril ", " April "}, {123, " Mai ", " May "},
        {124, " Juin ", " June "}, {125, " Juillet ", " July "}, {126, " Ao\xFBt ", " Auguste "},
        {127, " Septembre ", " September "}, {128, " Octobre ", " October "},
        {129, " Novembre ", " November "}, {130, " D\xE9""cembre ", " D\xE9""cember "},
        {131, "Les r\xE9glages n'ont pas pu \xEAtre enregistr\xE9s.",
         "The settings could not be saved."},
        {61703, "Le d\xE9marrage de l'aide a \xE9""chou\xE9.", "Failed to launch help."},
    };
    const LANGID language = PRIMARYLANGID(GetUserDefaultUILanguage());
    ASSERT_TRUE(language == LANG_FRENCH || language == LANG_ENGLISH) << "run with LC_ALL set";
    std::vector<UINT> ids = {61703};   // and every number around the program's own
    for (UINT id = 100; id < 140; ++id) ids.push_back(id);
    for (UINT id : ids) {
        char text[256] = "";
        const int length = LoadStringA(Program(), id, text, sizeof text);
        const char* expected = "";
        for (const auto& s : strings)
            if (s.id == id) expected = French() ? s.french : s.english;
        EXPECT_EQ(std::string(text, std::max(length, 0)), expected) << id;
    }
}

TEST(Resources, VersionNamesTheProgram)
{
    std::vector<char> block(GetFileVersionInfoSizeA(ProgramPath().c_str(), nullptr));
    GetFileVersionInfoA(ProgramPath().c_str(), 0, DWORD(block.size()), block.data());
    std::string values;
    for (const char* name : {"FileDescription", "FileVersion", "InternalName", "OriginalFilename",
                             "ProductName", "ProductVersion"}) {
        char* value = nullptr;
        UINT length = 0;
        const std::string path = std::string("\\StringFileInfo\\040C04E4\\") + name;
        VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length);
        values += std::string(value ? value : "<none>") + "|";
    }
    EXPECT_EQ(values, "Application MFC MIRVAL|1, 0, 0, 1|MIRVAL|MIRVAL.EXE|"
                      "Application MIRVAL|1, 0, 0, 1|");
}

// The program's icon at the sizes of the classic shell (16, 32) and of the tray
// and the shell at 150% (24, 48), and its manifest, which older systems ignore.
TEST(Resources, ProgramIconSizesAndManifest)
{
    const BYTE* group = static_cast<const BYTE*>(LockResource(LoadResource(Program(),
        FindResourceA(Program(), MAKEINTRESOURCEA(IDR_MAINFRAME), MAKEINTRESOURCEA(14)))));
    ASSERT_TRUE(group);
    std::string sizes;   // from the group's entries of 14 bytes after its 6
    for (int i = 0; i < reinterpret_cast<const WORD*>(group)[2]; ++i)
        sizes += std::to_string(group[6 + 14 * i]) + " ";
    EXPECT_EQ(sizes, "16 32 24 48 ");
    HRSRC found = FindResourceA(Program(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_TRUE(found) << "no manifest";
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(Program(), found))),
                               SizeofResource(Program(), found));
    for (const char* part : {"level=\"asInvoker\"", "{e2011457-1546-43c5-a5fe-008deee3d3f0}",
                             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                             "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                             "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
                             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", ">true</dpiAware>"})
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
    EXPECT_EQ(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
}

namespace {
// The icon drawn at 16 pixels on a background, as 0x00RRGGBB values.
std::vector<DWORD> IconOn(UINT id, DWORD background)
{
    std::vector<DWORD> pixels(256);
    HANDLE icon = LoadImageA(Program(), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0);
    if (!icon) return {};
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), 16, -16, 1, 32}};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    std::fill_n(static_cast<DWORD*>(bits), 256, background);
    DrawIconEx(dc, 0, 0, static_cast<HICON>(icon), 16, 16, 0, nullptr, DI_NORMAL);
    GdiFlush();
    for (int at = 0; at < 256; ++at) pixels[at] = static_cast<DWORD*>(bits)[at] & 0xFFFFFF;
    DeleteObject(SelectObject(dc, old));
    DeleteDC(dc);
    DestroyIcon(static_cast<HICON>(icon));
    return pixels;
}

BOOL CALLBACK NoteIcon(HMODULE, LPCSTR, LPSTR name, LONG_PTR found)
{
    if (IS_INTRESOURCE(name)) reinterpret_cast<std::vector<UINT>*>(found)->push_back(UINT(LOWORD(name)));
    return TRUE;
}
}

// Every icon of the calendar (all the built resources carry but the folder
// tree's drives and folder, drawn as Explorer draws them) shows on the tree's
// usual white and on the black of high contrast: a figure's edge, at least,
// stands out from both.
TEST(Resources, TheCalendarsIconsStandOutOnWhiteAndOnBlack)
{
    std::vector<UINT> icons, calendar;
    EnumResourceNamesA(nullptr, RT_GROUP_ICON, NoteIcon, reinterpret_cast<LONG_PTR>(&icons));
    for (UINT id : icons)
        if (id != IDI_FOLDER && id != IDI_HARD_DISK && id != IDI_CDROM && id != IDI_FLOPPY) calendar.push_back(id);
    EXPECT_GE(calendar.size(), 23u) << "the calendar's roots, days, months and picture";
    auto luminance = [](DWORD c) {
        return (299 * GetBValue(c) + 587 * GetGValue(c) + 114 * GetRValue(c)) / 1000;
    };
    for (UINT id : calendar) {
        for (DWORD background : {0xFFFFFFu, 0u}) {
            int standing = 0;   // pixels far from the background in lightness
            for (DWORD pixel : IconOn(id, background))
                standing += std::abs(luminance(pixel) - luminance(background)) >= 96;
            EXPECT_GE(standing, 32) << "icon " << id << " on " << (background ? "white" : "black");
        }
    }
}
