// The framework's own containers and windows: what the program's code leans on
// without a second look.
#include "tests/support/support.h"

TEST(Framework, BuffersGrowZeroedAndKeepWhatTheyHadWhenMemoryRunsOut)
{
    CBuffer<char> bytes(4);
    memset(bytes.data(), 'x', 4);
    ASSERT_TRUE(bytes.Resize(3) && bytes.Resize(4));   // the same block, likely, grown again
    ASSERT_TRUE(bytes.Resize(6));
    EXPECT_EQ(std::string(bytes.data(), 6), std::string("xxx\0\0\0", 6)) << "grown zeroed";
    CBuffer<int> numbers(2);
    numbers[0] = 7, numbers[1] = 8;
    // Counts whose byte size wraps round to 4 and to 64 bytes, which an allocation
    // would grant: refused, the buffer kept whole.
    for (size_t huge : {SIZE_MAX / sizeof(int) + 2, SIZE_MAX / sizeof(int) + 17}) {
        EXPECT_FALSE(numbers.Resize(huge)) << huge;
        EXPECT_EQ(std::to_string(numbers.size()) + ":" + std::to_string(numbers[0]) +
                      std::to_string(numbers[1]), "2:78") << huge;
    }
}

TEST(Framework, TextsCutAtTheirEndsAppendThemselvesAndFormatUpToTheirLimit)
{
    const CString abc = "abc";
    struct { CString piece; const char* expected; } pieces[] = {
        {abc.Left(-1), ""}, {abc.Left(0), ""}, {abc.Left(2), "ab"}, {abc.Left(4), "abc"},
        {abc.Right(-1), ""}, {abc.Right(2), "bc"}, {abc.Right(4), "abc"},
        {abc.Mid(-1), "abc"}, {abc.Mid(1), "bc"}, {abc.Mid(3), ""}, {abc.Mid(4), ""},
    };
    for (const auto& p : pieces) EXPECT_EQ(std::string(p.piece), p.expected);
    CString self = "abc";
    self += self;
    self += static_cast<const char*>(self) + 4;
    EXPECT_EQ(std::string(self), "abcabcbc");
    for (size_t length : {100u, 1024u, 1500u}) {
        CString formatted;
        formatted.Format("%s", std::string(length, 'f').c_str());
        EXPECT_EQ(formatted.GetLength(), static_cast<int>(std::min<size_t>(length, 1024)));
    }
}

namespace {
struct Subclassed : CWnd {
    using CWnd::SubclassWindow;
};

WNDPROC g_after;   // what a procedure set after the framework's hands on to
LRESULT CALLBACK After(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcA(g_after, hWnd, message, wParam, lParam);
}
}

// Its object gone, a window answers with its own procedure, not through the
// object's memory.
TEST(Framework, ADetachedWindowGetsItsOwnProcedureBack)
{
    HWND label = CreateWindowA("STATIC", "texte", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                               nullptr, nullptr);
    const LONG_PTR own = GetWindowLongPtrA(label, GWLP_WNDPROC);
    {
        Subclassed window;
        ASSERT_TRUE(window.SubclassWindow(label));
        ASSERT_NE(GetWindowLongPtrA(label, GWLP_WNDPROC), own);
    }
    EXPECT_EQ(GetWindowLongPtrA(label, GWLP_WNDPROC), own);
    EXPECT_EQ(GetWindowLongPtrA(label, GWLP_USERDATA), 0);
    EXPECT_EQ(Text(label), "texte");
    // Behind a procedure set after ours, the chain down to the control's own
    // stays whole (its code for dialogs is its own; the default one's is 0).
    {
        Subclassed window;
        window.SubclassWindow(label);
        g_after = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(After)));
    }
    EXPECT_EQ(SendMessageA(label, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
    DestroyWindow(label);
}
