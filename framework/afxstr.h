// CString: the narrow string class, for what the application does with text
// (window text, formatted messages).
#pragma once

#include <windows.h>

class CString {
public:
    CString();
    // cppcheck-suppress noExplicitConstructor ; converts implicitly, as MFC's does
    CString(LPCSTR psz);
    CString(const CString& other);
    CString& operator=(const CString& other);
    CString& operator=(LPCSTR psz);
    CString& operator+=(LPCSTR psz);
    ~CString();

    int GetLength() const { return m_nLength; }
    BOOL IsEmpty() const { return m_nLength == 0; }
    void Empty();
    operator LPCSTR() const { return m_pchData; }

    // printf-style formatting into this string, replacing its text.
    void Format(LPCSTR pszFormat, ...);

    // A writable buffer of at least nMinBufLength characters plus the
    // terminator; ReleaseBuffer takes the new length (or measures it).
    LPSTR GetBuffer(int nMinBufLength);
    void ReleaseBuffer(int nNewLength = -1);

private:
    void Assign(LPCSTR psz, int nLength);
    void Reserve(int nCapacity);

    LPSTR m_pchData;
    int m_nLength;
    int m_nCapacity;
};

bool operator==(const CString& a, LPCSTR b);
