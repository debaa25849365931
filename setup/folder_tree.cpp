// The drive and folder tree, and the picture list it fills.
#include "app/mirval_dlg.h"
#include "schedule/photo.h"
#include "setup/setup.h"

DriveEntry* g_pDriveTable = nullptr;

namespace {
// What GetLogicalDriveStringsA is first asked with; a longer list is read again
// into a buffer of the size it asks for, so that no cut list makes nodes.
constexpr DWORD DRIVE_STRINGS_BYTES = 128;

// The roots one after the other, each with its zero, and a zero after the last.
CBuffer<char> LogicalDriveStrings()
{
    CBuffer<char> roots(DRIVE_STRINGS_BYTES);
    for (;;) {
        const DWORD needed = roots.empty() ? 0 :
            GetLogicalDriveStringsA(static_cast<DWORD>(roots.size()), roots.data());
        if (needed == 0) return CBuffer<char>(2);
        if (needed < roots.size()) return roots;
        roots = CBuffer<char>(needed + 1);
    }
}

// Drives a: and b: are the floppy drives. The platform may list their roots in
// capitals ("A:\\"), and drive letters know no case.
bool IsFloppyRoot(const char* root)
{
    return root[0] == 'a' || root[0] == 'b' || root[0] == 'A' || root[0] == 'B';
}

int DriveKind(const char* root)
{
    if (IsFloppyRoot(root)) return DRIVE_KIND_FLOPPY;
    switch (GetDriveTypeA(root)) {
    case DRIVE_REMOVABLE:
    case DRIVE_FIXED:
    case DRIVE_REMOTE:
    case DRIVE_RAMDISK:
        return DRIVE_KIND_DISK;
    case DRIVE_CDROM:
        return DRIVE_KIND_CDROM;
    default:
        return DRIVE_KIND_UNKNOWN;
    }
}

// The list's texts pass through buffers of 256 bytes. A longer name or folder is
// left out rather than cut: a cut text would name another file, or none.
bool FitsListText(const CString& text)
{
    return text.GetLength() < LIST_TEXT_BYTES;
}
}

HTREEITEM CMirvalDlg::InsertNode(CTreeCtrl& tree, HTREEITEM hParent, const char* text, int image)
{
    // The control copies the text at once.
    m_tvInsert.hParent = hParent ? hParent : TVI_ROOT;
    m_tvInsert.hInsertAfter = TVI_LAST;
    m_tvInsert.item.pszText = const_cast<char*>(text);
    m_tvInsert.item.iImage = m_tvInsert.item.iSelectedImage = image;
    m_tvInsert.item.lParam = 0;
    return tree.InsertItem(&m_tvInsert);
}

void CMirvalDlg::FillDriveTree()
{
    delete[] g_pDriveTable;
    g_pDriveTable = new DriveEntry[DRIVE_TABLE_SIZE]();

    const CBuffer<char> roots = LogicalDriveStrings();
    int n = 0;
    for (const char* root = roots.data(); *root && n < DRIVE_TABLE_SIZE; root += lstrlenA(root) + 1) {
        DriveEntry& drive = g_pDriveTable[n++];
        lstrcpynA(drive.text, root, sizeof drive.text);
        drive.kind = DriveKind(root);

        char label[40] = "";
        if (drive.kind == DRIVE_KIND_FLOPPY)
            lstrcpyA(label, "Disquette");   // asking would spin the floppy drive
        else if (!GetVolumeInformationA(root, label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0))
            label[0] = '\0';
        CString text = drive.text;
        text += ' ';
        text += label;
        text += ' ';
        lstrcpynA(drive.text, text, sizeof drive.text);
        InsertNode(m_treeFolders, nullptr, drive.text, drive.kind);
    }
}

CString CMirvalDlg::FolderPath(HTREEITEM hItem) const
{
    HTREEITEM parent = m_treeFolders.GetParentItem(hItem);
    if (!parent) return m_treeFolders.GetItemText(hItem).Left(3);
    CString path = m_treeFolders.GetItemText(hItem);
    for (; parent; parent = m_treeFolders.GetParentItem(parent)) {
        if (m_treeFolders.GetParentItem(parent)) {
            path = m_treeFolders.GetItemText(parent) + "\\" + path;
        } else {
            path = m_treeFolders.GetItemText(parent).Left(3) + path + "\\";
            break;
        }
    }
    return path;
}

void CMirvalDlg::OnSelChangedFolderTree(NMHDR*, LRESULT* pResult)
{
    m_listPictures.DeleteAllItems();
    HTREEITEM selected = m_treeFolders.GetSelectedItem();
    if (!selected) return;
    CString path = FolderPath(selected);
    bool hadChildren = m_treeFolders.GetChildrenCount(selected) != 0;

    WIN32_FIND_DATAA entry;
    HANDLE search = FitsListText(path) ? FindFirstFileA(path + "*.*", &entry) : INVALID_HANDLE_VALUE;
    if (search == INVALID_HANDLE_VALUE) return;

    // One redraw for the whole listing, not one per item.
    m_listPictures.SendMessage(WM_SETREDRAW, FALSE);
    bool complete = true;
    int n = 0;
    // Photos beside the bitmaps, of the kinds this system can decode.
    const unsigned decodable = DecodableKinds();
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!hadChildren && entry.cFileName[0] != '.')
                InsertNode(m_treeFolders, selected, entry.cFileName, DRIVE_KIND_UNKNOWN);
            continue;
        }
        CString name = entry.cFileName;
        name.MakeUpper();
        const bool picture = name.Right(3) == "BMP" || (decodable & KindBit(KindOfName(name)));
        if (!picture || !FitsListText(name)) continue;
        char text[LIST_TEXT_BYTES];
        lstrcpynA(text, name, sizeof text);
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = n;
        item.pszText = text;
        item.iImage = 0;
        item.iItem = m_listPictures.InsertItem(&item);
        if (item.iItem == -1) {
            complete = false;
            break;
        }
        lstrcpynA(text, path, sizeof text);
        item.iSubItem = 1;
        item.mask = LVIF_TEXT;
        m_listPictures.SetItem(&item);
        ++n;
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    m_listPictures.SendMessage(WM_SETREDRAW, TRUE);
    m_listPictures.InvalidateRect(nullptr);

    if (!complete) return;
    m_treeFolders.Expand(selected, TVE_EXPAND);
    m_treeFolders.SortChildren(selected);
    *pResult = 0;
}
