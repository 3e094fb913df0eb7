// Run-time class information.
#include "afxobj.h"

const CRuntimeClass CObject::classCObject = {"CObject", nullptr};

const CRuntimeClass* CObject::GetThisClass()
{
    return &classCObject;
}

const CRuntimeClass* CObject::GetRuntimeClass() const
{
    return &classCObject;
}

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const
{
    return GetRuntimeClass()->IsDerivedFrom(pClass);
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const
{
    for (const CRuntimeClass* pClass = this; pClass != nullptr;
         pClass = pClass->m_pfnGetBaseClass != nullptr ? pClass->m_pfnGetBaseClass() : nullptr) {
        if (pClass == pBaseClass) {
            return TRUE;
        }
    }
    return FALSE;
}
