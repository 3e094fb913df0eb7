// CObject and the run-time class information of DECLARE_DYNAMIC: a class's
// own name and its base, without dynamic creation.
#pragma once

#include <windows.h>

class CObject;

// Only the parts the program uses: no object size, schema or dynamic
// creation.
struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    const CRuntimeClass* (*m_pfnGetBaseClass)(); // null for CObject

    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

#define RUNTIME_CLASS(class_name) (class_name::GetThisClass())

#define DECLARE_DYNAMIC(class_name)                                                               \
public:                                                                                           \
    static const CRuntimeClass class##class_name;                                                 \
    static const CRuntimeClass* GetThisClass();                                                   \
    const CRuntimeClass* GetRuntimeClass() const override;

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                            \
    const CRuntimeClass class_name::class##class_name = {#class_name,                             \
                                                         &base_class_name::GetThisClass};         \
    const CRuntimeClass* class_name::GetThisClass() { return &class_name::class##class_name; }   \
    const CRuntimeClass* class_name::GetRuntimeClass() const { return &class_name::class##class_name; }

class CObject {
public:
    static const CRuntimeClass classCObject;
    static const CRuntimeClass* GetThisClass();
    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject() = default;

    BOOL IsKindOf(const CRuntimeClass* pClass) const;

protected:
    CObject() = default;

private:
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};
