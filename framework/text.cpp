// CString.
#include "text.h"
#include "base.h"

char CString::s_empty[1];

CString::CString(char ch, int repeat)
{
    if (repeat <= 0) return;
    Reserve(repeat);
    memset(m_data, ch, (size_t)repeat);
    SetLength(repeat);
}

CString::~CString()
{
    if (m_capacity) delete[] m_data;
}

void CString::Reserve(int length)
{
    if (length <= m_capacity) return;
    int capacity = m_capacity < 15 ? 15 : m_capacity;
    while (capacity < length) capacity = capacity * 2 + 1;
    char* data = new char[(size_t)capacity + 1];
    memcpy(data, m_data, (size_t)m_length + 1);
    if (m_capacity) delete[] m_data;
    m_data = data;
    m_capacity = capacity;
}

void CString::SetLength(int length)
{
    m_length = length;
    if (m_capacity) m_data[length] = '\0';
}

void CString::Assign(LPCSTR s, int length)
{
    if (s == m_data && length == m_length) return;
    if (length > m_capacity) {
        // A fresh buffer: 's' may lie in the old one.
        CString fresh;
        fresh.Reserve(length);
        memcpy(fresh.m_data, s, (size_t)length);
        fresh.SetLength(length);
        Swap(fresh);
        return;
    }
    if (length > 0) memmove(m_data, s, (size_t)length);
    SetLength(length > 0 ? length : 0);
}

void CString::Append(LPCSTR s, int length)
{
    if (length <= 0) return;
    // 's' may lie in this string's own buffer, which Reserve replaces.
    bool own = s >= m_data && s <= m_data + m_length;
    int offset = own ? (int)(s - m_data) : 0;
    Reserve(m_length + length);
    if (own) s = m_data + offset;
    memmove(m_data + m_length, s, (size_t)length);
    SetLength(m_length + length);
}

void CString::Swap(CString& other)
{
    char* data = m_data; m_data = other.m_data; other.m_data = data;
    int length = m_length; m_length = other.m_length; other.m_length = length;
    int capacity = m_capacity; m_capacity = other.m_capacity; other.m_capacity = capacity;
}

bool CString::SameAs(const CString& s) const
{
    return m_length == s.m_length && memcmp(m_data, s.m_data, (size_t)m_length) == 0;
}

int CString::Order(const CString& s) const
{
    int common = m_length < s.m_length ? m_length : s.m_length;
    int order = memcmp(m_data, s.m_data, (size_t)common);
    if (order) return order;
    return m_length < s.m_length ? -1 : (m_length > s.m_length ? 1 : 0);
}

BOOL CString::LoadString(UINT id)
{
    // The program's strings are short; longer ones are cut to the buffer.
    char buffer[1024];
    int length = ::LoadStringA(GetResourceHandle(), id, buffer, (int)sizeof buffer);
    if (length <= 0) {
        Empty();
        return FALSE;
    }
    Assign(buffer, length);
    return TRUE;
}

int CString::Find(char ch, int start) const
{
    if (start < 0) start = 0;
    for (int i = start; i < m_length; ++i)
        if (m_data[i] == ch) return i;
    return -1;
}

LPSTR CString::GetBuffer(int minLength)
{
    if (minLength < 0) minLength = 0;
    Reserve(minLength > 0 ? minLength : 1);   // always a buffer of its own to write in
    if (m_length < minLength) {
        memset(m_data + m_length, 0, (size_t)(minLength - m_length));
        SetLength(minLength);
    }
    return m_data;   // GetLength() + 1 bytes are writable (the terminator included)
}

void CString::ReleaseBuffer(int newLength)
{
    if (newLength < 0)
        SetLength(Length(m_data));
    else if (newLength <= m_length)
        SetLength(newLength);
}
