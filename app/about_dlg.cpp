#include "app/about_dlg.h"
#include "res/resource.h"

static_assert(sizeof(MEMORYSTATUS) == 32, "the 32-bit memory record");
static_assert(sizeof(OSVERSIONINFOA) == 148, "the 32-bit version record");

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

CString MemoryLine(DWORD totalPhysBytes)
{
    CString format, line;
    format.LoadString(IDS_MEMORY);
    line.Format(format, static_cast<unsigned long>(totalPhysBytes >> 10));
    return line;
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
    unsigned long long kb = static_cast<unsigned long long>(bytesPerSector) * sectorsPerCluster *
                            freeClusters >> 10;
    // The text's number is 32 bits wide: past 4 TB it shows the most it can.
    unsigned long shown = kb > 0xFFFFFFFFull ? 0xFFFFFFFFul : static_cast<unsigned long>(kb);
    CString format;
    format.LoadString(IDS_FREE_SPACE);
    line.Format(format, shown, static_cast<char>(64 + drive));
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

    MEMORYSTATUS memory = {};
    memory.dwLength = sizeof memory;
    GlobalMemoryStatus(&memory);
    SetDlgItemText(IDC_MEMORY, MemoryLine(static_cast<DWORD>(memory.dwTotalPhys)));

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
