#include "regkey.h"

bool CRegKey::QueryText(const char* pszName, CString& text) const
{
    if (!m_hKey) return false;
    DWORD type = 0;
    // Most texts here are paths: one call reads them; a longer one is read again.
    char path[MAX_PATH + 1];
    DWORD size = MAX_PATH;
    LONG first = RegQueryValueExA(m_hKey, pszName, nullptr, &type, reinterpret_cast<BYTE*>(path), &size);
    if (first == ERROR_SUCCESS) {
        if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
        path[size] = '\0';
        text = CString(path);
        return true;
    }
    if (first != ERROR_MORE_DATA) return false;
    // The value may grow between the two calls; a few tries settle it.
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
        // One byte more than the value, so that a text stored without its zero ends too.
        CBuffer<char> buf(size + 1);
        if (buf.empty()) return false;
        DWORD got = size;
        LONG rc = RegQueryValueExA(m_hKey, pszName, nullptr, &type,
                                   reinterpret_cast<BYTE*>(buf.data()), &got);
        if (rc == ERROR_MORE_DATA) {
            size = got;
            continue;
        }
        if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
        buf[got < size ? got : size] = '\0';
        text = CString(buf.data());
        return true;
    }
    return false;
}
