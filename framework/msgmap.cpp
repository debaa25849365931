#include "msgmap.h"

const MsgMapEntry* CCmdTarget::FindEntry(UINT message, UINT id, UINT code) const
{
    for (const MsgMap* map = GetMessageMap(); map; map = map->base)
        for (size_t i = 0; i < map->count; ++i) {
            const MsgMapEntry& e = map->entries[i];
            if (e.message != message) continue;
            if (message == WM_COMMAND && e.id != id) continue;
            if (message == WM_NOTIFY && (e.id != id || e.code != code)) continue;
            return &e;
        }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT id)
{
    const MsgMapEntry* e = FindEntry(WM_COMMAND, id, 0);
    if (!e) return FALSE;
    e->thunk(this, 0, 0);
    return TRUE;
}
