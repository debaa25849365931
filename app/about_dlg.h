// The about box: the program's name and four facts about the machine.
#pragma once
#include "framework/afxwin.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
    BOOL OnInitDialog() override;
};

// The about box's lines, worked out from the platform's figures.
CString MemoryLine(unsigned long long totalPhysBytes);
// In bytes: the platform's 64-bit figure where it has one.
unsigned long long TotalPhysicalMemory();
// drive: 1 for A and so on, 0 when the current directory has no drive letter.
CString FreeSpaceLine(int drive, bool known, DWORD bytesPerSector, DWORD sectorsPerCluster,
                      DWORD freeClusters);
CString SystemLine(DWORD platformId);
CString VersionLine(DWORD major, DWORD minor, DWORD build);
