// GDI objects that delete what they hold.
#pragma once
#include <windows.h>

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
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};

class CPalette : public CGdiObject {
public:
    operator HPALETTE() const { return static_cast<HPALETTE>(m_hObject); }
};
