// CCmdTarget: the root of message-map dispatch. It finds the entry for a
// message or a command in the class's map and then its bases' maps.
#pragma once

#include "afxmsg.h"
#include "afxobj.h"

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)

public:
    // Routes a command (WM_COMMAND with its id and notification code) to the
    // first matching handler of the map chain. TRUE when one handled it.
    virtual BOOL OnCmdMsg(UINT nID, int nCode);

protected:
    CCmdTarget() = default;

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // The first entry of the chain for a message that is not a command.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage) const;
};
