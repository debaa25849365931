// CWnd: the C++ object of a window, holding its handle.
#pragma once
#include <windows.h>

class CWnd {
public:
    virtual ~CWnd() = default;
    HWND GetSafeHwnd() const { return m_hWnd; }

    HWND m_hWnd = nullptr;
};
