// Names that screen readers say for controls without a text of their own.
#pragma once
#include <windows.h>

// Gives the control a name through the system's accessibility annotation
// service (Windows XP and later, and older systems where Active Accessibility
// 2.0 was installed), loaded at run time: where there is none, the control
// keeps the name the system gives it, and nothing fails. False then.
bool SetAccessibleName(HWND hWnd, const wchar_t* name);
// Takes back the names given, before their controls go.
void ClearAccessibleName(HWND hWnd);
