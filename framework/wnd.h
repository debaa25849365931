// CWnd: the C++ object of a window. Windows the framework made (dialogs) and
// controls bound to members are found again from their handles.
#pragma once
#include <windows.h>
#include <type_traits>
#include "cstring.h"
#include "msgmap.h"

// A class's name for the run-time class test, which needs no type information
// from the compiler: each class that is asked about has one, naming its base's.
struct CRuntimeClass {
    const CRuntimeClass* m_pBaseClass;
};

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The object bound to hWnd, or nullptr.
    static CWnd* FromHandlePermanent(HWND hWnd);
    // The bound object, else a wrapper of the framework's own that serves
    // while the caller uses it (for windows it did not make, as WindowFromPoint
    // gives them).
    static CWnd* FromHandle(HWND hWnd);

    // Binds the handle to this object (without taking over its messages).
    BOOL Attach(HWND hWnd);
    HWND Detach();
    HWND GetSafeHwnd() const { return m_hWnd; }
    // The run-time class test: whether this object is a T. T must name a
    // run-time class of its own (runtimeClass beside RuntimeClassOwner naming T):
    // one that inherits its base's would be answered for as that base.
    static const CRuntimeClass runtimeClass;
    using RuntimeClassOwner = CWnd;
    virtual const CRuntimeClass* GetRuntimeClass() const { return &runtimeClass; }
    template <class T>
    bool IsKindOf() const
    {
        static_assert(std::is_same<typename T::RuntimeClassOwner, T>::value,
                      "IsKindOf: the class declares no run-time class of its own");
        for (const CRuntimeClass* c = GetRuntimeClass(); c; c = c->m_pBaseClass)
            if (c == &T::runtimeClass) return true;
        return false;
    }
    static CWnd* WindowFromPoint(POINT point) { return FromHandle(::WindowFromPoint(point)); }
    static CWnd* GetDesktopWindow() { return FromHandle(::GetDesktopWindow()); }
    HWND SetCapture() { return ::SetCapture(m_hWnd); }

    // Every message of a window the framework made: the message map, then the
    // window's default processing.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL DestroyWindow() { return ::DestroyWindow(m_hWnd); }
    // The default processing of the message being handled.
    LRESULT Default();

    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void SetWindowText(const char* psz) { ::SetWindowTextA(m_hWnd, psz); }
    CString GetWindowText() const;
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC pfn)
    {
        return ::SetTimer(m_hWnd, nIDEvent, nElapse, pfn);
    }
    BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }
    HMENU GetSystemMenu(BOOL bRevert) const { return ::GetSystemMenu(m_hWnd, bRevert); }
    HICON SetIcon(HICON hIcon, BOOL bBigIcon)
    {
        return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL,
                                                   reinterpret_cast<LPARAM>(hIcon)));
    }
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
    HWND SetFocus() { return ::SetFocus(m_hWnd); }
    int MessageBox(const char* pszText, const char* pszCaption = nullptr, UINT nType = MB_OK)
    {
        return ::MessageBoxA(m_hWnd, pszText, pszCaption, nType);
    }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }
    void GetWindowRect(RECT* pRect) const { ::GetWindowRect(m_hWnd, pRect); }
    void GetClientRect(RECT* pRect) const { ::GetClientRect(m_hWnd, pRect); }
    void ScreenToClient(POINT* pPoint) const { ::ScreenToClient(m_hWnd, pPoint); }
    void ScreenToClient(RECT* pRect) const
    {
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(pRect), 2);
    }
    void ClientToScreen(POINT* pPoint) const { ::ClientToScreen(m_hWnd, pPoint); }
    void InvalidateRect(const RECT* pRect, BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, pRect, bErase); }
    // A control by its number as a handle: the wrapper FromHandle lends for a
    // window of no object is one for all, and a second call would change the
    // first's under its caller. The controls a dialog keeps are its members.
    void GetDlgItem(int nID, HWND* phWnd) const { *phWnd = ::GetDlgItem(m_hWnd, nID); }
    void SetDlgItemText(int nID, const char* psz) { ::SetDlgItemTextA(m_hWnd, nID, psz); }

    HWND m_hWnd = nullptr;

protected:
    // Takes over the messages of hWnd, which the window's own procedure then
    // gets only through Default.
    BOOL SubclassWindow(HWND hWnd);
    // The message map's part of WindowProc; FALSE when no entry took the message.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

private:
    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    WNDPROC m_pfnSuper = nullptr;
    MSG m_current = {};
};
