#include "wnd.h"
#include "winapp.h"

namespace {
// A window bound to its object carries this property, the object's address: set
// by the framework alone, so a window of anyone else's never has it.
const char BOUND_OBJECT[] = "Mirval.CWnd";
// A window detached from its object while a procedure set after ours still
// calls ours: the procedure ours handed on to, so that the chain stays whole.
const char HANDED_ON[] = "Mirval.CWnd.super";

// The wrapper for the moment of a window bound to nothing. One is all the
// callers need: each uses it at once (the drag's window under the pointer, the
// desktop window it locks its image to) and asks for no other meanwhile.
CWnd g_temporary;
}

const CRuntimeClass CWnd::runtimeClass = {nullptr};

CWnd::~CWnd()
{
    Detach();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    // A property is read from any process's window, and another Mirval's (or any
    // program's) may carry one of this name: its value is an address there.
    DWORD process = 0;
    if (!hWnd || !GetWindowThreadProcessId(hWnd, &process) || process != GetCurrentProcessId())
        return nullptr;
    return static_cast<CWnd*>(::GetPropA(hWnd, BOUND_OBJECT));
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (!hWnd) return nullptr;
    if (CWnd* bound = FromHandlePermanent(hWnd)) return bound;
    g_temporary.m_hWnd = hWnd;
    return &g_temporary;
}

BOOL CWnd::Attach(HWND hWnd)
{
    Detach();
    if (!hWnd) return FALSE;
    m_hWnd = hWnd;
    ::SetPropA(hWnd, BOUND_OBJECT, this);
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND h = m_hWnd;
    if (h && m_pfnSuper) {
        // The window's own procedure back, and no way to this object left in it: a
        // message after the object is gone reaches no freed memory. (Behind a
        // procedure set after ours, only the way to the object goes.)
        if (::GetWindowLongPtrA(h, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(SubclassProc))
            ::SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        else
            ::SetPropA(h, HANDED_ON, reinterpret_cast<HANDLE>(m_pfnSuper));
        ::SetWindowLongPtrA(h, GWLP_USERDATA, 0);
        m_pfnSuper = nullptr;
    }
    if (h && FromHandlePermanent(h) == this) ::RemovePropA(h, BOUND_OBJECT);
    m_hWnd = nullptr;
    return h;
}

CString CWnd::GetWindowText() const
{
    const int n = ::GetWindowTextLengthA(m_hWnd);
    CBuffer<char> buf(static_cast<size_t>(n) + 1);
    if (!buf.empty()) ::GetWindowTextA(m_hWnd, buf.data(), n + 1);
    return CString(buf.data());
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!Attach(hWnd)) return FALSE;
    // Every message asks for the object: from the window's own data slot, which is
    // free in a window the framework made and read without leaving the process
    // (a property is asked of the system each time).
    ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
    return TRUE;
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = reinterpret_cast<CWnd*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    if (!wnd) {   // detached under another's procedure: on down the chain
        const auto super = reinterpret_cast<WNDPROC>(::GetPropA(hWnd, HANDED_ON));
        if (message == WM_NCDESTROY) ::RemovePropA(hWnd, HANDED_ON);
        return super ? ::CallWindowProcA(super, hWnd, message, wParam, lParam)
                     : ::DefWindowProcA(hWnd, message, wParam, lParam);
    }

    // Default() answers the message being handled, also inside nested messages.
    MSG outer = wnd->m_current;
    wnd->m_current = {hWnd, message, wParam, lParam, 0, {0, 0}};
    LRESULT result = wnd->WindowProc(message, wParam, lParam);
    wnd->m_current = outer;

    if (message == WM_NCDESTROY) wnd->Detach();
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (OnWndMsg(message, wParam, lParam, &result)) return result;
    return m_pfnSuper ? CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam)
                      : ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const MSG& m = m_current;
    return m_pfnSuper ? CallWindowProcA(m_pfnSuper, m_hWnd, m.message, m.wParam, m.lParam)
                      : ::DefWindowProcA(m_hWnd, m.message, m.wParam, m.lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND) {
        // Menus, accelerators and button clicks are commands; other control
        // notifications are not.
        if (lParam && HIWORD(wParam) != BN_CLICKED) return FALSE;
        UINT id = LOWORD(wParam);
        // What the window does not take goes on to the application object.
        CWinApp* app = AfxGetApp();
        if (!OnCmdMsg(id) && !(app && app->OnCmdMsg(id))) return FALSE;
        *pResult = 0;
        return TRUE;
    }
    const MsgMapEntry* entry;
    if (message == WM_NOTIFY) {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        entry = FindEntry(WM_NOTIFY, static_cast<UINT>(header->idFrom), header->code);
    } else {
        entry = FindEntry(message, 0, 0);
    }
    if (!entry) return FALSE;
    *pResult = entry->thunk(this, wParam, lParam);
    return TRUE;
}
