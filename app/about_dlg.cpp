#include "app/about_dlg.h"
#include "res/resource.h"

// The records of the 32-bit program (the tests' 64-bit build has wider ones).
constexpr bool k32Bit = sizeof(void*) == 4;
static_assert(!k32Bit || sizeof(MEMORYSTATUS) == 32, "the 32-bit memory record");
static_assert(!k32Bit || sizeof(OSVERSIONINFOA) == 148, "the 32-bit version record");

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

namespace {
// The texts' numbers are 32 bits wide: past 4 TB they show the most they can.
unsigned long KiloBytes(unsigned long long bytes)
{
    const unsigned long long kb = bytes >> 10;
    return kb > 0xFFFFFFFFull ? 0xFFFFFFFFul : static_cast<unsigned long>(kb);
}
}

CString MemoryLine(unsigned long long totalPhysBytes)
{
    CString format, line;
    format.LoadString(IDS_MEMORY);
    line.Format(format, KiloBytes(totalPhysBytes));
    return line;
}

unsigned long long TotalPhysicalMemory()
{
    // GlobalMemoryStatus stops at 2 or 4 GB; its successor is looked up at run time
    // so that Windows 95 and NT 4.0, which lack it, still start.
    using StatusEx = BOOL(WINAPI*)(MEMORYSTATUSEX*);
    FARPROC found = GetProcAddress(GetModuleHandleA("KERNEL32.DLL"), "GlobalMemoryStatusEx");
    auto statusEx = reinterpret_cast<StatusEx>(reinterpret_cast<void*>(found));
    MEMORYSTATUSEX memoryEx = {};
    memoryEx.dwLength = sizeof memoryEx;
    if (statusEx && statusEx(&memoryEx)) return memoryEx.ullTotalPhys;
    MEMORYSTATUS memory = {};
    memory.dwLength = sizeof memory;
    GlobalMemoryStatus(&memory);
    return memory.dwTotalPhys;
}

CString FreeSpaceLine(int drive, bool known, DWORD bytesPerSector, DWORD sectorsPerCluster,
                      DWORD freeClusters)
{
    CString line;
    // Without a drive letter there is no drive to name.
    if (!known || drive < 1 || drive > 26) {
        line.LoadString(IDS_UNAVAILABLE);
        return line;
    }
    const unsigned long long bytes =
        static_cast<unsigned long long>(bytesPerSector) * sectorsPerCluster * freeClusters;
    CString format;
    format.LoadString(IDS_FREE_SPACE);
    line.Format(format, KiloBytes(bytes), static_cast<char>(64 + drive));
    return line;
}

CString SystemLine(DWORD platformId)
{
    switch (platformId) {
    case VER_PLATFORM_WIN32s: return "Operating System : WIN32S";
    case VER_PLATFORM_WIN32_WINDOWS: return "Operating System : Windows 95";
    case VER_PLATFORM_WIN32_NT: return "Operating System : Windows NT";
    }
    CString line;
    line.Format("Operating System : unknown (%lu)", static_cast<unsigned long>(platformId));
    return line;
}

CString VersionLine(DWORD major, DWORD minor, DWORD build)
{
    char text[64];
    wsprintfA(text, "Version %d.%d.%d\n", static_cast<int>(major), static_cast<int>(minor),
              static_cast<int>(build & 0xFFFF));
    return text;
}

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    SetDlgItemText(IDC_MEMORY, MemoryLine(TotalPhysicalMemory()));

    char cwd[MAX_PATH + 1] = "";
    GetCurrentDirectoryA(sizeof cwd, cwd);
    char letter = static_cast<char>(cwd[0] & ~0x20);   // upper case, for ASCII letters
    int drive = letter >= 'A' && letter <= 'Z' && cwd[1] == ':' ? letter - 'A' + 1 : 0;
    char root[] = "A:\\";
    root[0] = static_cast<char>('A' + drive - 1);
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    bool known = drive != 0 && GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector,
                                                 &freeClusters, &clusters);
    SetDlgItemText(IDC_FREE_SPACE,
                   FreeSpaceLine(drive, known, bytesPerSector, sectorsPerCluster, freeClusters));

    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    SetDlgItemText(IDC_SYSTEM, SystemLine(version.dwPlatformId));
    SetDlgItemText(IDC_VERSION, VersionLine(version.dwMajorVersion, version.dwMinorVersion,
                                            version.dwBuildNumber));
    return TRUE;
}
