// The string tables and the version resource, byte for byte. Run once in French
// and once in English: the platform's loader picks the table by the user's language.
#include "tests/support/test_support.h"
#include "res/resource.h"
#include <gtest/gtest.h>
#include <vector>

CWinApp app;

namespace {
struct Entry {
    UINT id;
    const char* french;
    const char* english;
};

// Accented letters as Windows-1252 bytes, written out so that no compiler
// setting can hide a wrong byte.
const Entry kStrings[] = {
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
    {112, "Dimanche ", "Sunday, "},
    {113, "Lundi ", "Monday, "},
    {114, "Mardi ", "Tuesday, "},
    {115, "Mercredi ", "Wednesday, "},
    {116, "Jeudi ", "Thursday, "},
    {117, "Vendredi ", "Friday, "},
    {118, "Samedi ", "Saturday, "},
    {119, " Janvier ", " January "},
    {120, " F\xE9vrier ", " Febuary "},
    {121, " Mars ", " March "},
    {122, " Avril ", " April "},
    {123, " Mai ", " May "},
    {124, " Juin ", " June "},
    {125, " Juillet ", " July "},
    {126, " Ao\xFBt ", " Auguste "},
    {127, " Septembre ", " September "},
    {128, " Octobre ", " October "},
    {129, " Novembre ", " November "},
    {130, " D\xE9" "cembre ", " D\xE9" "cember "},
    {131, "Les r\xE9glages n'ont pas pu \xEAtre enregistr\xE9s.", "The settings could not be saved."},
    {61703, "Le d\xE9marrage de l'aide a \xE9" "chou\xE9.", "Failed to launch help."},
};

bool French()
{
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_FRENCH;
}
}

TEST(StringTable, EveryTextInTheUsersLanguage)
{
    LANGID lang = PRIMARYLANGID(GetUserDefaultUILanguage());
    ASSERT_TRUE(lang == LANG_FRENCH || lang == LANG_ENGLISH) << "run with LC_ALL set";
    for (const Entry& e : kStrings) {
        CString s;
        EXPECT_TRUE(s.LoadString(e.id)) << e.id;
        EXPECT_EQ(std::string(s), std::string(French() ? e.french : e.english)) << "string " << e.id;
    }
}

TEST(StringTable, HoldsNothingElse)
{
    for (UINT id = 100; id < 140; ++id) {
        bool listed = false;
        for (const Entry& e : kStrings) listed = listed || e.id == id;
        CString s;
        EXPECT_EQ(s.LoadString(id) != FALSE, listed) << "string " << id;
    }
}

TEST(VersionResource, NamesTheProgram)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, block.data()));

    const char* expected[][2] = {
        {"FileDescription", "Application MFC MIRVAL"},
        {"FileVersion", "1, 0, 0, 1"},
        {"InternalName", "MIRVAL"},
        {"OriginalFilename", "MIRVAL.EXE"},
        {"ProductName", "Application MIRVAL"},
        {"ProductVersion", "1, 0, 0, 1"},
    };
    for (const auto& e : expected) {
        std::string query = std::string("\\StringFileInfo\\040C04E4\\") + e[0];
        char* value = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value),
                                   &length)) << e[0];
        EXPECT_STREQ(value, e[1]) << e[0];
    }

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
}
