// CString and CTime.
#include "text.h"
#include "wnd.h"
#include <ctype.h>
#include <stdarg.h>
#include <stdio.h>

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

int CString::Compare(LPCSTR s) const
{
    return strcmp(m_data, s ? s : "");
}

int CString::CompareNoCase(LPCSTR s) const
{
    return ::lstrcmpiA(m_data, s ? s : "");
}

void CString::Format(LPCSTR format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(LPCSTR format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    int length = vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length < 0) {
        Empty();
        return;
    }
    CString result;
    result.Reserve(length);
    vsnprintf(result.m_data, (size_t)length + 1, format, args);
    result.SetLength(length);
    Swap(result);
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

CString CString::Left(int count) const
{
    if (count <= 0) return CString();
    return CString(m_data, count < m_length ? count : m_length).c_str();
}

CString CString::Right(int count) const
{
    if (count <= 0) return CString();
    if (count >= m_length) return *this;
    return CString(m_data + m_length - count, count).c_str();
}

CString CString::Mid(int first, int count) const
{
    if (first < 0) first = 0;
    if (first >= m_length) return CString();
    if (count < 0 || count > m_length - first) count = m_length - first;
    return CString(m_data + first, count).c_str();
}

int CString::Find(char ch, int start) const
{
    if (start < 0) start = 0;
    for (int i = start; i < m_length; ++i)
        if (m_data[i] == ch) return i;
    return -1;
}

int CString::Find(LPCSTR sub, int start) const
{
    if (start < 0) start = 0;
    if (!sub || start > m_length) return -1;
    int length = Length(sub);
    for (int i = start; i + length <= m_length; ++i)
        if (memcmp(m_data + i, sub, (size_t)length) == 0) return i;
    return -1;
}

int CString::ReverseFind(char ch) const
{
    for (int i = m_length - 1; i >= 0; --i)
        if (m_data[i] == ch) return i;
    return -1;
}

CString& CString::MakeUpper()
{
    for (int i = 0; i < m_length; ++i) m_data[i] = (char)toupper((unsigned char)m_data[i]);
    return *this;
}

CString& CString::MakeLower()
{
    for (int i = 0; i < m_length; ++i) m_data[i] = (char)tolower((unsigned char)m_data[i]);
    return *this;
}

CString& CString::TrimLeft()
{
    int i = 0;
    while (i < m_length && isspace((unsigned char)m_data[i])) ++i;
    if (i) Assign(m_data + i, m_length - i);
    return *this;
}

CString& CString::TrimRight()
{
    int n = m_length;
    while (n > 0 && isspace((unsigned char)m_data[n - 1])) --n;
    if (n < m_length) SetLength(n);
    return *this;
}

int CString::Replace(LPCSTR oldText, LPCSTR newText)
{
    if (!oldText || !*oldText) return 0;
    if (!newText) newText = "";
    int oldLength = Length(oldText), newLength = Length(newText);
    CString result;
    int count = 0, done = 0;
    for (int at = Find(oldText); at >= 0; at = Find(oldText, at + oldLength)) {
        result.Append(m_data + done, at - done);
        result.Append(newText, newLength);
        done = at + oldLength;
        ++count;
    }
    if (count) {
        result.Append(m_data + done, m_length - done);
        Swap(result);
    }
    return count;
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

CTime::CTime(int year, int month, int day, int hour, int minute, int second)
{
    struct tm t = {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    m_time = ::mktime(&t);
}

struct tm CTime::Local() const
{
    struct tm t = {};
    time_t copy = m_time;
    if (struct tm* p = ::localtime(&copy)) t = *p;
    return t;
}
