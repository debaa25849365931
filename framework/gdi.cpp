#include "gdi.h"
#include "winapp.h"
#include "wnd.h"

int SystemDpi()
{
    static const int dpi = [] {
        HDC screen = ::GetDC(nullptr);
        const int n = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
        if (screen) ::ReleaseDC(nullptr, screen);
        return n > 0 ? n : 96;
    }();
    return dpi;
}

int SmallIconSize()
{
    static const int size = [] {
        const int n = ::GetSystemMetrics(SM_CXSMICON);
        return n > 0 ? n : 16;
    }();
    return size;
}

BOOL CBitmap::LoadBitmap(UINT nIDResource)
{
    return Attach(::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource)));
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd)
{
    m_hDC = ::BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC()
{
    ::EndPaint(m_hWnd, &m_ps);
    m_hDC = nullptr;
}

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd)
{
    m_hDC = ::GetWindowDC(m_hWnd);
}

CWindowDC::~CWindowDC()
{
    if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
    m_hDC = nullptr;
}

CClientDC::CClientDC(CWnd* pWnd)
{
    m_hWnd = pWnd ? pWnd->m_hWnd : nullptr;
    m_hDC = ::GetDC(m_hWnd);
}
