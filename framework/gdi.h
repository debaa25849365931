// GDI objects that delete what they hold, and device contexts that give back
// what they borrowed.
#pragma once
#include <windows.h>

class CWnd;

// The screen as the system set it up, read once, at the first question: its
// pixels per logical inch (96 at 100%, 144 at 150%) and the size of its small
// icons (16 at 96 DPI, 24 at 144).
int SystemDpi();
int SmallIconSize();
// A size given in pixels for a 96-DPI screen, at this screen's DPI.
inline int ScaleToDpi(int nPixels) { return MulDiv(nPixels, SystemDpi(), 96); }

class CGdiObject {
public:
    CGdiObject() = default;
    ~CGdiObject() { DeleteObject(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    BOOL Attach(HGDIOBJ hObject)
    {
        DeleteObject();
        m_hObject = hObject;
        return hObject != nullptr;
    }
    BOOL DeleteObject()
    {
        BOOL ok = m_hObject && ::DeleteObject(m_hObject);
        m_hObject = nullptr;
        return ok;
    }
    HGDIOBJ GetSafeHandle() const { return m_hObject; }

    HGDIOBJ m_hObject = nullptr;
};

class CBitmap : public CGdiObject {
public:
    BOOL LoadBitmap(UINT nIDResource);
    // A DIB section's description; 0 when this holds none.
    int GetObject(DIBSECTION* pDib) const { return ::GetObjectA(m_hObject, sizeof *pDib, pDib); }
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};

class CPalette : public CGdiObject {
public:
    BOOL CreatePalette(const LOGPALETTE* pLogPalette) { return Attach(::CreatePalette(pLogPalette)); }
    BOOL CreateHalftonePalette(HDC hDC) { return Attach(::CreateHalftonePalette(hDC)); }
    int GetEntryCount() const
    {
        WORD count = 0;
        return ::GetObjectA(m_hObject, sizeof count, &count) ? count : 0;
    }
    operator HPALETTE() const { return static_cast<HPALETTE>(m_hObject); }
};

// A device context; the derived classes own theirs for their lifetime.
class CDC {
public:
    CDC() = default;
    ~CDC() { DeleteDC(); }
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    BOOL CreateCompatibleDC(CDC* pDC)
    {
        m_hDC = ::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr);
        m_bOwned = m_hDC != nullptr;
        return m_bOwned;
    }
    BOOL DeleteDC()
    {
        BOOL ok = m_bOwned && ::DeleteDC(m_hDC);
        m_hDC = nullptr;
        m_bOwned = false;
        return ok;
    }
    HGDIOBJ SelectObject(HGDIOBJ hObject) { return ::SelectObject(m_hDC, hObject); }
    HPALETTE SelectPalette(HPALETTE hPalette, BOOL bForceBackground)
    {
        return ::SelectPalette(m_hDC, hPalette, bForceBackground);
    }
    UINT RealizePalette() { return ::RealizePalette(m_hDC); }
    int SetStretchBltMode(int nMode) { return ::SetStretchBltMode(m_hDC, nMode); }
    BOOL StretchBlt(int x, int y, int w, int h, CDC* pSrc, int xSrc, int ySrc, int wSrc, int hSrc,
                    DWORD dwRop)
    {
        return ::StretchBlt(m_hDC, x, y, w, h, pSrc->m_hDC, xSrc, ySrc, wSrc, hSrc, dwRop);
    }
    BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }
    operator HDC() const { return m_hDC; }

    HDC m_hDC = nullptr;

private:
    bool m_bOwned = false;
};

// The painting of a window between BeginPaint and EndPaint.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC();
    PAINTSTRUCT m_ps = {};

private:
    HWND m_hWnd;
};

// A window's whole-window (GetWindowDC) or client (GetDC) context, released at the end.
class CWindowDC : public CDC {
public:
    explicit CWindowDC(CWnd* pWnd);
    ~CWindowDC();

protected:
    CWindowDC() = default;
    HWND m_hWnd = nullptr;
};

class CClientDC : public CWindowDC {
public:
    explicit CClientDC(CWnd* pWnd);
};
