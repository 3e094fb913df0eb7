// CString's storage: one heap buffer, or a shared empty string.
#include "afxstr.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

char g_emptyString[1] = {'\0'};

} // namespace

CString::CString() : m_pchData(g_emptyString), m_nLength(0), m_nCapacity(0) {}

CString::CString(LPCSTR psz) : CString()
{
    *this = psz;
}

CString::CString(const CString& other) : CString()
{
    Assign(other.m_pchData, other.m_nLength);
}

// cppcheck-suppress operatorEqVarError ; Assign sets the length and capacity
CString& CString::operator=(const CString& other)
{
    if (this != &other) {
        Assign(other.m_pchData, other.m_nLength);
    }
    return *this;
}

CString& CString::operator=(LPCSTR psz)
{
    const int nLength = psz != nullptr ? static_cast<int>(std::strlen(psz)) : 0;
    Assign(psz, nLength);
    return *this;
}

CString& CString::operator+=(LPCSTR psz)
{
    const int nAdded = psz != nullptr ? static_cast<int>(std::strlen(psz)) : 0;
    if (nAdded == 0) {
        return *this;
    }
    const int nLength = m_nLength + nAdded;
    if (nLength > m_nCapacity) {
        // Grown by half again at least, so that a text built piece by piece
        // is not copied for every piece. psz may point into this string, so
        // both parts are copied before the old buffer goes.
        const int nCapacity = nLength > m_nCapacity + m_nCapacity / 2 ? nLength : m_nCapacity + m_nCapacity / 2;
        LPSTR pNew = new char[static_cast<size_t>(nCapacity) + 1];
        std::memcpy(pNew, m_pchData, static_cast<size_t>(m_nLength));
        std::memcpy(pNew + m_nLength, psz, static_cast<size_t>(nAdded));
        if (m_pchData != g_emptyString) {
            delete[] m_pchData;
        }
        m_pchData = pNew;
        m_nCapacity = nCapacity;
    } else {
        std::memmove(m_pchData + m_nLength, psz, static_cast<size_t>(nAdded));
    }
    m_nLength = nLength;
    m_pchData[m_nLength] = '\0';
    return *this;
}

CString::~CString()
{
    if (m_pchData != g_emptyString) {
        delete[] m_pchData;
    }
}

void CString::Empty()
{
    Assign("", 0);
}

void CString::Reserve(int nCapacity)
{
    if (nCapacity <= m_nCapacity) {
        return;
    }
    LPSTR pNew = new char[static_cast<size_t>(nCapacity) + 1];
    std::memcpy(pNew, m_pchData, static_cast<size_t>(m_nLength) + 1);
    if (m_pchData != g_emptyString) {
        delete[] m_pchData;
    }
    m_pchData = pNew;
    m_nCapacity = nCapacity;
}

void CString::Assign(LPCSTR psz, int nLength)
{
    if (nLength == 0) {
        if (m_nCapacity > 0) {
            m_pchData[0] = '\0';
        }
        m_nLength = 0;
        return;
    }
    // psz may point into this string's own buffer, so copy before freeing.
    if (nLength > m_nCapacity) {
        LPSTR pNew = new char[static_cast<size_t>(nLength) + 1];
        std::memcpy(pNew, psz, static_cast<size_t>(nLength));
        if (m_pchData != g_emptyString) {
            delete[] m_pchData;
        }
        m_pchData = pNew;
        m_nCapacity = nLength;
    } else {
        std::memmove(m_pchData, psz, static_cast<size_t>(nLength));
    }
    m_pchData[nLength] = '\0';
    m_nLength = nLength;
}

void CString::Format(LPCSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    // The C runtime's own formatter, as MFC uses it: measure, then write.
    va_list measure;
    va_copy(measure, args);
    const int nLength = ::_vscprintf(pszFormat, measure);
    va_end(measure);
    if (nLength <= 0) {
        Empty();
    } else {
        Reserve(nLength);
        // The same format and arguments again, into room measured for them.
        static_cast<void>(
            ::_vsnprintf(m_pchData, static_cast<size_t>(nLength) + 1, pszFormat, args));
        m_nLength = nLength;
    }
    va_end(args);
}

LPSTR CString::GetBuffer(int nMinBufLength)
{
    Reserve(nMinBufLength > 0 ? nMinBufLength : 1);
    return m_pchData;
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (m_nCapacity == 0) {
        return;
    }
    if (nNewLength < 0) {
        // Measure, but never past the buffer, terminated or not.
        const void* pEnd = std::memchr(m_pchData, '\0', static_cast<size_t>(m_nCapacity) + 1);
        nNewLength = pEnd != nullptr ? static_cast<int>(static_cast<LPCSTR>(pEnd) - m_pchData)
                                     : m_nCapacity;
    } else if (nNewLength > m_nCapacity) {
        nNewLength = m_nCapacity;
    }
    m_pchData[nNewLength] = '\0';
    m_nLength = nNewLength;
}

bool operator==(const CString& a, LPCSTR b)
{
    return std::strcmp(a, b != nullptr ? b : "") == 0;
}
