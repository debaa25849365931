#include "gdi.h"
#include "winapp.h"

BOOL CBitmap::LoadBitmap(UINT nIDResource)
{
    return Attach(::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource)));
}
