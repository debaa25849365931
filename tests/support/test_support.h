// Helpers of the in-process tests: a fixed clock, raw registry access that does
// not go through the code under test, bitmap files and the real screen.
#pragma once
#include "framework/afxwin.h"
#include <functional>
#include <string>

// Makes CTime::GetCurrentTime answer t while it lives.
class FixedClock {
public:
    explicit FixedClock(const CTime& t);
    ~FixedClock();
};

// A value as the registry holds it.
struct RegValue {
    bool present = false;
    DWORD type = REG_NONE;
    std::string data;   // the raw bytes, zero bytes included
};

// The key under HKCU of a section of the application's profile.
std::string ProfileKey(const char* section);
void DeleteKeyTree(const char* path);                 // under HKCU
bool KeyExists(const char* path);
void SetRawValue(const char* keyPath, const char* name, DWORD type, const std::string& data);
// REG_SZ with its terminating zero, as the system's own tools write it.
void SetText(const char* keyPath, const char* name, const std::string& text);
void DeleteValue(const char* keyPath, const char* name);
RegValue ReadValue(const char* keyPath, const char* name);
// The text of a REG_SZ value without its terminating zero; "<missing>" when absent.
std::string ReadText(const char* keyPath, const char* name);

// Every value under a key (under HKCU) and its subkeys, as "subkey\\name=type:bytes" lines.
std::string Snapshot(const char* path);

// A 24-bit bitmap of one colour, its folders made as needed.
void WriteBitmap(const std::string& path, int width, int height, COLORREF colour);

// Waits until the screen shows colour at (x, y); returns what it last saw.
COLORREF WaitForScreenPixel(int x, int y, COLORREF colour, DWORD timeoutMs = 3000);

// Watches, from a thread of its own, for the next message box of this process;
// notes its caption and text and answers it with the given button.
class MessageBoxAnswer {
public:
    explicit MessageBoxAnswer(int button, DWORD timeoutMs = 10000);
    // whileOpen runs on the watching thread once the box is up, before the answer.
    MessageBoxAnswer(int button, std::function<void()> whileOpen, DWORD timeoutMs = 10000);
    ~MessageBoxAnswer();
    // Waits for the answer; false when no message box came.
    bool Answered();

    std::string caption, text;
    UINT style = 0;   // the box's window style, for its buttons

private:
    struct Watch;
    Watch* m_watch;
};
