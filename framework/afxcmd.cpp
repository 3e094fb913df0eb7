// Message-map lookup along the chain of base-class maps.
#include "afxcmd.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

namespace {

const AFX_MSGMAP_ENTRY* FindEntry(const AFX_MSGMAP* pMap, UINT nMessage, UINT nCode, UINT nID)
{
    for (; pMap != nullptr; pMap = pMap->pfnGetBaseMap != nullptr ? pMap->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* pEntry = pMap->lpEntries; pEntry->pfn != nullptr; ++pEntry) {
            if (pEntry->nMessage == nMessage && pEntry->nCode == nCode && pEntry->nID <= nID &&
                nID <= pEntry->nLastID) {
                return pEntry;
            }
        }
    }
    return nullptr;
}

} // namespace

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP messageMap = {nullptr, &entries[0]};
    return &messageMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode)
{
    const AFX_MSGMAP_ENTRY* pEntry =
        FindEntry(GetMessageMap(), WM_COMMAND, static_cast<UINT>(static_cast<WORD>(nCode)), nID);
    if (pEntry == nullptr) {
        return FALSE;
    }
    pEntry->pfn(this, WM_COMMAND, MAKEWPARAM(nID, nCode), 0);
    return TRUE;
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT nMessage) const
{
    return FindEntry(GetMessageMap(), nMessage, 0, 0);
}
