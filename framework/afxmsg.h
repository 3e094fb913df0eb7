// Static message maps: one table per class, chained to its base class's.
// Each entry holds a plain function pointer to a thunk instantiated for the
// handler it names, so a handler is called with its own class and signature
// and never through a cast pointer to member.
#pragma once

#include <windows.h>

#include <type_traits>

class CCmdTarget;
class CDC;
class CWnd;

#define afx_msg

// The handler thunk gets the target and the message as it arrived.
typedef LRESULT (*AFX_PMSG)(CCmdTarget* pTarget, UINT message, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // WM_COMMAND for commands and control notifications
    UINT nCode;     // notification code, 0 for commands and other messages
    UINT nID;       // first control or command id, 0 for other messages
    UINT nLastID;   // last id of the range
    AFX_PMSG pfn;   // null only in the terminating entry
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// The legacy message to which every WM_CTLCOLOR* message is mapped.
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif

namespace afx_detail {

template <class Member> struct MemberTraits;
template <class C, class R, class... A> struct MemberTraits<R (C::*)(A...)> {
    using Class = C;
    using Signature = R(A...);
};

template <class T, auto Fn, class Signature> constexpr void CheckHandler()
{
    using Traits = MemberTraits<decltype(Fn)>;
    static_assert(std::is_same<typename Traits::Signature, Signature>::value,
                  "message handler has the wrong signature");
    static_assert(std::is_base_of<typename Traits::Class, T>::value,
                  "message handler belongs to an unrelated class");
}

// The map of T is consulted only for objects that are a T, so the downcast
// from the dispatching CCmdTarget is always to the object's own class.
template <class T> T* Self(CCmdTarget* pTarget)
{
    return static_cast<T*>(pTarget);
}

template <class T, auto Fn> LRESULT VoidThunk(CCmdTarget* pTarget, UINT, WPARAM, LPARAM)
{
    CheckHandler<T, Fn, void()>();
    (Self<T>(pTarget)->*Fn)();
    return 0;
}

template <class T, auto Fn> LRESULT QueryDragIconThunk(CCmdTarget* pTarget, UINT, WPARAM, LPARAM)
{
    CheckHandler<T, Fn, HCURSOR()>();
    return reinterpret_cast<LRESULT>((Self<T>(pTarget)->*Fn)());
}

template <class T, auto Fn> LRESULT HelpInfoThunk(CCmdTarget* pTarget, UINT, WPARAM, LPARAM lParam)
{
    CheckHandler<T, Fn, BOOL(HELPINFO*)>();
    return (Self<T>(pTarget)->*Fn)(reinterpret_cast<HELPINFO*>(lParam));
}

// Defined with CWnd and CDC, which it needs whole.
LRESULT CallCtlColor(CCmdTarget* pTarget, UINT message, WPARAM wParam, LPARAM lParam,
                     HBRUSH (*call)(CCmdTarget*, CDC*, CWnd*, UINT));

template <class T, auto Fn> HBRUSH CtlColorCall(CCmdTarget* pTarget, CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    CheckHandler<T, Fn, HBRUSH(CDC*, CWnd*, UINT)>();
    return (Self<T>(pTarget)->*Fn)(pDC, pWnd, nCtlColor);
}

template <class T, auto Fn> LRESULT CtlColorThunk(CCmdTarget* pTarget, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallCtlColor(pTarget, message, wParam, lParam, &CtlColorCall<T, Fn>);
}

} // namespace afx_detail

#define DECLARE_MESSAGE_MAP()                                                                     \
protected:                                                                                        \
    static const AFX_MSGMAP* GetThisMessageMap();                                                 \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                    \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }            \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                               \
    {                                                                                             \
        using ThisClass [[maybe_unused]] = theClass;                                              \
        typedef baseClass TheBaseClass;                                                           \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                         \
        {0, 0, 0, 0, nullptr}};                                                                   \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
        return &messageMap;                                                                       \
    }

#define ON_WM_PAINT() {WM_PAINT, 0, 0, 0, &afx_detail::VoidThunk<ThisClass, &ThisClass::OnPaint>},

#define ON_WM_QUERYDRAGICON()                                                                     \
    {WM_QUERYDRAGICON, 0, 0, 0, &afx_detail::QueryDragIconThunk<ThisClass, &ThisClass::OnQueryDragIcon>},

#define ON_WM_CTLCOLOR()                                                                          \
    {WM_CTLCOLOR, 0, 0, 0, &afx_detail::CtlColorThunk<ThisClass, &ThisClass::OnCtlColor>},

#define ON_WM_HELPINFO() {WM_HELP, 0, 0, 0, &afx_detail::HelpInfoThunk<ThisClass, &ThisClass::OnHelpInfo>},

#define ON_COMMAND(id, memberFxn)                                                                 \
    {WM_COMMAND, 0, static_cast<WORD>(id), static_cast<WORD>(id), &afx_detail::VoidThunk<ThisClass, memberFxn>},

#define ON_CONTROL(wNotifyCode, id, memberFxn)                                                    \
    {WM_COMMAND, static_cast<WORD>(wNotifyCode), static_cast<WORD>(id), static_cast<WORD>(id),    \
     &afx_detail::VoidThunk<ThisClass, memberFxn>},

#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
