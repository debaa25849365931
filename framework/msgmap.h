// Message maps as typed tables. Each entry pairs a message, a command or a
// control notification with a member handler; the handler's signature picks how
// the message's parameters are handed to it. A class's map points to its base
// class's map, which is searched when the class's own has no entry.
#pragma once
#include <windows.h>
#include <cstddef>

class CCmdTarget;

struct CPoint : POINT {
    CPoint() : POINT{0, 0} {}
    CPoint(int x0, int y0) : POINT{x0, y0} {}
};

// Calls the entry's handler on target and gives the message's result.
using MsgThunk = LRESULT (*)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);

struct MsgMapEntry {
    UINT message;   // WM_COMMAND, WM_NOTIFY or any other message
    UINT id;        // the command or control id, for WM_COMMAND and WM_NOTIFY
    UINT code;      // the notification code, for WM_NOTIFY
    MsgThunk thunk;
};

struct MsgMap {
    const MsgMap* base;
    const MsgMapEntry* entries;
    size_t count;
    template <size_t N>
    constexpr MsgMap(const MsgMap* b, const MsgMapEntry (&e)[N]) : base(b), entries(e), count(N) {}
    constexpr MsgMap(const MsgMap* b) : base(b), entries(nullptr), count(0) {}
};

namespace msgmap_detail {
template <class>
struct MemberOf;
template <class T, class R, class... A>
struct MemberOf<R (T::*)(A...)> {
    using Class = T;
};

template <class T> LRESULT Call(T* t, void (T::*f)(), WPARAM, LPARAM) { (t->*f)(); return 0; }
template <class T> LRESULT Call(T* t, HCURSOR (T::*f)(), WPARAM, LPARAM)
{
    return reinterpret_cast<LRESULT>((t->*f)());
}
// WM_TIMER: the timer id.
template <class T> LRESULT Call(T* t, void (T::*f)(UINT_PTR), WPARAM w, LPARAM)
{
    (t->*f)(w);
    return 0;
}
// WM_POWERBROADCAST, WM_DEVICECHANGE: the event; the answer (TRUE grants a
// suspend, or a device's removal).
template <class T> LRESULT Call(T* t, BOOL (T::*f)(UINT), WPARAM w, LPARAM)
{
    return (t->*f)(static_cast<UINT>(w));
}
// WM_ENDSESSION: whether the session ends.
template <class T> LRESULT Call(T* t, void (T::*f)(BOOL), WPARAM w, LPARAM)
{
    (t->*f)(static_cast<BOOL>(w));
    return 0;
}
// WM_SYSCOMMAND: the command and its LPARAM.
template <class T> LRESULT Call(T* t, void (T::*f)(UINT, LPARAM), WPARAM w, LPARAM l)
{
    (t->*f)(static_cast<UINT>(w), l);
    return 0;
}
// Mouse messages: the key flags and the pointer in client coordinates.
template <class T> LRESULT Call(T* t, void (T::*f)(UINT, CPoint), WPARAM w, LPARAM l)
{
    (t->*f)(static_cast<UINT>(w), CPoint(static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))));
    return 0;
}
// WM_CONTEXTMENU: the window it is for, and the pointer on the screen, or
// (-1, -1) when the keyboard asked.
template <class T> LRESULT Call(T* t, void (T::*f)(HWND, CPoint), WPARAM w, LPARAM l)
{
    (t->*f)(reinterpret_cast<HWND>(w),
            CPoint(static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))));
    return 0;
}
// WM_HELP: what help is asked for.
template <class T> LRESULT Call(T* t, BOOL (T::*f)(HELPINFO*), WPARAM, LPARAM l)
{
    return (t->*f)(reinterpret_cast<HELPINFO*>(l));
}
// The program's own messages: both parameters as they came.
template <class T> LRESULT Call(T* t, LRESULT (T::*f)(WPARAM, LPARAM), WPARAM w, LPARAM l)
{
    return (t->*f)(w, l);
}
// Notifications: the header and the result to give back.
template <class T> LRESULT Call(T* t, void (T::*f)(NMHDR*, LRESULT*), WPARAM, LPARAM l)
{
    LRESULT result = 0;
    (t->*f)(reinterpret_cast<NMHDR*>(l), &result);
    return result;
}

template <auto F>
LRESULT Thunk(CCmdTarget* target, WPARAM w, LPARAM l)
{
    using T = typename MemberOf<decltype(F)>::Class;
    return Call(static_cast<T*>(target), F, w, l);
}
}

// Entries; the handler is a template argument so that each entry is a plain
// function pointer, checked against the handler's signature at compile time.
template <UINT Message, auto F>
constexpr MsgMapEntry OnMessage() { return {Message, 0, 0, &msgmap_detail::Thunk<F>}; }
template <auto F>
constexpr MsgMapEntry OnCommand(UINT id) { return {WM_COMMAND, id, 0, &msgmap_detail::Thunk<F>}; }
template <auto F>
constexpr MsgMapEntry OnNotify(UINT code, UINT id) { return {WM_NOTIFY, id, code, &msgmap_detail::Thunk<F>}; }

// What has a message map: windows and the application object.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    virtual const MsgMap* GetMessageMap() const { return nullptr; }
    // The first entry for the message along the chain of maps, or nullptr.
    const MsgMapEntry* FindEntry(UINT message, UINT id, UINT code) const;
    // Runs the command's handler; FALSE when no map here has it.
    virtual BOOL OnCmdMsg(UINT id);
};
