// The framework's application object, profile functions, text and time classes,
// against the real registry of the test prefix.
#include "tests/support/test_support.h"
#include <gtest/gtest.h>

CWinApp app;   // named after this executable

namespace {
const char kCompany[] = "Mirval Framework Tests";
const char kAppKey[] = "Software\\Mirval Framework Tests\\framework_tests";

class Profile : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteKeyTree("Software\\Mirval Framework Tests");
        app.SetRegistryKey(kCompany);
    }
    void TearDown() override { DeleteKeyTree("Software\\Mirval Framework Tests"); }
    static std::string Key(const char* section) { return std::string(kAppKey) + "\\" + section; }
};
}

TEST(Application, IsNamedAfterItsExecutable)
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string help(path);
    help = help.substr(0, help.rfind('.')) + ".HLP";

    EXPECT_STREQ(app.m_strAppName, "framework_tests");
    EXPECT_STREQ(app.m_strHelpFilePath, help.c_str());
    EXPECT_EQ(AfxGetApp(), &app);
}

TEST_F(Profile, KeyFollowsTheRegistryKeyAndTheApplicationName)
{
    EXPECT_STREQ(app.GetProfileKeyPath(), kAppKey);
}

TEST_F(Profile, NothingIsReadOrWrittenBeforeTheRegistryKeyIsNamed)
{
    app.m_strRegistryKey.Empty();
    EXPECT_FALSE(app.WriteProfileString("Divers", "Toujours", "x"));
    EXPECT_STREQ(app.GetProfileString("Divers", "Toujours", "dflt"), "dflt");
    EXPECT_FALSE(KeyExists("Software\\Mirval Framework Tests"));
}

TEST_F(Profile, FirstReadMakesTheApplicationAndSectionKeys)
{
    EXPECT_FALSE(KeyExists(kAppKey));
    EXPECT_STREQ(app.GetProfileString("Semaine", "Lundi", "dflt"), "dflt");
    EXPECT_TRUE(KeyExists(Key("Semaine").c_str()));
}

TEST_F(Profile, WritesTextsAsRegSzWithTheirZero)
{
    struct { const char* text; std::string stored; } cases[] = {
        {"C:\\IMAGES\\FOND.BMP", std::string("C:\\IMAGES\\FOND.BMP", 19)},
        {"", std::string("\0", 1)},
        {"\xE9t\xE9", std::string("\xE9t\xE9\0", 4)},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(app.WriteProfileString("Divers", "Toujours", c.text)) << c.text;
        RegValue v = ReadValue(Key("Divers").c_str(), "Toujours");
        EXPECT_EQ(v.type, static_cast<DWORD>(REG_SZ)) << c.text;
        EXPECT_EQ(v.data, c.stored) << c.text;
        EXPECT_STREQ(app.GetProfileString("Divers", "Toujours"), c.text);
    }
}

TEST_F(Profile, ValueNamesAreWindows1252AndCompareWithoutCase)
{
    ASSERT_TRUE(app.WriteProfileString("Mois", "F\xE9vrier", "feb"));
    ASSERT_TRUE(app.WriteProfileString("Semaine", "MosaLundi", "1"));

    // The name holds U+00E9, as the platform sees the byte 0xE9 of Windows-1252.
    CRegKey key;
    ASSERT_EQ(key.Open(HKEY_CURRENT_USER, Key("Mois").c_str(), KEY_READ), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExW(key, L"F\u00e9vrier", nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_STREQ(app.GetProfileString("Mois", "F\xC3\xA9vrier", "none"), "none");
    EXPECT_STREQ(app.GetProfileString("Semaine", "mosalundi", "none"), "1");
    EXPECT_STREQ(app.GetProfileString("Semaine", "MOSALUNDI", "none"), "1");
}

TEST_F(Profile, ReadsEveryKindOfStoredValueSafely)
{
    const std::string big(65536, 'x');
    struct {
        const char* what;
        DWORD type;
        std::string data;
        std::string expected;
    } cases[] = {
        {"a number", REG_DWORD, std::string("\x01\x00\x00\x00", 4), "dflt"},
        {"binary without a zero", REG_BINARY, "C:\\A.BMP", "dflt"},
        {"several texts", REG_MULTI_SZ, std::string("a\0b\0\0", 5), "dflt"},
        {"an expandable text, as stored", REG_EXPAND_SZ, std::string("%TEMP%\\A.BMP\0", 13),
         "%TEMP%\\A.BMP"},
        {"a text stored without its zero", REG_SZ, "C:\\A.BMP", "C:\\A.BMP"},
        {"a text with a zero inside", REG_SZ, std::string("C:\\A\0B", 6), "C:\\A"},
        {"an empty text of no bytes", REG_SZ, std::string(), ""},
        {"a text of 64 KiB", REG_SZ, big + '\0', big},
    };
    for (const auto& c : cases) {
        SetRawValue(Key("Divers").c_str(), "Toujours", c.type, c.data);
        EXPECT_EQ(std::string(app.GetProfileString("Divers", "Toujours", "dflt")), c.expected)
            << c.what;
    }
}

TEST(Text, PiecesStayInsideTheText)
{
    CString s("C:\\IMAGES\\FOND.BMP");
    EXPECT_EQ(s.ReverseFind('\\'), 9);
    EXPECT_EQ(s.ReverseFind('/'), -1);
    EXPECT_STREQ(s.Left(3), "C:\\");
    EXPECT_STREQ(s.Left(99), "C:\\IMAGES\\FOND.BMP");
    EXPECT_STREQ(s.Left(-1), "");
    EXPECT_STREQ(s.Right(3), "BMP");
    EXPECT_STREQ(s.Right(99), "C:\\IMAGES\\FOND.BMP");
    EXPECT_STREQ(s.Mid(10), "FOND.BMP");
    EXPECT_STREQ(s.Mid(18), "");
    EXPECT_STREQ(s.Mid(99), "");
    EXPECT_STREQ(CString(nullptr), "");
}

TEST(Text, UpperCaseFollowsTheCodePage)
{
    CString s("f\xE9te.bmp");
    s.MakeUpper();
    EXPECT_STREQ(s, "F\xC9TE.BMP");
}

TEST(Text, FormatsAndJoins)
{
    CString s;
    s.Format("%lu KB libre sur %c:", 320000ul, 'C');
    EXPECT_STREQ(s, "320000 KB libre sur C:");
    s.Format("%s", std::string(1000, 'a').c_str());
    EXPECT_EQ(s.GetLength(), 1000);
    CString joined = CString("Mosa") + "Lundi";
    joined += '!';
    EXPECT_TRUE(joined == "MosaLundi!");
}

TEST(Text, LoadStringOfAnAbsentIdIsEmpty)
{
    CString s("was here");
    EXPECT_FALSE(s.LoadString(4242));
    EXPECT_TRUE(s.IsEmpty());
}

TEST(Time, CalendarFieldsOfLocalDates)
{
    struct { CTime t; int wday, mday, mon, year; } cases[] = {
        {CTime(1999, 12, 5, 12, 0, 0), 0, 5, 11, 99},
        {CTime(2000, 1, 1, 0, 0, 1), 6, 1, 0, 100},
        {CTime(2026, 8, 1, 23, 59, 59), 6, 1, 7, 126},
    };
    for (const auto& c : cases) {
        struct tm tm;
        c.t.GetLocalTm(&tm);
        EXPECT_EQ(tm.tm_wday, c.wday);
        EXPECT_EQ(tm.tm_mday, c.mday);
        EXPECT_EQ(tm.tm_mon, c.mon);
        EXPECT_EQ(tm.tm_year, c.year);
    }
}

TEST(Time, TheClockCanBeSetAndGivenBack)
{
    {
        FixedClock clock(CTime(1999, 12, 5, 12, 0, 0));
        EXPECT_EQ(CTime::GetCurrentTime().GetTime(), CTime(1999, 12, 5, 12, 0, 0).GetTime());
    }
    EXPECT_LE(std::llabs(static_cast<long long>(CTime::GetCurrentTime().GetTime() - time(nullptr))), 2);
}

// Run with the help engine turned off in the prefix (see tests/CMakeLists.txt).
TEST(Help, AHelpEngineThatCannotStartIsReported)
{
    MessageBoxAnswer answer(IDOK);
    app.WinHelp(0, HELP_FINDER);
    ASSERT_TRUE(answer.Answered()) << "no message box";
    EXPECT_EQ(answer.caption, "framework_tests");
    CString expected;
    expected.LoadString(AFX_IDP_FAILED_TO_LAUNCH_HELP);
    EXPECT_FALSE(expected.IsEmpty());
    EXPECT_EQ(answer.text, std::string(expected));
}
