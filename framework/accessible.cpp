#include "accessible.h"
#include "systext.h"
#include <initguid.h>
#include <oleacc.h>

namespace {
// COM's entries, from the system's ole32.dll by its full path: the program
// imports nothing that Windows 95 and NT 4.0 might lack.
using CoInitializeFunction = HRESULT(WINAPI*)(void*);
using CoUninitializeFunction = void(WINAPI*)();
using CoCreateInstanceFunction = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
struct Com {
    CoInitializeFunction initialize = nullptr;
    CoUninitializeFunction uninitialize = nullptr;
    CoCreateInstanceFunction create = nullptr;
    bool started = false;
};
Com g_com;

FARPROC Entry(HMODULE module, const char* name)
{
    return module ? GetProcAddress(module, name) : nullptr;
}

// The annotation service, COM started for this thread at the first call. COM
// stays started until the names are taken back: the names live in oleacc.dll,
// an in-process server that the end of COM would let go, names and all, and a
// screen reader asks for them as long as the controls are there.
IAccPropServices* Service()
{
    if (!g_com.started) {
        const HMODULE ole32 = LoadSystemLibrary("ole32.dll");
        g_com.initialize = reinterpret_cast<CoInitializeFunction>(
            reinterpret_cast<void*>(Entry(ole32, "CoInitialize")));
        g_com.uninitialize = reinterpret_cast<CoUninitializeFunction>(
            reinterpret_cast<void*>(Entry(ole32, "CoUninitialize")));
        g_com.create = reinterpret_cast<CoCreateInstanceFunction>(
            reinterpret_cast<void*>(Entry(ole32, "CoCreateInstance")));
        if (!g_com.initialize || !g_com.uninitialize || !g_com.create ||
            FAILED(g_com.initialize(nullptr)))
            return nullptr;
        g_com.started = true;
    }
    void* service = nullptr;
    if (FAILED(g_com.create(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                            IID_IAccPropServices, &service)))
        return nullptr;
    return static_cast<IAccPropServices*>(service);
}
}

bool SetAccessibleName(HWND hWnd, const wchar_t* name)
{
    IAccPropServices* service = Service();
    if (!service) return false;
    const HRESULT result = service->SetHwndPropStr(hWnd, static_cast<DWORD>(OBJID_CLIENT),
                                                   CHILDID_SELF, PROPID_ACC_NAME, name);
    service->Release();
    return SUCCEEDED(result);
}

void ClearAccessibleName(HWND hWnd)
{
    if (!g_com.started) return;
    if (IAccPropServices* service = Service()) {
        MSAAPROPID name = PROPID_ACC_NAME;
        service->ClearHwndProps(hWnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &name, 1);
        service->Release();
    }
    g_com.uninitialize();
    g_com.started = false;
}
